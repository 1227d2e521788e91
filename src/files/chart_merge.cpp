#include "files/chart_merge.h"

#include "core/calendar.h"
#include "core/date_rendering.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace zantrel {

namespace {

// Times are compared in whole seconds, as chart files write them.
long long SecondOf(double t) {
    return std::llround(t * 86400);
}

bool Earlier(double a, double b) {
    return SecondOf(a) < SecondOf(b);
}

float HumidityAt(const ReadingsStore& store, std::size_t i) {
    return i < store.Humidities.size() ? store.Humidities[i] : NoReading;
}

double FirstTime(const LoadedChart& chart) {
    const std::vector<double>& times = chart.readings.ReadingTimes;
    return times.empty() ? std::numeric_limits<double>::infinity() : times.front();
}

bool Holds(const ReadingsStore& store, double t) {
    const std::vector<double>& times = store.ReadingTimes;
    const auto at = std::lower_bound(times.begin(), times.end(), t, Earlier);
    return at != times.end() && SecondOf(*at) == SecondOf(t);
}

// Merges b into a by time; the time of the first reading both hold with different values
// when there is one, a then left as it was. Only a's readings from b's first on are moved:
// pieces in time order overlap little, so a grows by about b at each merge.
std::optional<double> MergeReadings(ReadingsStore& a, const ReadingsStore& b, bool humidity) {
    const std::size_t nb = b.ReadingTimes.size();
    if (nb == 0) return std::nullopt;
    const std::size_t split =
        static_cast<std::size_t>(std::lower_bound(a.ReadingTimes.begin(), a.ReadingTimes.end(),
                                                  b.ReadingTimes.front(), Earlier) -
                                 a.ReadingTimes.begin());
    const std::size_t na = a.ReadingTimes.size();
    ReadingsStore tail;
    tail.ReadingTimes.reserve(na - split + nb);
    tail.Temperatures.reserve(na - split + nb);
    if (humidity) tail.Humidities.reserve(na - split + nb);
    const auto take = [&](const ReadingsStore& from, std::size_t i) {
        tail.ReadingTimes.push_back(from.ReadingTimes[i]);
        tail.Temperatures.push_back(from.Temperatures[i]);
        if (humidity) tail.Humidities.push_back(HumidityAt(from, i));
    };
    std::size_t i = split, j = 0;
    while (i < na || j < nb) {
        if (j == nb || (i < na && Earlier(a.ReadingTimes[i], b.ReadingTimes[j]))) {
            take(a, i++);
        } else if (i == na || Earlier(b.ReadingTimes[j], a.ReadingTimes[i])) {
            take(b, j++);
        } else {
            if (a.Temperatures[i] != b.Temperatures[j] || HumidityAt(a, i) != HumidityAt(b, j))
                return a.ReadingTimes[i];
            take(a, i++);
            ++j;
        }
    }
    const auto replaceTail = [split](auto& into, const auto& from) {
        into.resize(split);
        into.insert(into.end(), from.begin(), from.end());
    };
    replaceTail(a.ReadingTimes, tail.ReadingTimes);
    replaceTail(a.Temperatures, tail.Temperatures);
    if (humidity) replaceTail(a.Humidities, tail.Humidities);
    for (int kind = 0; kind < EventKindCount; ++kind) {
        std::vector<double> events;
        const std::vector<double>& ea = a.Events[kind];
        const std::vector<double>& eb = b.Events[kind];
        // As multisets: an event counted twice at one time in one piece stays twice.
        std::set_union(ea.begin(), ea.end(), eb.begin(), eb.end(), std::back_inserter(events),
                       Earlier);
        a.Events[kind] = std::move(events);
    }
    return std::nullopt;
}

std::optional<QByteArray> UnitIdOf(const LoadedChart& chart) {
    const std::optional<QByteArray>& id = chart.user[UnitIdLine];
    if (!id) return std::nullopt;
    return id->trimmed();
}

// Why the pieces, in merge order, cannot make one chart; empty when they can. A piece without
// readings says nothing of humidity.
QByteArray Mismatch(const std::vector<ChartPiece>& pieces, const std::vector<std::size_t>& order) {
    const ChartPiece* recorded = nullptr;
    const ChartPiece* identified = nullptr;
    for (const std::size_t k : order) {
        const ChartPiece& piece = pieces[k];
        if (!piece.chart.readings.ReadingTimes.empty()) {
            if (!recorded) recorded = &piece;
            if (piece.chart.humidity != recorded->chart.humidity) {
                const bool first = recorded->chart.humidity;
                return QByteArray(kHumidityDiffers) + ": " +
                       FileNameOf((first ? recorded : &piece)->path) + ", not " +
                       FileNameOf((first ? &piece : recorded)->path) + ".";
            }
        }
        const std::optional<QByteArray> id = UnitIdOf(piece.chart);
        if (!id) continue;
        if (!identified) identified = &piece;
        if (const QByteArray known = *UnitIdOf(identified->chart); *id != known)
            return QByteArray(kUnitIdsDiffer) + ": " + FileNameOf(identified->path) + " (" + known +
                   ") and " + FileNameOf(piece.path) + " (" + *id + ").";
    }
    return {};
}

} // namespace

QByteArray FileNameOf(const QByteArray& path) {
    return path.mid(path.lastIndexOf('/') + 1);
}

ChartMerge MergeCharts(const std::vector<ChartPiece>& pieces) {
    ChartMerge merge;
    if (pieces.empty()) return merge;
    merge.order.resize(pieces.size());
    std::iota(merge.order.begin(), merge.order.end(), std::size_t{0});
    std::stable_sort(merge.order.begin(), merge.order.end(), [&](std::size_t a, std::size_t b) {
        return FirstTime(pieces[a].chart) < FirstTime(pieces[b].chart);
    });
    if (QByteArray why = Mismatch(pieces, merge.order); !why.isEmpty()) {
        merge.failure = why;
        merge.order.clear();
        return merge;
    }

    const ChartPiece& first = pieces[merge.order.front()];
    LoadedChart& chart = merge.chart.emplace(first.chart);
    bool humidityStored = false;
    std::size_t readings = 0;
    for (const ChartPiece& piece : pieces) {
        humidityStored = humidityStored || !piece.chart.readings.Humidities.empty();
        readings += piece.chart.readings.ReadingTimes.size();
    }
    // Room for every reading at once, so that the merged store never regrows.
    chart.readings.ReadingTimes.reserve(readings);
    chart.readings.Temperatures.reserve(readings);
    if (humidityStored) {
        chart.readings.Humidities.reserve(readings);
        chart.readings.Humidities.resize(chart.readings.Temperatures.size(), NoReading);
    }

    for (std::size_t n = 1; n < merge.order.size(); ++n) {
        const ChartPiece& piece = pieces[merge.order[n]];
        chart.encrypted = chart.encrypted && piece.chart.encrypted;
        const std::optional<double> clash =
            MergeReadings(chart.readings, piece.chart.readings, humidityStored);
        if (!clash) continue;
        const auto earlier =
            std::find_if(merge.order.begin(), merge.order.begin() + n,
                         [&](std::size_t k) { return Holds(pieces[k].chart.readings, *clash); });
        merge.failure = QByteArray(kReadingsDiffer) + ": " + FileNameOf(pieces[*earlier].path) +
                        " and " + FileNameOf(piece.path) + " at " +
                        FormatDateTime(first.chart.dateFormat, RoundToSecond(*clash)) + ".";
        merge.chart.reset();
        merge.order.clear();
        return merge;
    }
    return merge;
}

} // namespace zantrel
