// Time to load an encrypted duplicate of T+RH readings every 15 seconds (a month, then a
// million rows), decryption, parsing, storing and the redraw included, and the redraw alone;
// then the same readings written as the command-line tool's JSON; with the process's peak
// memory. Target: the month in under 0.2 s, throughput flat in size; the JSON of a million
// readings in under a second.
#include "bench_measure.h"
#include "chart/chart_presenter.h"
#include "chart/readings_store.h"
#include "cli/chart_report.h"
#include "core/calendar.h"
#include "core/date_rendering.h"
#include "core/state.h"
#include "engine/engine.h"
#include "fake_host.h"
#include "files/chart_file_loader.h"
#include "files/scrambling.h"
#include "test_clock.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <sstream>
#include <vector>

using namespace zantrel;
using namespace zantrel::bench;

namespace {

constexpr const char* kFormat = "mm/dd/yyyy hh:mm:ss";
constexpr int kRuns = 5;

QByteArray Fixed(double value) {
    return QByteArray::number(value, 'f', 2);
}

// The duplicate of a chart with `rows` readings every 15 seconds; a gap every 997 rows and an
// alarm start and end every 1000.
QByteArray Duplicate(int rows) {
    const double t0 = *EncodeDateTime(2010, 1, 1, 0, 0, 0);
    const DateFormatter dates(kFormat);
    QByteArray out;
    out.reserve(static_cast<qsizetype>(rows) * 62 + 1024);
    QList<QByteArray> header = {QByteArray("~Date Format: ") + kFormat,
                                "~File Created On: " + dates.format(t0),
                                "~User Name: Bench",
                                "~User Location: Lab",
                                "~ZL ID: 1",
                                "~PC Software Version: bench"};
    for (const QByteArray& line : header)
        out += line + "\r\n";
    header += {"~", "~DateTime, Celsius, Kelvin, Fahrenheit, RH, New sensors, Temp alarm starts, "
                    "RH alarm starts, Temp alarm ends, RH alarm ends, Test start, Test end"};
    ScrambleState state;
    for (const QByteArray& line : header)
        out += '?' + ScrambleLine(state, line) + "\r\n";
    for (int i = 0; i < rows; ++i) {
        const bool gap = i % 997 == 5;
        const double c = gap ? 9999.0 : 18.0 + (i % 300) / 20.0;
        QByteArray row = dates.format(t0 + i * 15.0 / 86400.0);
        row += ", " + Fixed(c) + ", " + Fixed(gap ? c : c + 273.15) + ", " +
               Fixed(gap ? c : 1.8 * c + 32) + ", " + QByteArray::number(gap ? 9999 : 40 + i % 50);
        row += i == 0 ? ", 1" : ", 0";
        row += i % 1000 == 500 ? ", 1, 0, 1, 0, 0, 0" : ", 0, 0, 0, 0, 0, 0";
        out += '?' + ScrambleLine(state, row) + "\r\n";
    }
    return out;
}

void Measure(Engine& e, const QTemporaryDir& dir, const char* name, int rows) {
    const QByteArray content = Duplicate(rows);
    const QByteArray path = dir.filePath(QString("bench-%1.zlx").arg(rows)).toLocal8Bit();
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) {
        std::fprintf(stderr, "cannot write %s\n", path.constData());
        std::exit(1);
    }
    file.close();

    std::vector<double> loads, cpus, redraws;
    for (int run = 0; run < kRuns; ++run) {
        const double cpuStart = ThreadCpuMs();
        const auto start = Steady::now();
        e.loader().LoadChartFile(path);
        const auto loaded = Steady::now();
        cpus.push_back(ThreadCpuMs() - cpuStart);
        e.presenter().RedrawChart();
        const auto redrawn = Steady::now();
        if (e.state().Edit1.text() != "File loaded." ||
            e.readings().Temperatures.size() != size_t(rows)) {
            std::fprintf(stderr, "%s did not load: %s\n", name, e.state().Edit1.text().constData());
            std::exit(1);
        }
        loads.push_back(Ms(loaded - start));
        redraws.push_back(Ms(redrawn - loaded));
    }
    const auto jsonStart = Steady::now();
    std::ostringstream json;
    WriteChartJson(json, e);
    const double jsonMs = MsSince(jsonStart);
    const double load = Median(loads);
    const double cpu = Median(cpus);
    const double megabytes = content.size() / 1e6;
    std::printf("%-20s %7d rows %6.2f MB: load %6.1f ms, %5.0f MB/s (processor %6.1f ms, "
                "%5.0f MB/s), redraw included; redraw alone %5.1f ms; peak memory %.0f MB; "
                "medians of %d\n",
                name, rows, megabytes, load, megabytes / (load / 1000), cpu,
                megabytes / (cpu / 1000), Median(redraws), PeakRssMb(), kRuns);
    std::printf("%-20s %7d rows as JSON: %6.1f ms, %6.2f MB\n", name, rows, jsonMs,
                json.tellp() / 1e6);
}

} // namespace

int main() {
    QTemporaryDir dir;
    TestClock clock; // the reset's fixed waits are not part of the figure
    FakeHost host;
    Engine e(clock, host);
    e.FormCreate(dir.path().toLocal8Bit(), {}, QByteArray("NA"));

    Measure(e, dir, "a month every 15 s", 30 * 24 * 240);
    Measure(e, dir, "a million readings", 1000000);
    return 0;
}
