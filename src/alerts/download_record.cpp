#include "alerts/download_record.h"

#include "alerts/alert.h"
#include "core/settings_files.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace zantrel {

namespace {

QJsonValue OptionalTime(const std::optional<double>& t) {
    return t ? QJsonValue(AlertTime(*t)) : QJsonValue(QJsonValue::Null);
}

} // namespace

DownloadRecord::DownloadRecord(const QByteArray& path) : path_(path) {
    read();
}

void DownloadRecord::read() {
    QFile file(QString::fromLocal8Bit(path_));
    if (!file.exists()) return;
    if (!file.open(QIODevice::ReadOnly)) {
        problem_ = path_ + " does not read (" + file.errorString().toLocal8Bit() +
                   "); downloads are counted from now.";
        return;
    }
    const QJsonObject o = QJsonDocument::fromJson(file.readAll()).object();
    const QJsonValue success = o["lastSuccess"];
    const auto lastTime = AlertTimeValue(success.toString());
    const QJsonArray runs = o["failed"].toArray();
    bool sound = (success.isNull() || lastTime) && runs.size() == 2;
    std::array<FailedRun, 2> read;
    for (int c = 0; sound && c < 2; ++c) {
        const QJsonObject run = runs[c].toObject();
        const auto first = AlertTimeValue(run["first"].toString());
        read[c].inARow = std::min(run["inARow"].toInt(-1), 2);
        read[c].first = first.value_or(0);
        sound = read[c].inARow == 0 || (read[c].inARow > 0 && first);
    }
    if (!sound) {
        problem_ =
            path_ + " does not read as a record of downloads; downloads are counted from now.";
        return;
    }
    lastSuccess = lastTime;
    failed = read;
}

bool DownloadRecord::save() {
    QJsonArray runs;
    for (const FailedRun& run : failed) {
        QJsonObject o;
        o["inARow"] = run.inARow;
        o["first"] = OptionalTime(run.inARow > 0 ? std::optional(run.first) : std::nullopt);
        runs.append(o);
    }
    QJsonObject o;
    o["lastSuccess"] = OptionalTime(lastSuccess);
    o["failed"] = runs;
    const QByteArray text = QJsonDocument(o).toJson(QJsonDocument::Compact) + "\r\n";
    if (QString error; !ReplaceFile(path_, text, &error)) {
        failure_ = "Cannot write " + path_ + ": " + error.toLocal8Bit();
        return false;
    }
    failure_.clear();
    return true;
}

} // namespace zantrel
