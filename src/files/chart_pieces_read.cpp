#include "files/chart_pieces_read.h"

#include "files/chart_file_parse.h"
#include "files/regular_file.h"

#include <algorithm>
#include <atomic>
#include <optional>
#include <thread>

namespace zantrel {

namespace {

// What became of one file.
struct Outcome {
    std::optional<LoadedChart> chart;
    QByteArray failure; // after the file name
    QByteArray openFailure;
};

Outcome ReadOne(const QByteArray& path, int currentYear) {
    Outcome outcome;
    std::optional<QByteArray> bytes = ReadRegularFile(path, outcome.openFailure);
    if (!bytes) {
        outcome.failure = "Cannot open file. " + outcome.openFailure;
        return outcome;
    }
    ChartParse parse =
        ParseChartFile(std::string_view(bytes->constData(), bytes->size()), currentYear);
    bytes.reset();
    outcome.openFailure.clear();
    if (parse.chart)
        outcome.chart = std::move(parse.chart);
    else
        outcome.failure = parse.failure;
    return outcome;
}

} // namespace

ChartPiecesRead ReadChartPieces(const QList<QByteArray>& paths, int currentYear, unsigned workers) {
    const std::size_t count = static_cast<std::size_t>(paths.size());
    std::vector<Outcome> outcomes(count);
    // Files are taken in the order given, so every file before a failing one is taken before
    // it; files after the earliest failure known are not read at all.
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> earliestFailure{count};
    const auto work = [&] {
        for (std::size_t k = next++; k < count; k = next++) {
            if (k > earliestFailure.load()) continue;
            outcomes[k] = ReadOne(paths[static_cast<qsizetype>(k)], currentYear);
            if (outcomes[k].chart) continue;
            std::size_t known = earliestFailure.load();
            while (k < known && !earliestFailure.compare_exchange_weak(known, k)) {
            }
        }
    };
    if (workers == 0) workers = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t threads = std::min<std::size_t>(workers, count);
    std::vector<std::thread> helpers;
    for (std::size_t n = 1; n < threads; ++n)
        helpers.emplace_back(work);
    work();
    for (std::thread& helper : helpers)
        helper.join();

    ChartPiecesRead read;
    if (const std::size_t k = earliestFailure.load(); k < count) {
        read.failure = FileNameOf(paths[static_cast<qsizetype>(k)]) + ": " + outcomes[k].failure;
        read.openFailure = outcomes[k].openFailure;
        return read;
    }
    read.pieces.reserve(count);
    for (std::size_t k = 0; k < count; ++k)
        read.pieces.push_back({paths[static_cast<qsizetype>(k)], std::move(*outcomes[k].chart)});
    return read;
}

} // namespace zantrel
