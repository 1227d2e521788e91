#include "monthly_audit.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <algorithm>

namespace zantrel::bench {

namespace {

constexpr int kLoadGuardMs = 60000;

QStringList Matching(const QString& folder, const QString& pattern) {
    const QRegularExpression name(QRegularExpression::anchoredPattern(pattern));
    QStringList names;
    for (const QString& entry : QDir(folder).entryList(QDir::Files))
        if (name.match(entry).hasMatch()) names.append(entry);
    QCollator collator;
    collator.setNumericMode(true);
    std::sort(names.begin(), names.end(), collator);
    return names;
}

QString Prefix(const QString& base, int channel) {
    return QString("T%1[0-9]{6}").arg(channel) + QRegularExpression::escape(base);
}

// Rows of a plain chart file: its lines that are neither empty nor header lines ("~...").
int ChartRows(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return 0;
    int rows = 0;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (!line.trimmed().isEmpty() && !line.startsWith('~')) ++rows;
    return rows;
}

} // namespace

std::optional<QJsonArray> LoadReadings(const QString& cli, const QString& folder,
                                       const QString& file, QString* why) {
    QProcess load;
    load.setWorkingDirectory(folder);
    load.setStandardErrorFile(QProcess::nullDevice());
    load.start(cli, {"load", file, "--json"});
    if (!load.waitForFinished(kLoadGuardMs)) {
        load.kill();
        load.waitForFinished();
        *why = "load did not end";
        return std::nullopt;
    }
    const QJsonObject chart = QJsonDocument::fromJson(load.readAllStandardOutput()).object();
    if (load.exitStatus() != QProcess::NormalExit || load.exitCode() != 0) {
        *why = chart["status"].toString("load failed");
        return std::nullopt;
    }
    return chart["readings"].toArray();
}

QStringList MonthlyDuplicates(const QString& folder, const QString& base, int channel) {
    return Matching(folder, Prefix(base, channel) + "(\\.zlx|_[0-9]+\\.zxl)");
}

QStringList MonthlyChartFiles(const QString& folder, const QString& base, int channel) {
    return Matching(folder, Prefix(base, channel) + "\\.csv");
}

ChannelAudit AuditChannel(const QString& cli, const QString& folder, const QString& base,
                          int channel, const QJsonArray& reference) {
    ChannelAudit audit;
    audit.channel = channel;
    audit.expected = int(reference.size());
    QHash<QString, QJsonObject> expected;
    for (const QJsonValue& r : reference)
        expected.insert(r.toObject()["time"].toString(), r.toObject());

    QHash<QString, int> copies;
    for (const QString& piece : MonthlyDuplicates(folder, base, channel)) {
        ++audit.pieces;
        QString why;
        const std::optional<QJsonArray> readings = LoadReadings(cli, folder, piece, &why);
        if (!readings) {
            audit.notLoading.append(piece + ": " + why);
            continue;
        }
        for (const QJsonValue& r : *readings) {
            const QString time = r.toObject()["time"].toString();
            if (++copies[time] > 1) ++audit.duplicated;
            const auto truth = expected.constFind(time);
            if (truth == expected.cend())
                ++audit.foreign;
            else if (*truth != r.toObject())
                ++audit.changed;
        }
    }
    for (const QString& time : expected.keys())
        if (copies.contains(time)) ++audit.found;
    audit.missing = audit.expected - audit.found;
    for (const QString& chart : MonthlyChartFiles(folder, base, channel))
        audit.csvRows += ChartRows(QDir(folder).filePath(chart));
    return audit;
}

} // namespace zantrel::bench
