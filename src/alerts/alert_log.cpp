#include "alerts/alert_log.h"

#include <QFile>
#include <QJsonDocument>
#include <algorithm>
#include <pwd.h>
#include <unistd.h>

namespace zantrel {

namespace {

constexpr const char* kAcknowledges = "acknowledges";

} // namespace

AlertLog::AlertLog(const QByteArray& path) : path_(path) {
    read();
}

void AlertLog::read() {
    QFile file(QString::fromLocal8Bit(path_));
    if (!file.open(QIODevice::ReadOnly)) return;
    const QByteArrayList lines = file.readAll().split('\n');
    for (const QByteArray& raw : lines) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty()) continue;
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        if (o.contains(kAcknowledges)) {
            const QByteArray id = o[kAcknowledges].toString().toLatin1();
            auto it = std::find_if(alerts_.begin(), alerts_.end(),
                                   [&id](const LoggedAlert& a) { return a.alert.id == id; });
            const auto at = AlertTimeValue(o["at"].toString());
            if (it == alerts_.end() || !at) {
                ++unreadable_;
                continue;
            }
            it->acknowledged = Acknowledgement{o["by"].toString().toLatin1(), *at,
                                               o["comment"].toString().toLatin1()};
        } else if (auto alert = Alert::fromJson(o)) {
            if (!contains(alert->id)) alerts_.push_back({*alert, std::nullopt});
        } else {
            ++unreadable_;
        }
    }
}

const LoggedAlert* AlertLog::find(const QByteArray& id) const {
    for (const LoggedAlert& a : alerts_)
        if (a.alert.id == id) return &a;
    return nullptr;
}

bool AlertLog::appendLine(const QJsonObject& object) {
    QFile file(QString::fromLocal8Bit(path_));
    const QByteArray line = QJsonDocument(object).toJson(QJsonDocument::Compact) + "\r\n";
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append) || file.write(line) != line.size() ||
        !file.flush() || ::fsync(file.handle()) != 0) {
        failure_ = "Cannot write " + path_ + ": " + file.errorString().toLocal8Bit();
        return false;
    }
    failure_.clear();
    return true;
}

bool AlertLog::append(const Alert& alert) {
    alerts_.push_back({alert, std::nullopt});
    return appendLine(alert.toJson());
}

bool AlertLog::acknowledge(const QByteArray& id, const Acknowledgement& acknowledgement) {
    auto it = std::find_if(alerts_.begin(), alerts_.end(),
                           [&id](const LoggedAlert& a) { return a.alert.id == id; });
    if (it == alerts_.end()) {
        failure_ = "No alert " + id + ".";
        return false;
    }
    QJsonObject o;
    o[kAcknowledges] = QString::fromLatin1(id);
    o["by"] = QString::fromLatin1(acknowledgement.by);
    o["at"] = AlertTime(acknowledgement.at);
    o["comment"] = QString::fromLatin1(acknowledgement.comment);
    if (!appendLine(o)) return false;
    it->acknowledged = acknowledgement;
    return true;
}

QByteArray LoginName() {
    if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_name) return pw->pw_name;
    return qgetenv("USER");
}

} // namespace zantrel
