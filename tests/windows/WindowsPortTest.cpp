// The Windows serial port against the simulated dialler. The dialler runs on
// the Linux side on a pseudo-terminal that Wine offers as a COM port
// (tests/windows/port-test.sh sets that up and names the port in
// ORNEX_TEST_PORT); this program runs under Wine and drives the program's own
// exchanges through WindowsComPort.cpp: the version query, Get All, Send All,
// a voice upload, and a line that goes in the middle of an upload.
#include "device/CommandFraming.h"
#include "device/DeviceTransport.h"
#include "device/DiallerVersion.h"
#include "platform/ComPort.h"
#include "settings/DownloadExchange.h"
#include "settings/SettingsBlock.h"
#include "settings/UploadExchange.h"
#include "voice/VoiceUpload.h"

#include "support/SettingsBuilders.h"
#include "support/VoiceImages.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace {

// The input whose upload the Linux side answers by closing the line: it
// watches the dialler's command log for this command.
constexpr int HangUpInput = 8;

class NoFeedback : public UploadFeedback {
public:
    void ShowActivity(const QString&) override {}
    void ShowCommandError(const QString& text) override { Errors << text; }
    QStringList Errors;
};

class WindowsPort : public ::testing::Test {
protected:
    void SetUp() override {
        const QString name = qEnvironmentVariable("ORNEX_TEST_PORT");
        ASSERT_FALSE(name.isEmpty()) << "ORNEX_TEST_PORT names the simulated dialler's port";
        port.SetPort(name);
        ASSERT_NO_THROW(port.Open());
    }

    std::optional<DiallerSettings> GetAll() {
        SettingsReply reply;
        if (!DownloadSettings(transport, reply)) {
            return std::nullopt;
        }
        return ApplyAllLines(reply, DiallerSettings{}).Settings;
    }

    ComPort port;
    DeviceTransport transport{port};
};

// Runs first: the one test that leaves the line dead is the last.
TEST_F(WindowsPort, VersionGetAllSendAllAndVoiceUpload) {
    QByteArray line;
    ASSERT_TRUE(QueryVersion(transport, line));
    const DiallerVersion version = ParseVersionReply(line);
    EXPECT_EQ(version, (DiallerVersion{3, 25, 1})) << line.toStdString();

    ASSERT_TRUE(GetAll().has_value());

    DiallerSettings settings;
    settings.AdminPin = QStringLiteral("135790");
    settings.UserPin = QStringLiteral("2468");
    settings.Contacts[0] =
        Contact(QStringLiteral("+441234567890"), {1, 2, 3, 4, 5, 6, 7, 8}, true, true);
    settings.Contacts[1] = Contact(QStringLiteral("0123*#"), {7}, false, true);
    for (int n = 1; n <= 8; ++n) {
        settings.Inputs[n - 1] =
            Input(n % 2 == 0, n % 3 != 0, n * 11, QStringLiteral("Input %1, zone \xe5").arg(n));
    }
    NoFeedback feedback;
    ASSERT_TRUE(UploadSettings(transport, feedback, settings, UploadScope::All,
                               FirmwareVersion{version.FirmwareMajor, version.FirmwareMinor}))
        << feedback.Errors.join(' ').toStdString();

    const std::optional<DiallerSettings> readBack = GetAll();
    ASSERT_TRUE(readBack.has_value());
    // Which inputs have a voice message is the dialler's to say.
    for (int n = 0; n < SettingsLimits::InputCount; ++n) {
        settings.Inputs[n].VoiceMessageMissing = readBack->Inputs[n].VoiceMessageMissing;
    }
    EXPECT_EQ(*readBack, settings);

    // 4.5 seconds of sound: a block of 72044 bytes.
    auto table = std::make_unique<VoiceMessageTable>();
    PutVoiceImage((*table)[1], QuietVoiceImage(72000));
    EXPECT_TRUE(UploadVoiceMessage(transport, 2, (*table)[1]));
    EXPECT_TRUE(port.Connected());
}

// The Linux side closes the pseudo-terminal while the block goes out: the
// upload fails, the port is marked closed, and nothing waits past the
// transfer's own limits.
TEST_F(WindowsPort, ALineThatGoesMidUploadFailsTheUpload) {
    auto table = std::make_unique<VoiceMessageTable>();
    // Fifteen seconds of sound, far longer on the wire than the hang-up takes.
    PutVoiceImage((*table)[HangUpInput - 1], QuietVoiceImage(240000));
    bool uploaded = true;
    ASSERT_NO_THROW(uploaded =
                        UploadVoiceMessage(transport, HangUpInput, (*table)[HangUpInput - 1]));
    EXPECT_FALSE(uploaded);
    EXPECT_FALSE(port.Connected());

    QByteArray line;
    EXPECT_FALSE(QueryVersion(transport, line));
}

} // namespace
