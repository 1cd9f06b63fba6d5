#pragma once

#include <QString>

#include <stdexcept>
#include <vector>

// How the benchmark runs: paced like the dialler's line for the figures, or
// unpaced and small so that the test suite can run every measure quickly.
struct BenchOptions {
    // 0: the simulators send and take bytes as fast as they can.
    int PacingBaud = 256000;
    // Each timed measure runs this often; the fastest run counts.
    int Runs = 5;
    int VoiceDataBytes = 240000;
    int FirmwareImageBytes = 60256;
    int WaitMs = 10000;
    int IdleMs = 10000;
    // The idle window's supervisor searches this machine's devices as well
    // as the simulated dialler. Off in the tests, which must not look at,
    // let alone open, a dialler attached to the machine they run on.
    bool SearchMachine = true;

    static BenchOptions Full() { return {}; }
    static BenchOptions Quick() { return {0, 1, 16000, 10000, 300, 1000, false}; }
};

// The serial line whose speed is the floor of every exchange: 256000 baud,
// ten bits a byte (start bit, eight data bits, stop bit).
namespace BenchLine {
constexpr int Baud = 256000;
constexpr double SecondsPerByte = 10.0 / Baud;
} // namespace BenchLine

// One figure: what was measured, what it is measured against, and the goal
// for their ratio.
struct Measurement {
    enum class Unit { Seconds, Percent };

    QString Name;
    Unit Kind = Unit::Seconds;
    double Measured = 0;
    double Reference = 0;
    double GoalRatio = 0;
    // What the reference is made of, for the reader of the table.
    QString Basis;

    double Ratio() const { return Reference > 0 ? Measured / Reference : 0; }
    bool GoalMet() const { return Ratio() <= GoalRatio; }
};

// An exchange that failed or did not leave the simulated dialler as it should:
// the figures would mean nothing.
class BenchFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Runs every measure against a simulated dialler and its bootloader on
// pseudo-terminals, through the program's own exchange code and transport.
// Needs a QApplication. Throws BenchFailure.
std::vector<Measurement> RunBenchmarks(const BenchOptions& options);
