#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class DeviceTransport;

// The dialler's two switchable outputs. "out,N,on;" and "out,N,off;" switch
// one, "sts,out,N;" reports it; both answer with one line such as "1:ON\r":
// the output's number, a ":" and the state word, which may stand anywhere in
// the line and in either case.
namespace OutputColours {
// The status lamp's fill: blue in the high byte, red in the low byte.
constexpr int On = 65280;         // green
constexpr int Off = 255;          // red
constexpr int Unknown = 0xFFFFFF; // white
} // namespace OutputColours

// Output states as the status lamps show them.
enum OutputState : int {
    OutputUnknown = -1,
    OutputOff = 0,
    OutputOn = 1,
};

// What an output button asks for, read from its name ("Output2OffButton":
// output 2, off).
struct OutputButtonRequest {
    int Output = 0; // 0 when the name carries no number
    bool On = false;
};

// Reads a button's name; nothing when it does not begin with "Output".
std::optional<OutputButtonRequest> ParseOutputButtonName(const QString& name);

// The dialler has outputs 1 and 2.
bool IsDiallerOutput(int output);

// The number in front of the first ":" of a reply line; 0 when there is no
// ":" or the text in front of it is not a number.
int ReplyOutputNumber(const QByteArray& line);

// Switches the output. True when the dialler answered for this output with
// the state asked for.
bool SetOutput(DeviceTransport& link, int output, bool on);
// Asks for the output's state. True when the dialler answered for this
// output; `on` then holds the state (a line without "ON" counts as off).
bool QueryOutput(DeviceTransport& link, int output, bool& on);
// OutputOn or OutputOff as the dialler reports it; OutputUnknown when the
// query fails. Without a connection nothing is sent.
int GetOutputState(DeviceTransport& link, bool deviceConnected, int output);
// The lamp colour of a state.
int OutputStateColour(int state);
