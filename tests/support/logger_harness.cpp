#include "logger_harness.h"
#include "core/state.h"
#include "core/text_slot.h"

#include "event_wait.h"

namespace zantrel {

LoggerHarness::LoggerHarness(const sim::LoggerConfig& config, double clockStart)
    : clock_(clockStart), logger_(std::make_unique<sim::LoggerSimulator>(config)) {}

LoggerHarness::~LoggerHarness() {
    engine_.reset();
    logger_->stop();
}

void LoggerHarness::startLogger() {
    QString error;
    if (!logger_->isRunning() && !logger_->start(&error))
        qFatal("simulator: %s", qPrintable(error));
    clock_.setRealTimePolls(logger_->config().paced);
}

Engine& LoggerHarness::startEngine(const QByteArray& port,
                                   const std::function<void(Engine&)>& wire) {
    engine_.reset();
    engine_ = std::make_unique<Engine>(clock_, host_);
    statuses_.clear();
    TextSlot& status = engine_->state().Edit1;
    status.subscribe([this, &status] {
        const QByteArray text = status.text();
        if (!text.isEmpty() && (statuses_.isEmpty() || statuses_.last() != text))
            statuses_.append(text);
    });
    if (wire) wire(*engine_);
    engine_->FormCreate(dir_.path(), {}, port);
    return *engine_;
}

bool LoggerHarness::waitFor(const std::function<bool()>& condition, int timeoutMs) {
    return WaitForEvents(condition, timeoutMs);
}

bool LoggerHarness::waitForStatus(const QByteArray& status, int timeoutMs) {
    return waitFor([&] { return state().Edit1.text() == status; }, timeoutMs);
}

bool LoggerHarness::idle() const {
    const State& s = engine_->state();
    return s.UploadData.enabled() && !s.AbortUpload.enabled() && s.RadioButton1.enabled() &&
           s.RadioButton2.enabled();
}

QByteArrayList LoggerHarness::commandBytes() const {
    QByteArrayList out;
    for (const auto& c : logger_->commands())
        out.append(c.bytes);
    return out;
}

QByteArrayList LoggerHarness::blockRequests() const {
    QByteArrayList out;
    for (const auto& c : logger_->commands())
        if (c.kind == sim::CommandKind::BlockRequest) out.append(c.bytes);
    return out;
}

} // namespace zantrel
