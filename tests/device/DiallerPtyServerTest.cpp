#include "LinkFixture.h"

#include "device/CommandFraming.h"

#include <QtEndian>

using SimulatedDiallerLink = LinkFixture;

namespace {

// Reads the answer to "dnld all;": skips to "VER:", then collects bytes
// until a "LEN:" line states the length of the block so far.
QByteArray ReadSettingsBlock(DeviceTransport& transport) {
    QByteArray block;
    char byte = 0;
    while (!block.endsWith("VER:")) {
        if (transport.ReadFromDevice(&byte, 1, 1000) < 1) {
            return {};
        }
        block += byte;
    }
    block = "VER:";
    while (block.size() < 10000) {
        if (transport.ReadFromDevice(&byte, 1, 1000) < 1) {
            return {};
        }
        block += byte;
        const qsizetype n = block.size();
        if (n >= 9 && byte == '\r' && block.mid(n - 9, 4) == "LEN:" &&
            block.mid(n - 5, 4).toInt() == n) {
            return block;
        }
    }
    return {};
}

QByteArray WavImage(int dataBytes) {
    QByteArray wav(44 + dataBytes, '\0');
    wav.replace(0, 4, "RIFF");
    qToLittleEndian<quint32>(quint32(36 + dataBytes), wav.data() + 4);
    wav.replace(8, 8, "WAVEfmt ");
    for (int i = 44; i < wav.size(); ++i) {
        wav[i] = char(i * 7);
    }
    return wav;
}

} // namespace

TEST_F(SimulatedDiallerLink, WhatAnUploadWroteTheDownloadReadsBack) {
    transport.SetTrafficLog(nullptr);
    const auto command = [this](const QByteArray& text) { return SendCommand(transport, text); };
    const auto line = [this] {
        QByteArray reply;
        ReadResponseLine(transport, reply, 292, 1000);
        return reply;
    };
    ASSERT_TRUE(command("pin,2,123456;") && ExpectSuccess(transport));
    ASSERT_TRUE(command("pin,1,2468;") && ExpectSuccess(transport));
    ASSERT_TRUE(command("del,0,all;") && ExpectSuccess(transport));
    ASSERT_TRUE(command("add,1&3,0123456781,v,s;") && ExpectSuccess(transport));
    ASSERT_TRUE(command("add,2,+4479*1#,s;") && ExpectSuccess(transport));
    ASSERT_TRUE(command("mod,inp,4,nc,s,12;"));
    EXPECT_EQ(line(), QByteArray("4: NC, SLAVE, 12, VOICE MESSAGE\r"));
    // A ";" inside the quotes belongs to the text.
    ASSERT_TRUE(command("name,4,\"Back door; rear\";"));
    EXPECT_EQ(line(), QByteArray("4: Back door; rear\r"));
    ASSERT_TRUE(SaveAllToFlash(transport));

    ASSERT_TRUE(command("dnld all;"));
    const QByteArray block = ReadSettingsBlock(transport);
    const QByteArray expected = "VER:SW 3.25, HW 1\r"
                                "CON:1,0123456781,SMS+VOICE\r"
                                "CON:2,+4479*1#,SMS\r"
                                "INP:1,NO,LATCH,3,+,0123456781\r"
                                "INP:2,NO,LATCH,3,+,+4479*1#\r"
                                "INP:3,NO,LATCH,3,+,0123456781\r"
                                "INP:4,NC,SLAVE,12,+\r"
                                "INP:5,NO,LATCH,3,+\r"
                                "INP:6,NO,LATCH,3,+\r"
                                "INP:7,NO,LATCH,3,+\r"
                                "INP:8,NO,LATCH,3,+\r"
                                "NAM:1,\"\"\r"
                                "NAM:2,\"\"\r"
                                "NAM:3,\"\"\r"
                                "NAM:4,\"Back door; rear\"\r"
                                "NAM:5,\"\"\r"
                                "NAM:6,\"\"\r"
                                "NAM:7,\"\"\r"
                                "NAM:8,\"\"\r"
                                "PIN:0,2468,123456\r";
    EXPECT_EQ(block, expected + "LEN:0" + QByteArray::number(expected.size() + 9) + '\r');

    EXPECT_EQ(
        dialler.ReceivedCommands(),
        QList<QByteArray>({"pin,2,123456;", "pin,1,2468;", "del,0,all;", "add,1&3,0123456781,v,s;",
                           "add,2,+4479*1#,s;", "mod,inp,4,nc,s,12;", "name,4,\"Back door; rear\";",
                           "save all;", "dnld all;"}));
    const DiallerSettings stored = dialler.Settings();
    EXPECT_EQ(stored.AdminPin, QStringLiteral("123456"));
    EXPECT_TRUE(stored.Contacts[0].ReportsInput[2]);
    EXPECT_EQ(stored.Inputs[3].SmsMessage, QStringLiteral("Back door; rear"));
}

TEST_F(SimulatedDiallerLink, SettingsSetByTheTestAppearInTheBlockWithCorrectLength) {
    DiallerSettings settings;
    settings.Contacts[4].PhoneNumber = QStringLiteral("0700");
    settings.Contacts[4].ReportByVoice = true;
    settings.Contacts[4].ReportsInput[7] = true;
    settings.Inputs[7].VoiceMessageMissing = true;
    dialler.SetSettings(settings);
    EXPECT_EQ(dialler.Settings(), settings);

    DiallerLineBehaviour behaviour;
    behaviour.CrLfLineEnds = true;
    dialler.SetBehaviour(behaviour);
    ASSERT_TRUE(SendCommand(transport, "dnld all;"));
    const QByteArray block = ReadSettingsBlock(transport);
    ASSERT_FALSE(block.isEmpty());
    // The length counts the line feeds inside the block, not the one behind it.
    EXPECT_TRUE(block.contains("\r\nCON:5,0700,VOICE\r\n"));
    EXPECT_TRUE(block.contains("\r\nINP:8,NO,LATCH,3,-,0700\r\n"));
    EXPECT_TRUE(block.endsWith("\r\nLEN:0" + QByteArray::number(block.size()) + "\r"));
    EXPECT_EQ(Read(1), QByteArray("\n"));
}

TEST_F(SimulatedDiallerLink, OlderFirmwareTakesOneInputPerAddAndMergesTheNumber) {
    dialler.SetFirmwareVersion(3, 24, 1);
    ASSERT_TRUE(SendCommand(transport, "add,2&5,0123456781,s;"));
    EXPECT_FALSE(ExpectSuccess(transport));
    ASSERT_TRUE(SendCommand(transport, "add,2,0123456781,s;"));
    EXPECT_TRUE(ExpectSuccess(transport));
    ASSERT_TRUE(SendCommand(transport, "add,5,0123456781,s;"));
    EXPECT_TRUE(ExpectSuccess(transport));
    const ContactEntry contact = dialler.Settings().Contacts[0];
    EXPECT_EQ(contact.PhoneNumber, QStringLiteral("0123456781"));
    EXPECT_TRUE(contact.ReportsInput[1] && contact.ReportsInput[4]);
    EXPECT_TRUE(dialler.Settings().Contacts[1].IsFree());
}

TEST_F(SimulatedDiallerLink, RefusesValuesItCannotStore) {
    for (const QByteArray& command :
         {QByteArray("add,9,0123,s;"), QByteArray("add,1,12a4,s;"), QByteArray("pin,3,1234;"),
          QByteArray("pin,1,123;"), QByteArray("mod,inp,1,no,l,100;"), QByteArray("out,3,on;"),
          QByteArray("frob;")}) {
        ASSERT_TRUE(SendCommand(transport, command)) << command.constData();
        QByteArray line;
        EXPECT_TRUE(ReadResponseLine(transport, line, 25, 1000));
        EXPECT_EQ(line, QByteArray("Error\r")) << command.constData();
    }
    EXPECT_EQ(dialler.Settings(), DiallerSettings{});
}

TEST_F(SimulatedDiallerLink, TakesAVoiceMessageByTheLengthInItsHeader) {
    const QByteArray wav = WavImage(72000);
    ASSERT_TRUE(SendCommand(transport, "upl 3;"));
    QByteArray line;
    ASSERT_TRUE(ReadResponseLine(transport, line, 25, 1000));
    EXPECT_EQ(line, QByteArray("Ready...\r"));
    transport.SetVoiceDataSending(true);
    EXPECT_EQ(transport.WriteToDevice(wav, true), quint32(wav.size()));
    transport.SetVoiceDataSending(false);
    EXPECT_TRUE(ReadResponseLine(transport, line, 25, 1000));
    EXPECT_EQ(line, QByteArray("Success!\r"));
    EXPECT_EQ(dialler.VoiceMessage(3), wav);
    EXPECT_EQ(dialler.ReceivedCommands(), QList<QByteArray>{"upl 3;"});
    // The log shows the exchange but none of the sample data.
    EXPECT_LT(log.Text().size(), 100);
}

TEST_F(SimulatedDiallerLink, SwitchesAndReportsItsOutputs) {
    QByteArray line;
    ASSERT_TRUE(SendCommand(transport, "out,2,on;"));
    ASSERT_TRUE(ReadResponseLine(transport, line, 25, 1000));
    EXPECT_EQ(line, QByteArray("2:ON\r"));
    EXPECT_TRUE(dialler.Output(2));
    ASSERT_TRUE(SendCommand(transport, "sts,out,1;"));
    ASSERT_TRUE(ReadResponseLine(transport, line, 25, 1000));
    EXPECT_EQ(line, QByteArray("1:OFF\r"));
}

TEST_F(SimulatedDiallerLink, AHangUpInTheMiddleOfACommandFailsItAndClosesThePort) {
    DiallerLineBehaviour behaviour;
    behaviour.HangUpWhenReceived = "dnld";
    dialler.SetBehaviour(behaviour);
    EXPECT_FALSE(SendCommand(transport, "dnld all;"));
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(portCheckRestarts, 1);
    EXPECT_TRUE(dialler.HungUp());
}

TEST_F(SimulatedDiallerLink, PacedLikeTheWireItTakesDataNoFasterThanTheBaudRate) {
    DiallerLineBehaviour behaviour;
    behaviour.PacingBaud = 256000;
    dialler.SetBehaviour(behaviour);
    const QByteArray wav = WavImage(12800 - 44);
    ASSERT_TRUE(SendCommand(transport, "upl 1;"));
    QByteArray line;
    ASSERT_TRUE(ReadResponseLine(transport, line, 25, 1000));
    QElapsedTimer timer;
    timer.start();
    transport.WriteToDevice(wav, true);
    ASSERT_TRUE(ReadResponseLine(transport, line, 25, 1000));
    EXPECT_EQ(line, QByteArray("Success!\r"));
    // 12800 bytes of ten bits at 256000 baud take half a second.
    EXPECT_GE(timer.elapsed(), 480);
    // Every byte is counted by the time the program has read it: the
    // command and the message in, the echo and both lines out.
    EXPECT_EQ(dialler.Traffic().Received, 6 + wav.size());
    EXPECT_EQ(dialler.Traffic().Sent, 6 + 9 + 9);
}
