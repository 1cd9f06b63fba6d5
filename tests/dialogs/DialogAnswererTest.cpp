#include "support/DialogAnswerer.h"
#include "dialogs/MessageDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

TEST(DialogAnswerer, PressesByCaptionWithOrWithoutAcceleratorAndByNumber) {
    DialogAnswerer answerer({"Cancel", "&No", DialogAnswer::Button(3)});
    EXPECT_EQ(ShowMessageDialog("T", "x", "&Yes\r\n&No\r\n&Cancel", QuestionIcon, 1), 3);
    EXPECT_EQ(ShowMessageDialog("T", "x", "Yes\r\nNo", QuestionIcon, 1), 2);
    EXPECT_EQ(ShowMessageDialog("T", "x", "&Yes\r\n&No\r\n&Cancel", QuestionIcon, 1), 3);
    EXPECT_EQ(answerer.Remaining(), 0);
}

TEST(DialogAnswerer, ChoosesAFileInAFileDialog) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString wanted = QDir(dir.path()).filePath(QStringLiteral("site.ornex"));
    DialogAnswerer answerer({DialogAnswer::ChooseFile(wanted)});
    const QString chosen = QFileDialog::getSaveFileName(
        nullptr, QStringLiteral("Save As"), dir.path(), QStringLiteral("ORNEX files (*.ornex)"),
        nullptr, QFileDialog::DontUseNativeDialog);
    EXPECT_EQ(chosen, wanted);
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].className, "QFileDialog");
    EXPECT_EQ(answerer.Seen()[0].title, "Save As");
}

TEST(DialogAnswerer, AnswersAWindowOpenedByAnAnswer) {
    int inner = 0;
    DialogAnswerer answerer({DialogAnswer::Act([&inner](QWidget* modal) {
                                 inner = ShowMessageDialog("Inner", "y", "A\r\nB", 0, 1);
                                 modal->findChild<QPushButton*>("Button1")->click();
                             }),
                             "B"});
    EXPECT_EQ(ShowMessageDialog("Outer", "x", "OK", 0, 1), 1);
    EXPECT_EQ(inner, 2);
    ASSERT_EQ(answerer.Seen().size(), 2u);
    EXPECT_EQ(answerer.Seen()[1].title, "Inner");
}

TEST(DialogAnswerer, AnUnexpectedWindowFailsTheTestInsteadOfHanging) {
    int result = 0;
    EXPECT_NONFATAL_FAILURE(
        {
            DialogAnswerer answerer({});
            result = ShowMessageDialog("Surprise", "x", "&Yes\r\n&No", 0, 2);
        },
        "Surprise");
    EXPECT_EQ(result, 1);
    EXPECT_NONFATAL_FAILURE(
        {
            DialogAnswerer answerer({"Maybe"});
            result = ShowMessageDialog("T", "x", "&Yes\r\n&No", 0, 2);
        },
        "has no button \"Maybe\"");
}

TEST(DialogAnswerer, ActsOnAnyModalWindowAndCancelsByCaption) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Replace"), QStringLiteral("Replace it?"),
                    QMessageBox::Yes | QMessageBox::No);
    QString seenText;
    DialogAnswerer answerer(
        {DialogAnswer::Act([&seenText](QWidget* modal) {
             seenText = qobject_cast<QMessageBox*>(modal)->text();
             qobject_cast<QMessageBox*>(modal)->button(QMessageBox::No)->click();
         }),
         "&Yes"});
    EXPECT_EQ(box.exec(), QMessageBox::No);
    EXPECT_EQ(seenText, "Replace it?");
    EXPECT_EQ(box.exec(), QMessageBox::Yes);
    ASSERT_EQ(answerer.Seen().size(), 2u);
    EXPECT_EQ(answerer.Seen()[1].text, "Replace it?");
}
