// Redraw time of the chart view, whole range and zoomed, against a bare plot that holds the
// same points in one graph per series; and the memory the points take in the model and in the
// view. Two records: a million points on each series, and a year of readings every 15 seconds
// (about 2.1 million on each) with holes between monthly files.
#include "bench_measure.h"
#include "chart/chart_model.h"
#include "plot/chart_view.h"

#include <QApplication>
#include <QVector>
#include <qcustomplot.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <random>
#include <vector>

using namespace zantrel;
using namespace zantrel::bench;

namespace {

constexpr int kRuns = 11;
constexpr int kSlowRuns = 3;
constexpr int kWidth = 800;
constexpr int kHeight = 420;
constexpr double kPeriodDays = 15.0 / 86400; // one reading every 15 seconds
constexpr double kFirstDay = 40177.0;        // 30 December 2009
constexpr double kZoomShare = 0.01;
constexpr int kGapLength = 40;

// What is drawn: so many readings of temperature and humidity, temperature readings missing
// from kGapLength readings on at each gap start (the point after each drawn in silver), and
// holes, where both lines break as between files a day apart.
struct Record {
    const char* name;
    int points;
    std::vector<int> gapStarts;
    std::vector<int> holeAt;
};

const Record kMillion{
    "a million points per series", 1000000, {120000, 350000, 351000, 600000, 875000}, {}};
// 2026 in twelve monthly files, two of them a day short of the next.
const Record kYear{"a year, 15 s readings in 12 monthly files",
                   365 * 5760,
                   {250000, 735000, 736000, 1260000, 1840000},
                   {31 * 5760, 212 * 5760}};

struct Memory {
    double rssMb;
    double peakMb;
    double virtualMb;
};

Memory MemoryNow() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const double page = double(sysconf(_SC_PAGESIZE)) / (1024 * 1024);
    return {resident * page, usage.ru_maxrss / 1024.0, pages * page};
}

void PrintMemory(const char* when, const Memory& m) {
    std::printf("  %-34s RSS %7.1f MB   peak RSS %7.1f MB   virtual %7.1f MB\n", when, m.rssMb,
                m.peakMb, m.virtualMb);
}

bool InGap(const Record& record, int reading) {
    for (int start : record.gapStarts)
        if (reading >= start && reading < start + kGapLength) return true;
    return false;
}

// A daily swing with noise and a slow drift, as a logger in a room records it.
void Fill(ChartModel& chart, const Record& record) {
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0.0, 0.3);
    const double day = 86400.0 / 15;
    bool afterGap = false;
    double skipped = 0;
    for (int r = 0, drawn = 0; drawn < record.points; ++r) {
        if (std::find(record.holeAt.begin(), record.holeAt.end(), r) != record.holeAt.end()) {
            chart.Series1.AddNullPoint(kFirstDay + skipped + r * kPeriodDays, {});
            chart.Series2.AddNullPoint(kFirstDay + skipped + r * kPeriodDays, {});
            skipped += 1;
        }
        const double t = kFirstDay + skipped + r * kPeriodDays;
        const double phase = 2 * M_PI * r / day;
        if (r < record.points) {
            const double rh = 50 + 25 * std::sin(phase + 1) + 3 * noise(random);
            chart.Series2.AddPoint(t, std::clamp(std::round(rh), 0.0, 100.0), {}, kBlue);
        }
        if (InGap(record, r)) {
            afterGap = true;
            continue;
        }
        const double celsius =
            21 + 6 * std::sin(phase) + 2 * std::sin(r / 200000.0) + noise(random);
        chart.Series1.AddPoint(t, std::round(celsius * 100) / 100, {}, afterGap ? kSilver : kRed);
        afterGap = false;
        ++drawn;
    }
}

// The series' points, a null point as NaN so that the line breaks there as in the view.
QVector<QCPGraphData> DrawnPoints(const ChartSeries& series) {
    QVector<QCPGraphData> out;
    out.reserve(series.PointCount());
    for (int i = 0; i < series.PointCount(); ++i)
        out.append(QCPGraphData(ChartKey(series.x(i)), series.y(i)));
    return out;
}

// A plot under test, with its wall and CPU times of one view of the data.
struct Subject {
    const char* name;
    QCustomPlot* plot;
    QCPAxis* humidityAxis;
    int runs;
    std::vector<double> wall, cpu;
};

struct Ranges {
    QCPRange time, temperature, humidity;
};

void ShowRange(Subject& s, const Ranges& r, const Record& record, bool zoomed) {
    s.plot->yAxis->setRange(r.temperature);
    s.humidityAxis->setRange(r.humidity);
    if (!zoomed) {
        s.plot->xAxis->setRange(r.time);
        return;
    }
    // A window around the second gap, so the silver bridge is in view.
    const double span = r.time.size() * kZoomShare;
    const double centre = r.time.lower + r.time.size() * record.gapStarts[1] / record.points;
    s.plot->xAxis->setRange(centre - span / 2, centre + span / 2);
}

// Immediate replots, the subjects taking turns so that load from elsewhere on the machine
// falls on all of them alike; one warm-up replot each first.
void TimeReplots(std::vector<Subject>& subjects, const Ranges& ranges, const Record& record,
                 bool zoomed) {
    for (Subject& s : subjects) {
        s.wall.clear();
        s.cpu.clear();
        ShowRange(s, ranges, record, zoomed);
        s.plot->replot(QCustomPlot::rpImmediateRefresh);
    }
    for (int run = 0; run < kRuns; ++run) {
        for (Subject& s : subjects) {
            if (run >= s.runs) continue;
            const double cpu = ThreadCpuMs();
            const auto start = std::chrono::steady_clock::now();
            s.plot->replot(QCustomPlot::rpImmediateRefresh);
            s.wall.push_back(MsSince(start));
            s.cpu.push_back(ThreadCpuMs() - cpu);
        }
    }
    for (const Subject& s : subjects)
        std::printf("  %-32s wall %8.2f ms   CPU %8.2f ms   (median of %d)\n", s.name,
                    Median(s.wall), Median(s.cpu), s.runs);
    const Subject& view = subjects.front();
    for (size_t i = 1; i < subjects.size(); ++i)
        std::printf("  view / %-25s wall %5.2fx   CPU %5.2fx%s\n", subjects[i].name,
                    Median(view.wall) / Median(subjects[i].wall),
                    Median(view.cpu) / Median(subjects[i].cpu),
                    i == 1 ? "   (target within 1.5x)" : "");
}

// A plain plot with one graph per series, the same pens and adaptive sampling.
void SetUpBare(QCustomPlot& bare, const ChartModel& chart, bool fastPolylines) {
    bare.setPlottingHint(QCP::phFastPolylines, fastPolylines);
    bare.yAxis2->setVisible(true);
    QCPGraph* temperature = bare.addGraph(bare.xAxis, bare.yAxis);
    temperature->setPen(QPen(Qt::red, 3));
    temperature->setAdaptiveSampling(true);
    temperature->data()->set(DrawnPoints(chart.Series1), true);
    QCPGraph* humidity = bare.addGraph(bare.xAxis, bare.yAxis2);
    humidity->setPen(QPen(Qt::blue, 2));
    humidity->setAdaptiveSampling(true);
    humidity->data()->set(DrawnPoints(chart.Series2), true);
    bare.resize(kWidth, kHeight);
    bare.show();
    QApplication::processEvents();
}

// The memory and replot figures of one record.
void Compare(const Record& record) {
    std::printf("\n== %s: %d points per series, %dx%d\n\nMemory\n", record.name, record.points,
                kWidth, kHeight);
    const Memory atStart = MemoryNow();
    PrintMemory("before filling the model", atStart);
    ChartModel chart;
    chart.LeftAxis.setAutomatic(true);
    chart.RightAxis.setRange(0, 100);
    chart.RightAxis.setVisible(true);
    auto start = std::chrono::steady_clock::now();
    Fill(chart, record);
    const double fillMs = MsSince(start);
    const Memory filled = MemoryNow();
    PrintMemory("after filling the model", filled);

    start = std::chrono::steady_clock::now();
    ChartView view(chart); // syncs every point into its graphs
    const double syncMs = MsSince(start);
    view.resize(kWidth, kHeight);
    view.show();
    QApplication::processEvents();
    view.syncNow();
    const Memory synced = MemoryNow();
    PrintMemory("after the view synced", synced);

    const double points = 2.0 * record.points;
    std::printf("  model:  %.1f bytes per point (RSS), filled in %.0f ms\n",
                (filled.rssMb - atStart.rssMb) * 1024 * 1024 / points, fillMs);
    std::printf("  view:   %.1f bytes per point (RSS), %.1f (peak RSS), synced in %.0f ms\n",
                (synced.rssMb - filled.rssMb) * 1024 * 1024 / points,
                (synced.peakMb - filled.peakMb) * 1024 * 1024 / points, syncMs);
    std::printf("  graph points in the view: temperature %d + %d bridge, humidity %d\n",
                view.temperatureGraphs().mainGraph()->dataCount(),
                view.temperatureGraphs().bridgeGraph()->dataCount(),
                view.humidityGraphs().mainGraph()->dataCount());

    const Ranges ranges{view.xAxis->range(), view.yAxis->range(), view.yAxis2->range()};

    QCustomPlot bare;
    SetUpBare(bare, chart, false);
    const Memory bareFilled = MemoryNow();
    PrintMemory("after a bare plot filled", bareFilled);
    std::printf("  bare:   %.1f bytes per point (RSS)\n",
                (bareFilled.rssMb - synced.rssMb) * 1024 * 1024 / points);
    QCustomPlot bareFast;
    SetUpBare(bareFast, chart, true);

    // Wide lines drawn as one polyline take seconds here, so the bare plot with the default
    // hints runs only a few times.
    std::vector<Subject> subjects{
        {"chart view", &view, view.yAxis2, kRuns, {}, {}},
        {"bare, fast polylines", &bareFast, bareFast.yAxis2, kRuns, {}, {}},
        {"bare, default hints", &bare, bare.yAxis2, kSlowRuns, {}, {}}};
    std::printf(
        "\nBare: one graph per series, the same pens, adaptive sampling; \"fast polylines\" is "
        "the plotting hint the view sets.\n");
    std::printf("\nReplot (rpImmediateRefresh), whole time span\n");
    TimeReplots(subjects, ranges, record, false);
    std::printf("\nReplot (rpImmediateRefresh), zoomed to %.0f%% of the time span\n",
                kZoomShare * 100);
    TimeReplots(subjects, ranges, record, true);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::printf("Chart redraw, platform %s\n", qPrintable(QGuiApplication::platformName()));
    Compare(kMillion);
    Compare(kYear);
    return 0;
}
