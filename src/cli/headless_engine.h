#pragma once

#include "cli/cli_host.h"
#include "core/control.h"
#include "engine/engine.h"
#include "link/serial_link.h"

#include <QByteArray>
#include <QList>
#include <functional>

namespace zantrel {

struct CliContext;

// The engine driven without its window: started as the window starts, with every status
// text printed as it appears and the dialogs answered by CliHost. Without a chart it skips the
// pauses that only let a chart repaint.
class HeadlessEngine {
  public:
    // Starts on the port given, for this run only (COMPORT.DAT is neither read nor
    // written); "NA" opens no port at all.
    HeadlessEngine(CliContext& context, const QByteArray& port);
    ~HeadlessEngine();
    HeadlessEngine(const HeadlessEngine&) = delete;
    HeadlessEngine& operator=(const HeadlessEngine&) = delete;

    Engine& engine() { return engine_; }
    State& state() { return engine_.state(); }
    QByteArray status() const;
    bool portOpen() { return engine_.link().isOpen(); }
    // Says that the port is not open and why.
    void reportPortNotOpen();

    // "Upload Data" and the event loop until the upload is back at idle. Where the window
    // would wait for its user, the upload is ended as "Abort Upload" would: the logger did
    // not answer as expected for the watchdog's time outside the phases the reader watches,
    // or an interrupt. A port that is not open ends the wait at once. True on "DATA LOADED".
    bool upload();
    // "Save Chart" with the path chosen and the verification answered "Continue" with the
    // stored user information unchanged; true when the chart file and its duplicate were
    // both written.
    bool saveChart(const QByteArray& path);
    // "Load Chart" with the path chosen; true on "File loaded.".
    bool loadChart(const QByteArray& path);
    // One path as loadChart; several loaded as one chart by ChartFileLoader::loadChartFiles,
    // whose status names any file that fails. True on "File loaded.".
    bool loadCharts(const QList<QByteArray>& paths);
    // The Auto Download menu's interval chosen, the verification answered "Continue" with the
    // stored user information unchanged and base chosen as the monthly files' path: the
    // first download is due at once.
    void chooseAutoDownload(Control& interval, const QByteArray& base);
    // Runs the event loop until done() holds. An upload under way that stalls where the window
    // would wait for its user is aborted; an interrupt aborts it too and ends the wait. A port
    // lost is tried again by the engine. False when interrupted.
    bool runUntil(const std::function<bool()>& done);

  private:
    bool idle() const;
    bool stalled() const;
    void abort(const char* reason);
    void endStalledUpload();
    void printLine(const QByteArray& line);

    CliContext& context_;
    CliHost host_;
    bool echoing_ = true;
    Engine engine_;
};

} // namespace zantrel
