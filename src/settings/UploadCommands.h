#pragma once

#include "settings/DiallerSettings.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The commands that write the settings into the dialler, as the bytes to
// send (texts as 8-bit Latin-1 characters), and the checks of its answers.
namespace UploadProtocol {
// Firmware from this version on takes all inputs of a contact in one "add,".
constexpr int NewAddFormatMajor = 3;
constexpr int NewAddFormatMinor = 25;
// The answers to "mod,inp," and "name,": one line of at most this many bytes,
// carriage return included, each byte within its time.
constexpr int EchoLineMaxBytes = 292;
constexpr int InputEchoByteTimeoutMs = 1000;
constexpr int NameEchoByteTimeoutMs = 5000;
} // namespace UploadProtocol

// The dialler numbers its PINs: 1 is the User PIN, 2 the Admin PIN.
enum class PinNumber { User = 1, Admin = 2 };

// "del,0,all;"
QByteArray DeleteAllContactsCommand();

// True for firmware 3.25 and later; the version before any connection is
// 0.0, which takes the old form.
bool UsesNewInputAddFormat(int firmwareMajor, int firmwareMinor);

// The "add," commands for one contact, to be sent in order, each answered by
// "Success!". New form: one command with the inputs joined by "&"
// (add,1&3,0123456781,v,s;); old form: one command per input, ascending.
// ",v" (voice) comes before ",s" (SMS). A contact that reports no input, or a
// free location, gives no command.
QList<QByteArray> AddContactCommands(const ContactEntry& contact, int firmwareMajor,
                                     int firmwareMinor);

// "mod,inp,N,no|nc,l|s,attempts;" for input N (1 to 8).
QByteArray ModifyInputCommand(int input, const InputSettings& settings);
// "name,N,\"message\";"
QByteArray NameCommand(int input, const QString& message);
// "pin,N,PIN;"
QByteArray SetPinCommand(PinNumber which, const QString& pin);
// "save all;"
QByteArray SaveAllCommand();

// The dialler's answer to "mod,inp,": "6: NC, SLAVE, 0, ..." up to its
// carriage return. Blanks after the colon and after the first two commas are
// skipped. The input is 0 when the text before the colon is no number, and
// the other fields are read only for inputs 1 to 8. Attempts are 90 when no
// comma follows them or they are no number.
struct InputEcho {
    int Input = 0;
    bool NormallyOpen = false;
    bool Latching = false;
    int Attempts = 0;

    bool operator==(const InputEcho&) const = default;
};
InputEcho ParseInputEcho(const QByteArray& line);

// Accepts the answer to ModifyInputCommand(input, sent) when it repeats the
// input, both choices and the attempts.
bool InputEchoMatches(const QByteArray& line, int input, const InputSettings& sent);

// The dialler's answer to "name,": "4: Back door" up to its carriage return.
// The message is what follows the colon, leading blanks dropped, as the
// bytes received. The input is 0 when the text before the colon is no number
// and the message is read only for inputs 1 to 8.
struct NameEcho {
    int Input = 0;
    QByteArray Message;

    bool operator==(const NameEcho&) const = default;
};
NameEcho ParseNameEcho(const QByteArray& line);

// Accepts the answer to NameCommand(input, message) when it repeats the
// input and the message exactly, letter case and trailing blanks included.
bool NameEchoMatches(const QByteArray& line, int input, const QString& message);

// What a Send button is about to write.
enum class UploadScope { Pins, Contacts, Inputs, All };

// Checks every value of the scope against what the dialler can store before
// anything is sent, in the order of sending: Admin PIN, User PIN, used
// locations 1 to 99, inputs 1 to 8. A settings file or a dialler can bring
// values the editor would never let through, such as a phone number
// "1;del,0,all" or a message with a double quote or a semicolon, which would
// end the command early and have the rest taken as a command of its own.
// Returns the first problem as a sentence for the user, naming the field and
// its location or input, or nothing when all is well.
std::optional<QString> FindUploadProblem(const DiallerSettings& settings, UploadScope scope);
