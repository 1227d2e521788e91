#include "upload_harness.h"
#include "core/state.h"
#include "protocol/upload_session.h"

namespace zantrel {

UploadHarness::UploadHarness(const sim::LoggerConfig& config)
    : LoggerHarness(config, sim::dayCount(config.channels[0].firstReading) + 30) {}

QByteArray UploadHarness::port() const {
    return logger_->devicePath().toLocal8Bit();
}

Engine& UploadHarness::start(const QByteArray& portTail) {
    startLogger();
    return startEngine(port() + portTail);
}

void UploadHarness::upload(int channel) {
    state().RadioButton1.setChecked(channel == 1);
    state().RadioButton2.setChecked(channel != 1);
    engine_->session().UploadDataClick();
}

} // namespace zantrel
