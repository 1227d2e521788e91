#pragma once

#include "logger_harness.h"

namespace zantrel {

// The logger harness for uploads by hand; the clock starts 30 days after the first reading.
class UploadHarness : public LoggerHarness {
  public:
    explicit UploadHarness(const sim::LoggerConfig& config);

    // Starts the logger and the engine on the logger's device; `portTail` is appended to
    // the device path (":38400", for example).
    Engine& start(const QByteArray& portTail = {});
    QByteArray port() const;
    // Presses "Upload Data" for a channel.
    void upload(int channel = 1);
};

} // namespace zantrel
