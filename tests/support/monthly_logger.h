#pragma once

#include "chart/readings_store.h"
#include "core/calendar.h"
#include "files/chart_file_parse.h"
#include "files/monthly_files.h"
#include "work_dir.h"

#include <QByteArray>
#include <cmath>
#include <memory>
#include <vector>

namespace zantrel {

// A logger that has recorded readings every quarter hour from 30 March 2026 08:07:30 and the
// monthly files of its channel 1 in a temporary folder: each download asks where the files
// end and appends the readings from there, as an automatic download does.
class MonthlyLogger {
  public:
    static constexpr double kInterval = 900 / 86400.0;

    MonthlyLogger() : base_(dir_.file("site.csv").toLocal8Bit()) {}

    double time(int i) const { return first_ + i * kInterval; }
    // The logger now holds `count` readings; the first reading of each row counts a test start.
    void record(int count) {
        readings_.clear();
        for (int i = 0; i < count; ++i) {
            readings_.ReadingTimes.push_back(time(i));
            readings_.Temperatures.push_back(20.0f + static_cast<float>(i % 7));
        }
    }
    ReadingsStore& readings() { return readings_; }

    // Where the next download starts.
    double resume() const {
        return MonthlyFiles::ResumeTimeFromMonthlyFiles(base_, 1, first_, time(count() - 1),
                                                        kInterval, 2026);
    }
    // A download by a program that has just started (a fresh MonthlyFiles), or by `files`.
    MonthlyAppend download(const QByteArray& unitId = "ZL-1", MonthlyFiles* files = nullptr) {
        const double start = resume();
        ReadingsStore part;
        for (std::size_t i = 0; i < readings_.ReadingTimes.size(); ++i) {
            if (readings_.ReadingTimes[i] < start - 0.5 / 86400) continue;
            part.ReadingTimes.push_back(readings_.ReadingTimes[i]);
            part.Temperatures.push_back(readings_.Temperatures[i]);
        }
        for (int kind = 0; kind < EventKindCount; ++kind)
            for (double t : readings_.Events[kind])
                if (t >= start - 0.5 / 86400) part.Events[kind].push_back(t);
        MonthlyDownload d;
        d.base = base_;
        d.start = RoundToSecond(start);
        d.interval = kInterval;
        d.dateFormat = "mm/dd/yyyy hh:mm:ss";
        d.unitId = unitId;
        d.userBlock = "~User Name: A\r\n~User Location: B\r\n~ZL ID: " + unitId +
                      "\r\n~PC Software Version: D\r\n";
        d.now = time(count());
        MonthlyFiles fresh;
        return (files ? *files : fresh).append(d, part);
    }

    // The readings a file loads back as, in whole seconds from the first reading; {-1} when it
    // does not load.
    std::vector<long long> loaded(const QString& name) const {
        const QByteArray bytes = dir_.read(name);
        const ChartParse parse =
            ParseChartFile(std::string_view(bytes.constData(), bytes.size()), 2026);
        if (!parse.chart) return {-1};
        std::vector<long long> seconds;
        for (double t : parse.chart->readings.ReadingTimes)
            seconds.push_back(std::llround((t - first_) * 86400));
        return seconds;
    }
    // What loading every reading recorded so far once would give.
    std::vector<long long> expected() const {
        std::vector<long long> seconds;
        for (int i = 0; i < count(); ++i)
            seconds.push_back(std::llround((time(i) - first_) * 86400));
        return seconds;
    }

    WorkDir& dir() { return dir_; }
    const QByteArray& base() const { return base_; }
    static constexpr const char* kChart = "T1202603site.csv";
    static constexpr const char* kDuplicate = "T1202603site.zlx";

  private:
    int count() const { return static_cast<int>(readings_.ReadingTimes.size()); }

    WorkDir dir_;
    QByteArray base_;
    double first_ = *EncodeDateTime(2026, 3, 30, 8, 7, 30);
    ReadingsStore readings_;
};

} // namespace zantrel
