#include "upload_harness.h"
#include "core/state.h"
#include "core/text_slot.h"
#include "protocol/upload_session.h"

#include "event_wait.h"

namespace zantrel {

UploadHarness::UploadHarness(const sim::LoggerConfig& config)
    : clock_(sim::dayCount(config.channels[0].firstReading) + 30),
      logger_(std::make_unique<sim::LoggerSimulator>(config)) {}

UploadHarness::~UploadHarness() {
    engine_.reset();
    logger_->stop();
}

QByteArray UploadHarness::port() const {
    return logger_->devicePath().toLocal8Bit();
}

Engine& UploadHarness::start(const QByteArray& portTail) {
    QString error;
    if (!logger_->isRunning() && !logger_->start(&error))
        qFatal("simulator: %s", qPrintable(error));
    engine_ = std::make_unique<Engine>(clock_, host_);
    TextSlot& status = engine_->state().Edit1;
    status.subscribe([this, &status] {
        const QByteArray text = status.text();
        if (!text.isEmpty() && (statuses_.isEmpty() || statuses_.last() != text))
            statuses_.append(text);
    });
    engine_->FormCreate(dir_.path(), {}, port() + portTail);
    return *engine_;
}

void UploadHarness::upload(int channel) {
    state().RadioButton1.setChecked(channel == 1);
    state().RadioButton2.setChecked(channel != 1);
    engine_->session().UploadDataClick();
}

bool UploadHarness::waitFor(const std::function<bool()>& condition, int timeoutMs) {
    return WaitForEvents(condition, timeoutMs);
}

bool UploadHarness::waitForStatus(const QByteArray& status, int timeoutMs) {
    return waitFor([&] { return state().Edit1.text() == status; }, timeoutMs);
}

bool UploadHarness::idle() const {
    const State& s = engine_->state();
    return s.UploadData.enabled() && !s.AbortUpload.enabled() && s.RadioButton1.enabled() &&
           s.RadioButton2.enabled();
}

QByteArrayList UploadHarness::blockRequests() const {
    QByteArrayList out;
    for (const auto& c : logger_->commands())
        if (c.kind == sim::CommandKind::BlockRequest) out.append(c.bytes);
    return out;
}

QByteArrayList UploadHarness::commandBytes() const {
    QByteArrayList out;
    for (const auto& c : logger_->commands())
        out.append(c.bytes);
    return out;
}

} // namespace zantrel
