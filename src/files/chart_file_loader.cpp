#include "files/chart_file_loader.h"

#include "chart/chart_presenter.h"
#include "chart/date_format_labels.h"
#include "chart/readings_store.h"
#include "chart/storage_interval.h"
#include "core/calendar.h"
#include "core/clock.h"
#include "core/dialogs.h"
#include "core/format_settings.h"
#include "core/sample_rate.h"
#include "core/state.h"
#include "files/chart_file_parse.h"
#include "files/chart_merge.h"
#include "files/chart_pieces_read.h"
#include "files/month_pieces.h"
#include "files/monthly_file_name.h"
#include "files/regular_file.h"

#include <cmath>
#include <optional>

namespace zantrel {

namespace {

constexpr int kFallbackYear = 2000;

// The user-information values each header line restores.
constexpr std::array<QByteArray State::*, UserLineCount> kUserValues = {
    &State::UserName, &State::UserLocation, &State::UnitId, &State::SoftwareVersion};

void SetPickers(Control& date, Control& time, double t) {
    const double day = std::floor(t);
    date.setValue(day);
    time.setValue(t - day);
}

} // namespace

ChartFileLoader::ChartFileLoader(State& state, ReadingsStore& readings, ChartModel& chart,
                                 ChartPresenter& presenter, Dialogs& dialogs, Clock& clock,
                                 FormatSettings& formats)
    : state_(state), readings_(readings), chart_(chart), presenter_(presenter), dialogs_(dialogs),
      clock_(clock), formats_(formats) {}

void ChartFileLoader::LoaddataClick() {
    loadChartFiles(dialogs_.openFiles());
}

void ChartFileLoader::LoadMonthClick() {
    const std::optional<QByteArray> path = dialogs_.openMonthFile();
    if (!path) return;
    const QByteArray name = FileNameOf(*path);
    const QByteArray month = MonthOfFile(name);
    if (month.isEmpty())
        return state_.Edit1.setText(name + " is not a monthly chart file (T1yyyymm... or "
                                           "T2yyyymm...).");
    const QList<QByteArray> pieces = MonthPieces(*path);
    if (pieces.isEmpty())
        return state_.Edit1.setText("No monthly chart files found for " + month + ".");
    loadChartFiles(pieces);
}

void ChartFileLoader::LoadChartFile(const QByteArray& path) {
    // Both come back however the load ends.
    ForcedSeparators separators(formats_);
    ScopedShortDateFormat shortDate(formats_);

    openFailure_.clear();
    const std::optional<QByteArray> bytes = ReadRegularFile(path, openFailure_);
    if (!bytes) return refuse("Cannot open file.");
    // The chart shown stays, whole, unless the file parses.
    ChartParse parse = parseBytes(*bytes);
    if (!parse.chart) return refuse(parse.failure);
    clearForLoad(*parse.chart);
    apply(*parse.chart, path, false);
    loadedFiles_ = {path};
}

void ChartFileLoader::loadChartFiles(const QList<QByteArray>& paths) {
    if (paths.size() == 1) LoadChartFile(paths.front());
    if (paths.size() <= 1) return;
    ForcedSeparators separators(formats_);
    ScopedShortDateFormat shortDate(formats_);
    ChartPiecesRead read = ReadChartPieces(paths, currentYear());
    openFailure_ = read.openFailure;
    if (!read.failure.isEmpty()) return refuse(read.failure);
    ChartMerge merge = MergeCharts(read.pieces);
    read.pieces.clear(); // the merged chart holds every reading: the pieces need no memory now
    if (!merge.chart) return refuse(merge.failure);

    clearForLoad(*merge.chart);
    for (const std::size_t k : merge.order)
        loadedFiles_.append(paths[static_cast<qsizetype>(k)]);
    apply(*merge.chart,
          loadedFiles_.front() + " + " + QByteArray::number(paths.size() - 1) + " more", true);
}

int ChartFileLoader::currentYear() const {
    const auto today = DecodeDateTime(clock_.now());
    return today ? today->year : kFallbackYear;
}

ChartParse ChartFileLoader::parseBytes(const QByteArray& bytes) const {
    return ParseChartFile(std::string_view(bytes.constData(), bytes.size()), currentYear());
}

void ChartFileLoader::clearForLoad(const LoadedChart& incoming) {
    State& s = state_;
    s.FileEncryptFlag.clear();
    s.DATEFORMAT.setText(incoming.dateFormat);
    formats_.shortDateFormat = incoming.shortDateFormat;
    ApplyDateFormat(s, chart_);
    showSecureData(false);
    if (clearBuffer) clearBuffer();
    loadedFiles_.clear();
}

void ChartFileLoader::refuse(const QByteArray& status) {
    state_.Edit1.setText(status);
    ApplyDateFormat(state_, chart_);
}

void ChartFileLoader::apply(LoadedChart& chart, const QByteArray& caption, bool merged) {
    State& s = state_;
    readings_ = std::move(chart.readings);
    s.RHZL.set(chart.humidity);
    if (chart.encrypted) {
        s.FileEncryptFlag.tick();
        showSecureData(true);
    }
    for (int kind = 0; kind < UserLineCount; ++kind)
        if (chart.user[kind]) s.*kUserValues[kind] = *chart.user[kind];

    const std::vector<double>& times = readings_.ReadingTimes;
    if (!times.empty()) SetPickers(s.Startdate, s.Starttime, times.front());
    if (times.size() >= 2) {
        // One file's first step is its interval; merged files may have holes anywhere.
        const double interval = merged ? StorageInterval(times) : times[1] - times[0];
        const double rate = SamplesPerHourFromInterval(interval);
        s.Samplesperhour.setText(QByteArray::number(rate, 'g', 15));
    }
    s.Edit1.setText("File loaded.");
    if (!times.empty()) SetPickers(s.Enddate, s.Endtime, times.back());
    presenter_.RedrawChart();
    s.CaptionSuffix.clear();
    s.Caption.setText(s.BaseCaption + " | " + caption);
    s.FreshData.clear();
    // A merged chart is held by no one file.
    s.UnsavedReadings.set(merged);
}

void ChartFileLoader::showSecureData(bool shown) {
    state_.SecureData.setVisible(shown);
    state_.LockImage.setVisible(shown);
}

} // namespace zantrel
