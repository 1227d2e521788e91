#include "archive/archive_rows.h"

#include "core/date_rendering.h"
#include "files/chart_file_parse.h"
#include "files/chart_merge.h"
#include "files/chart_rows.h"
#include "files/monthly_file_name.h"

namespace zantrel {

namespace {

QByteArray UserValue(const LoadedChart& chart, UserLineKind kind) {
    return chart.user[kind].value_or(QByteArray());
}

} // namespace

ArchiveRows::ArchiveRows(const LoadedChart& chart, const QByteArray& path,
                         const UtcOffsetRule& rule)
    : chart_(chart), unit_(UserValue(chart, UnitIdLine)),
      location_(UserValue(chart, UserLocationLine)), userName_(UserValue(chart, UserNameLine)),
      sourceFile_(FileNameOf(path)), channel_(ChannelOfFile(sourceFile_)) {
    const std::vector<double>& times = chart.readings.ReadingTimes;
    if (!times.empty()) offsetSeconds_ = rule.secondsAt(times.front());
}

bool ArchiveRows::encrypted() const {
    return chart_.encrypted;
}

bool ArchiveRows::humidity() const {
    return chart_.humidity;
}

std::size_t ArchiveRows::size() const {
    return chart_.readings.ReadingTimes.size();
}

int64_t ArchiveRows::firstUtcMs() const {
    const std::vector<double>& times = chart_.readings.ReadingTimes;
    return times.empty() ? 0 : UtcEpochMs(times.front(), offsetSeconds_);
}

int64_t ArchiveRows::lastUtcMs() const {
    const std::vector<double>& times = chart_.readings.ReadingTimes;
    return times.empty() ? 0 : UtcEpochMs(times.back(), offsetSeconds_);
}

void ArchiveRows::forEach(const std::function<void(const ArchiveReading&)>& visit) const {
    const ReadingsStore& store = chart_.readings;
    const DateFormatter local(FileDateFormat(chart_.dateFormat));
    const bool humidity = chart_.humidity && store.Humidities.size() == store.ReadingTimes.size();
    EventCursors events(store);
    QByteArray text;
    ArchiveReading r;
    r.localTime = &text;
    for (std::size_t i = 0; i < store.ReadingTimes.size(); ++i) {
        const double t = store.ReadingTimes[i];
        text.clear();
        local.append(text, t);
        r.utcMs = UtcEpochMs(t, offsetSeconds_);
        const float celsius = store.Temperatures[i];
        r.celsius.reset();
        r.rh.reset();
        if (celsius != NoReading) {
            r.celsius = celsius;
            if (humidity) r.rh = store.Humidities[i];
        }
        const EventCursors::Counts counts = events.take(t);
        for (int k = 0; k < EventKindCount; ++k)
            r.events[k] = int(counts[k]);
        visit(r);
    }
}

int ChannelOfFile(const QByteArray& fileName) {
    return !MonthOfFile(fileName).isEmpty() && fileName.startsWith("T2") ? 2 : 1;
}

} // namespace zantrel
