#pragma once

// The check at the end of the fault-injection run: every duplicate of every month of a channel
// loaded back with zantrel-cli, against the readings the logger holds.
#include <QJsonArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace zantrel::bench {

// The readings of a chart file as `zantrel-cli load --json` reads them back, or nothing (and
// the reason) when it does not load.
std::optional<QJsonArray> LoadReadings(const QString& cli, const QString& folder,
                                       const QString& file, QString* why);

struct ChannelAudit {
    int channel = 0;
    int expected = 0;   // readings on the logger
    int found = 0;      // of those, held by some duplicate
    int missing = 0;    // held by none
    int duplicated = 0; // copies beyond the first, across every duplicate of the channel
    int changed = 0;    // held with other values than the logger's
    int foreign = 0;    // held although the logger has no reading at that time
    int pieces = 0;     // duplicates found
    QStringList notLoading;
    int csvRows = 0; // rows of the plain monthly chart files

    bool passed() const {
        return missing == 0 && duplicated == 0 && changed == 0 && foreign == 0 &&
               notLoading.isEmpty() && csvRows == expected;
    }
};

// Audits channel `channel` of the monthly files named after `base` (site.csv: "site") in
// `folder` against `reference`, the logger's readings.
ChannelAudit AuditChannel(const QString& cli, const QString& folder, const QString& base,
                          int channel, const QJsonArray& reference);

// The monthly duplicates of a channel (T1202603site.zlx, T1202603site_0.zxl, ...) in name order.
QStringList MonthlyDuplicates(const QString& folder, const QString& base, int channel);
// The plain monthly chart files of a channel (T1202603site.csv, ...).
QStringList MonthlyChartFiles(const QString& folder, const QString& base, int channel);

} // namespace zantrel::bench
