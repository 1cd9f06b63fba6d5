#pragma once

#include "settings/DiallerSettings.h"

#include <QByteArray>
#include <QList>

#include <array>

// What the dialler answers to one command, and what it does next.
struct DiallerReply {
    enum class Next {
        Command,           // waits for the next command
        VoiceData,         // takes a WAV image for `Input` as raw bytes
        BootloaderRestart, // restarts into its bootloader after `RestartDelayMs`
    };
    QList<QByteArray> Lines; // each with its line end
    Next Then = Next::Command;
    int Input = 0;
    int RestartDelayMs = 0;
};

// The ORNEX dialler's command interpreter, without any line: its stored
// settings, outputs and voice messages, and what it answers to each command
// of its catalogue. The simulator feeds it whole commands; tests may read and
// set its state.
//
// The command language as this model speaks it:
//
//   ver;                       "SW 3.25, HW 1"
//   dnld all;                  a block: "VER:..." line, one CON line per
//                              contact, one INP and one NAM line per input,
//                              a PIN line, and "LEN:nnnn" stating the bytes of
//                              the whole block including that line
//   del,0,all;                 deletes every contact               "Success!"
//   add,1&3,0123456781,v,s;    adds a contact (firmware 3.25 on)   "Success!"
//   add,2,0123456781,s;        adds one input of a contact; a number that is
//                              stored already gets the input added "Success!"
//   mod,inp,4,nc,s,12;         sets an input   "4: NC, SLAVE, 12, VOICE MESSAGE"
//   name,4,"Back door";        sets its SMS text                   "4: Back door"
//   pin,1,8297; pin,2,7431;    sets the User (1) or Admin (2) PIN  "Success!"
//   save all;                  "Starting Save...", then "Save Complete!"
//   upl 3;                     "Ready...", takes a WAV image whose length its
//                              RIFF header gives, then             "Success!"
//   out,1,on; out,2,off;       switches an output                  "1:ON"
//   sts,out,2;                 reports an output                   "2:OFF"
//   rst boot 3000;             "Success!", then restarts into the bootloader
//
// Every reply line ends in a carriage return alone. A command it does not
// understand or whose values it does not accept gets "Error".
class DiallerCommandModel {
public:
    // The add command takes several inputs joined by "&" from this firmware on.
    static constexpr int MultiInputAddMajor = 3;
    static constexpr int MultiInputAddMinor = 25;
    static inline const QByteArray RefusalText = QByteArrayLiteral("Error");

    int FirmwareMajor = 3;
    int FirmwareMinor = 25;
    int HardwareVariant = 1;
    // When not empty, the whole answer to "ver;" instead of the version line.
    QByteArray VersionReply;
    // "\r", or "\r\n" for a dialler that ends its lines badly.
    QByteArray LineEnd = QByteArrayLiteral("\r");

    DiallerSettings Settings;
    std::array<bool, SettingsLimits::OutputCount> Outputs{};
    std::array<QByteArray, SettingsLimits::InputCount> VoiceMessages{};
    int FlashSaves = 0;

    // Carries out one command, given with its ";".
    DiallerReply Execute(const QByteArray& command);
    // Stores the WAV image that followed "upl N;".
    DiallerReply TakeVoiceMessage(int input, const QByteArray& wav);
    // The refusal line, for commands the line layer turns down.
    QByteArray RefusalLine() const { return RefusalText + LineEnd; }

    // The answer to "dnld all;".
    QByteArray SettingsBlock() const;
    QByteArray VersionText() const;

    // Whether the bytes received so far form a whole command: a ";" ends a
    // command except inside the double quotes of an SMS text.
    static bool CommandComplete(const QByteArray& received);

private:
    DiallerReply Answer(std::initializer_list<QByteArray> lines) const;
    DiallerReply Refused() const;
    DiallerReply AddContact(const QByteArray& fields);
    DiallerReply ModifyInput(const QByteArray& fields);
    DiallerReply NameInput(const QByteArray& fields);
    DiallerReply SetPin(const QByteArray& fields);
    DiallerReply OutputState(int output) const;
    bool AcceptsMultiInputAdd() const;
};
