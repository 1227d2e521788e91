// Time and memory of "Save Chart" (the chart file and then its encrypted duplicate) for one
// month of temperature and humidity readings every 15 seconds, and for a million readings.
#include "bench_measure.h"
#include "chart/readings_store.h"
#include "core/calendar.h"
#include "core/state.h"
#include "engine/engine.h"
#include "fake_host.h"
#include "files/chart_file_writer.h"
#include "files/encrypted_duplicate.h"
#include "test_clock.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

using namespace zantrel;
using namespace zantrel::bench;

namespace {

constexpr int kRuns = 3;

// Readings every 15 seconds from 1 March 2010 with humidity, a gap every 500 readings, an
// alarm start and end around every 1000th reading and a new sensor every 20000th.
void Fill(ReadingsStore& store, int count) {
    store.clear();
    const double start = *EncodeDateTime(2010, 3, 1, 0, 0, 0);
    for (int i = 0; i < count; ++i) {
        const double t = start + i * 15 * kOneSecond;
        store.ReadingTimes.push_back(t);
        store.Temperatures.push_back(i % 500 == 499 ? NoReading : 18.0f + (i % 240) * 0.05f);
        store.Humidities.push_back(i % 500 == 499 ? NoReading : 35.0f + (i % 90) * 0.35f);
        if (i % 1000 == 10) {
            store.TempAlarmStartEvents().push_back(t - 5 * kOneSecond);
            store.RhAlarmStartEvents().push_back(t - 5 * kOneSecond);
        }
        if (i % 1000 == 40) {
            store.TempAlarmEndEvents().push_back(t);
            store.RhAlarmEndEvents().push_back(t);
        }
        if (i % 20000 == 0) store.NewSensorEvents().push_back(t);
    }
}

void Measure(Engine& e, FakeHost& host, const QTemporaryDir& dir, int rows) {
    Fill(e.readings(), rows);
    const QString chart = dir.filePath(QString("month_%1.csv").arg(rows));
    host.savePath = QFile::encodeName(chart);
    const double rssBefore = PeakRssMb();
    std::vector<double> ms;
    for (int run = 0; run < kRuns; ++run) {
        const auto begin = Steady::now();
        e.writer().SaveChartFile();
        ms.push_back(MsSince(begin));
    }
    // The duplicate alone, from the chart file just saved.
    const auto begin = Steady::now();
    e.duplicate().WriteEncryptedDuplicate(QFile::encodeName(chart), e.state().DATEFORMAT.text(),
                                          "~User Name: \r\n");
    const double duplicateMs = MsSince(begin);
    const double chartMb = QFileInfo(chart).size() / 1e6;
    const double duplicateMb = QFileInfo(QString(chart).replace(".csv", ".zlx")).size() / 1e6;
    std::printf("%9d rows: chart %.1f MB + duplicate %.1f MB saved in %.0f ms median "
                "(%.0f MB/s written); peak RSS %.1f MB (%.1f MB before the saves, store "
                "included)\n",
                rows, chartMb, duplicateMb, Median(ms),
                (chartMb + duplicateMb) / (Median(ms) / 1000.0), PeakRssMb(), rssBefore);
    std::printf("           of which the duplicate alone %.0f ms; status: %s\n", duplicateMs,
                e.state().Edit1.text().constData());
}

} // namespace

int main() {
    QTemporaryDir dir;
    TestClock clock;
    FakeHost host;
    Engine engine(clock, host);
    engine.FormCreate(QFile::encodeName(dir.path()), {}, QByteArray("NA"));
    engine.state().RHZL.tick();
    std::printf("Save Chart, T+RH every 15 s, median of %d runs\n", kRuns);
    Measure(engine, host, dir, 172800); // one month
    Measure(engine, host, dir, 1000000);
    return 0;
}
