// ornex-bench: how close the program's exchanges with the dialler come to the
// speed of its serial line, and what the program costs the processor while it
// waits. Runs the program's own exchange code over its transport against the
// simulated dialler and bootloader, which pace their bytes like a 256000-baud
// line.

#include "BenchMeasures.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

QString Amount(const Measurement& m, double value) {
    return m.Kind == Measurement::Unit::Seconds ? QString::asprintf("%.4f s", value)
                                                : QString::asprintf("%.4f %%", value);
}

QString Goal(const Measurement& m) {
    return m.Kind == Measurement::Unit::Seconds
               ? QString::asprintf("<= %.2f", m.GoalRatio)
               : QString::asprintf("<= %g %%", m.GoalRatio * m.Reference);
}

void PrintTable(const std::vector<Measurement>& results, const BenchOptions& options, bool quick) {
    double load[3] = {};
    const int loads = ::getloadavg(load, 3);
    std::printf("ornex-bench: %s, the fastest of %d run%s each; load average %s on %u cores\n\n",
                quick ? "quick run, unpaced and small (the ratios mean nothing)"
                      : "simulators paced like a 256000-baud line (25600 bytes a second)",
                options.Runs, options.Runs == 1 ? "" : "s",
                loads > 0 ? qPrintable(QString::asprintf("%.2f", load[0])) : "unknown",
                std::thread::hardware_concurrency());
    std::printf("%-14s %14s %14s %9s %10s  %s\n", "measure", "measured", "reference", "ratio",
                "goal", "");
    for (const Measurement& m : results) {
        std::printf("%-14s %14s %14s %9.4f %10s  %s\n", qPrintable(m.Name),
                    qPrintable(Amount(m, m.Measured)), qPrintable(Amount(m, m.Reference)),
                    m.Ratio(), qPrintable(Goal(m)), m.GoalMet() ? "met" : "MISSED");
    }
    std::printf("\nReferences:\n");
    for (const Measurement& m : results) {
        std::printf("  %-14s %s\n", qPrintable(m.Name), qPrintable(m.Basis));
    }
    std::printf("\n");
}

// One line per measure, for scripts: seconds for times, percent of one core
// for the processor measures (reference 100).
void PrintResultLines(const std::vector<Measurement>& results) {
    for (const Measurement& m : results) {
        std::printf("RESULT %s %.4f %.4f %.4f\n", qPrintable(m.Name), m.Measured, m.Reference,
                    m.Ratio());
    }
}

} // namespace

int main(int argc, char** argv) {
    // The idle window needs no screen; its cost is measured without one.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Measures the program's exchanges with a simulated dialler paced like its 256000-baud "
        "line, and the processor time it spends waiting. The full run takes about a minute and a "
        "half."));
    parser.addHelpOption();
    const QCommandLineOption quick(
        QStringLiteral("quick"),
        QStringLiteral("Runs every measure once, unpaced and small: a check that the "
                       "benchmark still works, not a measurement."));
    parser.addOption(quick);
    parser.process(app);

    const BenchOptions options = parser.isSet(quick) ? BenchOptions::Quick() : BenchOptions::Full();
    try {
        const std::vector<Measurement> results = RunBenchmarks(options);
        PrintTable(results, options, parser.isSet(quick));
        PrintResultLines(results);
    } catch (const BenchFailure& failure) {
        std::fprintf(stderr, "ornex-bench: %s\n", failure.what());
        return EXIT_FAILURE;
    } catch (const std::exception& failure) {
        // The simulators could not start (no pseudo-terminal) or a port
        // would not open.
        std::fprintf(stderr, "ornex-bench: cannot run: %s\n", failure.what());
        return EXIT_FAILURE;
    }
    return EXIT_SUCCESS;
}
