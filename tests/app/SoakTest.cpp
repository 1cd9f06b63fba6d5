// A day's worth of use in one run: Get All and Send All, again and again,
// against the simulated dialler. The program must not grow or leak
// descriptors over it. Its memory figures mean something only in the default
// build: the address sanitizer holds freed memory back on purpose. Long; its
// own label keeps it out of the default run:
//
//     ctest --preset soak            (or build/tests/app/soak_tests)
//
// ORNEX_SOAK_CYCLES sets the number of cycles (1000 unless set).
#include "support/ConnectedWindowFixture.h"
#include "support/DialogAnswerer.h"
#include "support/SettingsBuilders.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <iostream>

namespace {

// Resident memory in bytes, as the kernel counts it.
qint64 ResidentBytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').first().toLongLong() * 1024;
        }
    }
    return -1;
}

int OpenDescriptors() {
    return static_cast<int>(QDir(QStringLiteral("/proc/self/fd"))
                                .entryList(QDir::NoDotAndDotDot | QDir::System)
                                .size());
}

DiallerSettings Site() {
    DiallerSettings s;
    for (int location = 1; location <= 12; ++location) {
        s.Contacts[location - 1] =
            Contact(QStringLiteral("07000000%1").arg(location, 2, 10, QLatin1Char('0')),
                    {1 + location % 8, 1 + (location + 3) % 8});
    }
    for (int n = 1; n <= SettingsLimits::InputCount; ++n) {
        s.Inputs[n - 1] = Input(n % 2 == 0, n % 3 != 0, n, QStringLiteral("Zone %1").arg(n));
    }
    s.AdminPin = "123456";
    s.UserPin = "9876";
    return s;
}

class Soak : public ConnectedWindowFixture {
protected:
    void SetUp() override {
        dialler.SetSettings(Site());
        ConnectedWindowFixture::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        // The window holds what the dialler holds, saved: nothing modified,
        // so Get All asks no question.
        form->Settings().Write(Site());
        ASSERT_TRUE(folder.isValid());
        DialogAnswerer answerer({DialogAnswer::ChooseFile(folder.filePath("site.ornex"))});
        form->SaveAsFileMenuItem()->trigger();
        ASSERT_EQ(form->windowTitle(), "ORNEX - site.ornex");
    }

    // One Get All and one Send All, neither with a word to the user.
    void Cycle() {
        DialogAnswerer noDialogs({});
        form->GetAllButton()->click();
        form->SendAllButton()->click();
        // The supervisor's tick and whatever else waits.
        QTest::qWait(1);
        // The simulated dialler lives in this process and records every
        // byte it receives; only the program's own memory is of interest.
        dialler.ClearReceivedCommands();
        ASSERT_TRUE(noDialogs.Seen().empty());
    }

    QTemporaryDir folder;
};

TEST_F(Soak, ThousandsOfExchangesNeitherGrowNorLeak) {
    const int cycles = qEnvironmentVariableIsSet("ORNEX_SOAK_CYCLES")
                           ? qEnvironmentVariableIntValue("ORNEX_SOAK_CYCLES")
                           : 1000;
    const int warmUp = 10;
    ASSERT_GT(cycles, warmUp);
    for (int i = 0; i < warmUp; ++i) {
        ASSERT_NO_FATAL_FAILURE(Cycle());
    }
    const qint64 memoryAfterWarmUp = ResidentBytes();
    const int descriptorsAfterWarmUp = OpenDescriptors();

    for (int i = warmUp; i < cycles; ++i) {
        ASSERT_NO_FATAL_FAILURE(Cycle()) << "cycle " << i + 1;
    }
    const qint64 memoryAtEnd = ResidentBytes();
    const int descriptorsAtEnd = OpenDescriptors();

    std::cout << cycles << " cycles: resident memory " << memoryAfterWarmUp << " bytes after "
              << warmUp << ", " << memoryAtEnd << " bytes at the end ("
              << memoryAtEnd - memoryAfterWarmUp << "); open descriptors " << descriptorsAfterWarmUp
              << " after " << warmUp << ", " << descriptorsAtEnd << " at the end\n";
    EXPECT_EQ(form->Settings().Read(), Site());
    EXPECT_EQ(dialler.Settings(), Site());
    EXPECT_EQ(form->windowTitle(), "ORNEX - site.ornex");
    EXPECT_LE(memoryAtEnd - memoryAfterWarmUp, 1024 * 1024);
    // The supervisor and the event loop open some briefly; at the end there
    // may be fewer open than at the count after the warm-up, never more.
    EXPECT_LE(descriptorsAtEnd, descriptorsAfterWarmUp);
}

} // namespace
