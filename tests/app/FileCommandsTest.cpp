#include "app/ContactEditor.h"
#include "app/ContactsPage.h"
#include "app/InputsPage.h"
#include "app/PinPanel.h"
#include "app/TMainForm.h"
#include "device/ConnectionSupervisor.h"
#include "dialogs/MessageDialog.h"
#include "platform/ProductInfo.h"
#include "platform/UpDown.h"
#include "settings/SettingsFile.h"
#include "support/DialogAnswerer.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

// Settings unlike the defaults in every kind of field, with gaps in the list.
DiallerSettings SiteSettings() {
    DiallerSettings s;
    s.AdminPin = "123456";
    s.UserPin = "9876";
    s.Inputs[1].NormallyOpen = false;
    s.Inputs[1].Latching = false;
    s.Inputs[1].DiallingAttempts = 12;
    s.Inputs[1].SmsMessage = "Back door";
    s.Inputs[7].SmsMessage = "Caf\u00e9 freezer";
    s.Contacts[2] = {"07700900123", true, false, {true, false, true}};
    s.Contacts[49] = {
        "+441234", false, true, {false, false, false, false, false, false, false, true}};
    return s;
}

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// Ends a file dialog as the user's Cancel would.
DialogAnswer CancelFileDialog() {
    return DialogAnswer::Act([](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); });
}

class FileCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        // With no dialler, a supervisor tick hides the voice-message marks
        // that some of these tests set up; a slow machine would meet one.
        form.Supervisor()->CheckPortTimer()->stop();
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }

    QString PathOf(const QString& name) const { return QDir(dir.path()).filePath(name); }

    QString WriteSiteFile(const QString& name, const DiallerSettings& settings = SiteSettings()) {
        const QString path = PathOf(name);
        WriteBytes(path, EncodeSettingsFile(settings));
        return path;
    }

    // Opens `path` through File > Open; `before` answers the question that
    // comes before the file dialog, `after` the messages that follow it.
    std::vector<SeenDialog> Open(const QString& path, std::vector<DialogAnswer> before = {},
                                 const std::vector<DialogAnswer>& after = {}) {
        before.push_back(DialogAnswer::ChooseFile(path));
        before.insert(before.end(), after.begin(), after.end());
        return Run(form.OpenFileMenuItem(), std::move(before));
    }

    std::vector<SeenDialog> Run(QAction* command, std::vector<DialogAnswer> answers) {
        DialogAnswerer answerer(std::move(answers));
        command->trigger();
        EXPECT_EQ(answerer.Remaining(), 0) << command->objectName().toStdString();
        return answerer.Seen();
    }

    // A change the user makes: the settings get the modified mark.
    void ChangeAdminPin(const QString& pin) {
        form.Pins()->AdminPINEdit()->setText(pin);
        ASSERT_TRUE(form.SettingsModified());
    }

    void ExpectError(const SeenDialog& seen, const QString& text) {
        EXPECT_EQ(seen.className, "TMessageForm");
        EXPECT_EQ(seen.title, "Error");
        EXPECT_EQ(seen.text, text);
        EXPECT_EQ(seen.buttons, QStringList{"OK"});
        EXPECT_EQ(seen.icon, ErrorIcon);
    }

    QTemporaryDir dir;
    TMainForm form;
};

TEST_F(FileCommandsTest, OpenPutsEveryLocationWhereTheFileHasIt) {
    DiallerSettings stored = SiteSettings();
    stored.Inputs[1].SmsMessage = " \t Back door  ";
    const QString path = WriteSiteFile("site.ornex", stored);
    form.Inputs()->InputControls()[4].VoiceMessageLabel->show();
    form.Contacts()->PhoneNumbersListView()->setCurrentItem(
        form.Contacts()->PhoneNumbersListView()->topLevelItem(7));
    form.Editor()->SetCurrentContactRow(7);

    const std::vector<SeenDialog> seen = Open(path);

    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].className, "QFileDialog");
    EXPECT_EQ(form.windowTitle(), "ORNEX - site.ornex");
    EXPECT_EQ(form.CurrentSettingsFile(), path);
    // No compaction, blanks trimmed, and the dialler's voice report forgotten.
    EXPECT_EQ(form.Settings().Read(), SiteSettings());
    EXPECT_TRUE(form.Inputs()->InputControls()[4].VoiceMessageLabel->isHidden());
    EXPECT_TRUE(form.Contacts()->PhoneNumbersListView()->selectedItems().isEmpty());
    EXPECT_EQ(form.Editor()->CurrentContactRow(), -1);
}

TEST_F(FileCommandsTest, BrokenFilesChangeNothing) {
    const QByteArray good = EncodeSettingsFile(SiteSettings());
    QByteArray wrongSixthByte = good;
    wrongSixthByte[5] = 'X';
    QByteArray version2 = good;
    version2[6] = 2;
    struct Case {
        const char* name;
        QByteArray bytes;
        QString message;
    };
    const Case cases[] = {
        {"short.ornex", good.left(3448), "Error reading settings from file"},
        {"magic.ornex", wrongSixthByte, "Error reading settings from file"},
        {"newer.ornex", version2,
         QStringLiteral("The chosen settings file is from a newer version of the ORNEX "
                        "software.\r\n\r\nPlease update your software from %1 in the "
                        "Downloads -> Auto Diallers -> Temba Diallers section.")
             .arg(QLatin1String(ProductInfo::WebHost))},
    };
    const QString current = WriteSiteFile("current.ornex", DiallerSettings{});
    Open(current);
    ChangeAdminPin("5555");
    const DiallerSettings before = form.Settings().Read();

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = PathOf(c.name);
        WriteBytes(path, c.bytes);
        const std::vector<SeenDialog> seen = Open(path, {"&No"}, {"OK"});
        ASSERT_EQ(seen.size(), 3u);
        EXPECT_EQ(seen[0].title, "Settings Changed");
        ExpectError(seen[2], c.message);
        EXPECT_EQ(form.Settings().Read(), before);
        EXPECT_EQ(form.windowTitle(), "ORNEX - current.ornex*");
        EXPECT_EQ(form.CurrentSettingsFile(), current);
    }
}

TEST_F(FileCommandsTest, OpenCancelledAtTheQuestionShowsNoFileDialog) {
    ChangeAdminPin("5555");
    const std::vector<SeenDialog> seen = Run(form.OpenFileMenuItem(), {"&Cancel"});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].title, "Settings Changed");
    EXPECT_EQ(seen[0].text, "Do you want to save the current settings first?");
    EXPECT_EQ(seen[0].buttons, QStringList({"&Yes", "&No", "&Cancel"}));
    EXPECT_EQ(seen[0].defaultButton, "&Yes");
    EXPECT_EQ(seen[0].icon, QuestionIcon);
    EXPECT_EQ(form.Pins()->AdminPINEdit()->text(), "5555");
    EXPECT_EQ(form.windowTitle(), "ORNEX*");
}

TEST_F(FileCommandsTest, SaveAsAppendsTheExtensionUnlessTheNameHoldsIt) {
    const std::pair<const char*, const char*> names[] = {
        {"site", "site.ornex"},
        {"site.ornex", "site.ornex"},
        {"site.ORNEX", "site.ORNEX.ornex"},
        {"old.ornex.bak", "old.ornex.bak"},
    };
    for (const auto& [chosen, written] : names) {
        SCOPED_TRACE(chosen);
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
        ChangeAdminPin(form.Pins()->AdminPINEdit()->text() == "1111" ? "2222" : "1111");

        Run(form.SaveAsFileMenuItem(), {DialogAnswer::ChooseFile(PathOf(chosen))});

        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{written});
        EXPECT_EQ(ReadBytes(PathOf(written)), EncodeSettingsFile(form.Settings().Read()));
        EXPECT_EQ(form.windowTitle(), QStringLiteral("ORNEX - ") + written);
        EXPECT_EQ(form.CurrentSettingsFile(), PathOf(written));
    }
}

TEST_F(FileCommandsTest, SaveAsAsksBeforeReplacingAFile) {
    const QByteArray old = "the file of another site";
    WriteBytes(PathOf("other.ornex"), old);
    ChangeAdminPin("5555");

    // Chosen without the extension: the question is about the file the
    // extension leads to, and it is the program's, not the dialog's.
    std::vector<SeenDialog> seen =
        Run(form.SaveAsFileMenuItem(), {DialogAnswer::ChooseFile(PathOf("other")), "&No"});
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].className, "TMessageForm");
    EXPECT_EQ(seen[1].title, "Warning");
    EXPECT_EQ(seen[1].text, "Overwrite existing file?");
    EXPECT_EQ(seen[1].buttons, QStringList({"&Yes", "&No"}));
    EXPECT_EQ(seen[1].defaultButton, "&Yes");
    EXPECT_EQ(seen[1].icon, WarningIcon);
    EXPECT_EQ(ReadBytes(PathOf("other.ornex")), old);
    EXPECT_EQ(form.windowTitle(), "ORNEX*");
    EXPECT_TRUE(form.CurrentSettingsFile().isEmpty());
    EXPECT_FALSE(QFile::exists(PathOf("other")));

    // Chosen with the extension: still one question, the program's.
    seen = Run(form.SaveAsFileMenuItem(), {DialogAnswer::ChooseFile(PathOf("other.ornex")), "&No"});
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].text, "Overwrite existing file?");
    EXPECT_EQ(ReadBytes(PathOf("other.ornex")), old);

    seen = Run(form.SaveAsFileMenuItem(), {DialogAnswer::ChooseFile(PathOf("other")), "&Yes"});
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_EQ(ReadBytes(PathOf("other.ornex")), EncodeSettingsFile(form.Settings().Read()));
    EXPECT_EQ(form.windowTitle(), "ORNEX - other.ornex");
}

TEST_F(FileCommandsTest, SaveRemovesTheMarkAndWritesTheCurrentFile) {
    const QString path = WriteSiteFile("site.ornex");
    Open(path);
    ChangeAdminPin("5555");
    EXPECT_EQ(form.windowTitle(), "ORNEX - site.ornex*");

    EXPECT_TRUE(Run(form.SaveFileMenuItem(), {}).empty());

    EXPECT_EQ(form.windowTitle(), "ORNEX - site.ornex");
    DiallerSettings expected = SiteSettings();
    expected.AdminPin = "5555";
    EXPECT_EQ(ReadBytes(path), EncodeSettingsFile(expected));
    EXPECT_EQ(ReadBytes(path).size(), 3449);
}

TEST_F(FileCommandsTest, NewAfterOpenForgetsTheFileSoSaveAsksForAName) {
    const QString path = WriteSiteFile("site.ornex");
    Open(path);
    const QByteArray opened = ReadBytes(path);

    EXPECT_TRUE(Run(form.NewFileMenuItem(), {}).empty());
    EXPECT_EQ(form.windowTitle(), "ORNEX");
    EXPECT_EQ(form.Settings().Read(), DiallerSettings{});

    // Save must not put the new, default settings over the site's file,
    // which the caption no longer names.
    const std::vector<SeenDialog> seen = Run(form.SaveFileMenuItem(), {CancelFileDialog()});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].className, "QFileDialog");
    EXPECT_EQ(ReadBytes(path), opened);
    EXPECT_EQ(form.windowTitle(), "ORNEX");
}

TEST_F(FileCommandsTest, NewPutsTheDefaultsBackQuietly) {
    Open(WriteSiteFile("site.ornex"));
    form.PageControl()->setCurrentWidget(form.Inputs());
    ASSERT_FALSE(form.Inputs()->AttemptsEditQuiet());
    form.Inputs()->InputControls()[1].VoiceMessageLabel->show();
    form.Contacts()->PhoneNumbersListView()->setCurrentItem(
        form.Contacts()->PhoneNumbersListView()->topLevelItem(2));
    form.Editor()->SetCurrentContactRow(2);
    form.Editor()->PhoneNumberEdit()->setText("07700900123");
    form.Editor()->EditorCheckBoxes()[0]->setChecked(true);
    form.Editor()->EditorCheckBoxes()[4]->setChecked(true);
    ChangeAdminPin("5555");

    const std::vector<SeenDialog> seen = Run(form.NewFileMenuItem(), {"&No"});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].title, "Settings Changed");

    EXPECT_EQ(form.windowTitle(), "ORNEX");
    EXPECT_EQ(form.Settings().ReadContacts(), ContactList{});
    EXPECT_EQ(form.Pins()->AdminPINEdit()->text(), "7431");
    EXPECT_EQ(form.Pins()->UserPINEdit()->text(), "8297");
    for (int n = 0; n < 8; ++n) {
        const InputSettings input = form.Settings().ReadInputs()[n];
        EXPECT_TRUE(input.NormallyOpen);
        EXPECT_TRUE(input.Latching);
        EXPECT_EQ(input.DiallingAttempts, 3);
        EXPECT_TRUE(input.SmsMessage.isEmpty());
        // What the dialler reported about its voice messages still holds.
        EXPECT_EQ(input.VoiceMessageMissing, n == 1);
    }
    EXPECT_EQ(form.PageControl()->currentWidget(), form.Contacts());
    EXPECT_EQ(form.GetPageButton()->text(), "Get Phone Numbers from ORNEX");
    EXPECT_TRUE(form.Editor()->PhoneNumberEdit()->text().isEmpty());
    for (QCheckBox* box : form.Editor()->EditorCheckBoxes()) {
        EXPECT_EQ(box->checkState(), Qt::Unchecked) << box->objectName().toStdString();
    }
    EXPECT_TRUE(form.Contacts()->PhoneNumbersListView()->selectedItems().isEmpty());
    EXPECT_EQ(form.Editor()->CurrentContactRow(), -1);
    EXPECT_FALSE(form.LoadingSettings());

    // Attempts stay quiet again until the Inputs page is shown.
    EXPECT_TRUE(form.Inputs()->AttemptsEditQuiet());
    form.Inputs()->InputControls()[0].RetriesUpDown->StepUp();
    EXPECT_EQ(form.windowTitle(), "ORNEX");
    form.Pins()->UserPINEdit()->setText("1234");
    EXPECT_EQ(form.windowTitle(), "ORNEX*");
}

TEST_F(FileCommandsTest, NewWithYesSavesFirst) {
    const QString path = WriteSiteFile("site.ornex");
    Open(path);
    ChangeAdminPin("5555");
    Run(form.NewFileMenuItem(), {"&Yes"});
    EXPECT_EQ(form.windowTitle(), "ORNEX");
    DiallerSettings expected = SiteSettings();
    expected.AdminPin = "5555";
    EXPECT_EQ(ReadBytes(path), EncodeSettingsFile(expected));
}

TEST_F(FileCommandsTest, FailedSaveKeepsTheOldFileAndTheMark) {
    const QString path = WriteSiteFile("site.ornex");
    Open(path);
    const QByteArray old = ReadBytes(path);
    ChangeAdminPin("5555");

    // A full disk: no file may grow beyond 1000 bytes. (A read-only folder
    // would not stop a test that runs as root.)
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto savedHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 1000;
    setrlimit(RLIMIT_FSIZE, &limited);
    const std::vector<SeenDialog> seen = Run(form.SaveFileMenuItem(), {"OK"});
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, savedHandler);

    ASSERT_EQ(seen.size(), 1u);
    // The message names the file and what the system said.
    ExpectError(seen[0], "Error writing to settings file\r\n\r\n" + path + ": File too large");
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"site.ornex"});
    EXPECT_EQ(form.windowTitle(), "ORNEX - site.ornex*");
}

TEST_F(FileCommandsTest, SaveAsIntoAMissingFolderReportsIt) {
    ChangeAdminPin("5555");
    // The dialog takes a name in a folder that is in fact a file.
    WriteBytes(PathOf("plain"), "x");
    const std::vector<SeenDialog> seen =
        Run(form.SaveAsFileMenuItem(), {DialogAnswer::ChooseFile(PathOf("plain/site")), "OK"});
    ASSERT_EQ(seen.size(), 2u);
    ExpectError(seen[1], "Error opening file for writing\r\n\r\n" + PathOf("plain/site.ornex") +
                             ": Not a directory");
    EXPECT_EQ(form.windowTitle(), "ORNEX*");
    EXPECT_TRUE(form.CurrentSettingsFile().isEmpty());
}

TEST_F(FileCommandsTest, DialogsOfferSettingsFilesInEitherLetterCase) {
    for (QFileDialog* dialog : {form.SettingsOpenDialog(), form.SettingsSaveDialog()}) {
        EXPECT_EQ(dialog->nameFilters(), QStringList{"ORNEX Settings File (*.ornex)"});
        EXPECT_TRUE(dialog->testOption(QFileDialog::DontUseNativeDialog));
    }
    EXPECT_TRUE(form.SettingsSaveDialog()->testOption(QFileDialog::DontConfirmOverwrite));

    WriteSiteFile("lower.ornex");
    WriteSiteFile("UPPER.ORNEX");
    WriteSiteFile("Mixed.Ornex");
    WriteSiteFile("notes.txt");
    QStringList listed;
    Run(form.OpenFileMenuItem(), {DialogAnswer::Act([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            dialog->setDirectory(dir.path());
            auto* view = dialog->findChild<QAbstractItemView*>(QStringLiteral("listView"));
            // The folder is read in the background.
            EXPECT_TRUE(
                QTest::qWaitFor([&] { return view->model()->rowCount(view->rootIndex()) >= 3; }));
            QTest::qWait(50);
            for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row) {
                listed << view->model()->index(row, 0, view->rootIndex()).data().toString();
            }
            static_cast<QDialog*>(dialog)->reject();
        })});
    listed.sort(Qt::CaseInsensitive);
    EXPECT_EQ(listed, QStringList({"lower.ornex", "Mixed.Ornex", "UPPER.ORNEX"}));

    Open(PathOf("UPPER.ORNEX"));
    EXPECT_EQ(form.windowTitle(), "ORNEX - UPPER.ORNEX");
}

TEST_F(FileCommandsTest, TheModifiedMarkIsTheWindowsOwnWhateverTheFileName) {
    for (const QString& name : {QStringLiteral("a*b.ornex"), QStringLiteral("x[*]y.ornex")}) {
        Open(WriteSiteFile(name));
        EXPECT_FALSE(form.SettingsModified()) << name.toStdString();
        // The caption as the window system shows it.
        EXPECT_EQ(form.windowHandle()->title(), "ORNEX - " + name);
        ChangeAdminPin("5555");
        EXPECT_EQ(form.windowHandle()->title(), "ORNEX - " + name + "*");
        EXPECT_TRUE(Run(form.SaveFileMenuItem(), {}).empty());
    }
    EXPECT_TRUE(Run(form.ExitFileMenuItem(), {}).empty()); // closes unasked
    EXPECT_FALSE(form.isVisible());
}

TEST_F(FileCommandsTest, SaveRefusesTextTheFileCannotHold) {
    const QString path = WriteSiteFile("site.ornex");
    Open(path);
    const QByteArray old = ReadBytes(path);
    // Nothing the user types brings such a character in; a way into the
    // controls that does not look at the characters can.
    DiallerSettings settings = form.Settings().Read();
    settings.Contacts[4].PhoneNumber = QString::fromUtf8("0123\u0664");
    form.Settings().WriteContacts(settings.Contacts);
    ChangeAdminPin("5555");

    const std::vector<SeenDialog> seen = Run(form.SaveFileMenuItem(), {"OK"});
    ASSERT_EQ(seen.size(), 1u);
    ExpectError(seen[0], QString::fromUtf8("The phone number at location 5 contains the "
                                           "character \"\u0664\", which a settings file "
                                           "cannot hold.\r\n\r\nPlease change it before "
                                           "saving."));
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(form.windowTitle(), "ORNEX - site.ornex*");
}

} // namespace
