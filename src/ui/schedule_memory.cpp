#include "ui/schedule_memory.h"

#include "core/auto_clock.h"
#include "core/settings_files.h"
#include "core/state.h"
#include "engine/engine.h"
#include "schedule/schedule_menu.h"

#include <QFile>

namespace zantrel {

namespace {

constexpr const char* kInterval = "~Interval: ";
constexpr const char* kChannels = "~Channels: ";
constexpr const char* kFile = "~File: ";

QByteArray Setting(const QByteArray& text, const char* name) {
    for (const QByteArray& line : text.split('\n'))
        if (line.startsWith(name)) return line.mid(qstrlen(name)).trimmed();
    return {};
}

} // namespace

ScheduleMemory::ScheduleMemory(Engine& engine) : engine_(engine) {
    State& s = engine_.state();
    s.Edit2.subscribe([this, &s] {
        const QByteArray file = s.Edit2.text();
        if (!s.AutoOff.checked() && !file.isEmpty() && file != "0") save(true);
    });
    s.AutoOff.subscribe([this, &s] {
        if (s.AutoOff.checked()) save(false);
    });
}

QByteArray ScheduleMemory::path() const {
    return SettingsPath(engine_.state().ThisAppDir.text(), kScheduleFile);
}

void ScheduleMemory::save(bool on) {
    if (resuming_) return;
    const State& s = engine_.state();
    QByteArray interval = "Off";
    if (on)
        for (const Control* item : engine_.scheduleMenu().intervals())
            if (item->checked()) interval = item->text();
    if (on && interval == "Off") return;
    QByteArray channels = s.C1.checked() ? "1" : "";
    if (s.C2.checked()) channels += channels.isEmpty() ? "2" : ",2";
    const QByteArray text = kInterval + interval + "\r\n" + kChannels + channels + "\r\n" + kFile +
                            (on ? s.Edit2.text() : QByteArray()) + "\r\n";
    ReplaceFile(path(), text);
}

void ScheduleMemory::resume() {
    QFile file(QString::fromLocal8Bit(path()));
    if (!file.open(QIODevice::ReadOnly)) return;
    const QByteArray text = file.readAll();
    const QByteArray interval = Setting(text, kInterval);
    const QByteArray channels = Setting(text, kChannels);
    const QByteArray base = Setting(text, kFile);
    Control* chosen = nullptr;
    for (Control* item : engine_.scheduleMenu().intervals())
        if (item->text() == interval) chosen = item;
    const bool channel1 = channels.split(',').contains("1");
    const bool channel2 = channels.split(',').contains("2");
    if (!chosen || base.isEmpty() || (!channel1 && !channel2)) return;

    State& s = engine_.state();
    resuming_ = true;
    s.C1.setChecked(channel1);
    s.C2.setChecked(channel2);
    for (Control* item : engine_.scheduleMenu().intervals()) {
        item->setEnabled(true);
        item->setChecked(item == chosen);
    }
    s.AutoOff.setChecked(false);
    s.Edit2.setText(base);
    SetAutoClock(s, engine_.clock(), 0);
    s.TextForNextAuto.setVisible(true);
    s.AutoClockBox.setVisible(true);
    resuming_ = false;
}

} // namespace zantrel
