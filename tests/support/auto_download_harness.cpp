#include "auto_download_harness.h"
#include "chart/readings_store.h"
#include "core/control.h"
#include "core/state.h"
#include "files/chart_file_loader.h"
#include "files/user_info_dialogs.h"
#include "link/serial_link.h"
#include "schedule/auto_download.h"
#include "schedule/schedule_menu.h"

#include <cmath>

namespace zantrel {

namespace {

double AfterNewest(const sim::LoggerConfig& config) {
    double newest = 0;
    for (const sim::ChannelConfig& c : config.channels)
        newest = std::max(newest, sim::dayCount(c.firstReading) +
                                      double(c.readingCount) * c.storagePeriodSeconds / 86400.0);
    return newest + 60 / 86400.0;
}

} // namespace

QDateTime MarchMorning() {
    return sim::wallTime(2026, 3, 30, 8, 7, 30);
}

Engine& StartChannel1(AutoDownloadHarness& h) {
    Engine& engine = h.start();
    engine.scheduleMenu().ChannelClick(h.state().C2);
    return engine;
}

void MakeDue(AutoDownloadHarness& h) {
    const double toDue = h.state().AutoClockTime.load() - h.clock().steadySeconds();
    h.clock().advanceMs(std::llround((std::max(toDue, 0.0) + 60) * 1000));
}

sim::LoggerConfig GridLogger(const QDateTime& first, int readings, int period) {
    sim::LoggerConfig config;
    for (sim::ChannelConfig& c : config.channels) {
        c.readingCount = readings;
        c.storagePeriodSeconds = period;
        c.firstReading = first;
    }
    config.channels[0].kind = sim::ChannelKind::TemperatureRh;
    config.channels[1].seed = 7;
    return config;
}

std::vector<double> LoggerTimes(const sim::LoggerSimulator& logger, int channel) {
    std::vector<double> times;
    for (const sim::StoredReading& r : logger.channel(channel).readings())
        times.push_back(sim::dayCount(r.time));
    return times;
}

bool SameTimes(const std::vector<double>& a, const std::vector<double>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::llround(a[i] * 86400) != std::llround(b[i] * 86400)) return false;
    return true;
}

AutoDownloadHarness::AutoDownloadHarness(const sim::LoggerConfig& config)
    : LoggerHarness(config, AfterNewest(config)) {
    startLogger();
}

Engine& AutoDownloadHarness::start() {
    return start(logger_->devicePath().toLocal8Bit());
}

Engine& AutoDownloadHarness::start(const QByteArray& port) {
    return startEngine(port, [this](Engine& engine) {
        engine.autoDownload().downloadStored = [this](int channel, bool stored) {
            downloads_.emplace_back(channel, stored);
        };
    });
}

void AutoDownloadHarness::replaceLogger(const sim::LoggerConfig& config) {
    logger_->stop();
    logger_ = std::make_unique<sim::LoggerSimulator>(config);
    startLogger();
    const double after = AfterNewest(config);
    if (clock_.now() < after) clock_.setNow(after);
    if (!engine_) return;
    // A new pseudo-terminal may get the number of the old one: opened again all the same.
    const QByteArray port = logger_->devicePath().toLocal8Bit();
    if (engine_->state().COMPORT.text() == port)
        engine_->link().COMPORTChange();
    else
        engine_->state().COMPORT.setText(port);
}

void AutoDownloadHarness::arm(Control& interval, const QByteArray& file) {
    host_.savePath = file.isEmpty() ? std::nullopt : std::optional<QByteArray>(path(file));
    engine_->scheduleMenu().IntervalClick(interval);
    engine_->userInfo().Button1Click(state().Form5);
}

bool AutoDownloadHarness::waitForDownloads(int count) {
    awaited_ += count;
    return waitFor([this] {
        const State& s = engine_->state();
        return downloads_.size() >= awaited_ && !s.InitAutoload.checked() &&
               s.UploadData.enabled() && !s.AbortUpload.enabled();
    });
}

std::vector<double> AutoDownloadHarness::loadTimes(const QString& name) {
    engine_->loader().LoadChartFile(path(name));
    if (state().Edit1.text() != "File loaded.") return {};
    return engine_->readings().ReadingTimes;
}

} // namespace zantrel
