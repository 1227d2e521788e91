#include "cli/headless_engine.h"
#include "core/control.h"
#include "core/state.h"
#include "core/text_slot.h"
#include "files/chart_file_loader.h"
#include "files/user_info_dialogs.h"
#include "link/serial_link.h"
#include "protocol/upload_session.h"
#include "schedule/schedule_menu.h"

#include "cli/cli.h"
#include "core/clock.h"
#include "protocol/logger_reader_loop.h"

#include <QCoreApplication>
#include <QTimer>

namespace zantrel {

namespace {
// How often the wait looks at the watchdog and the interrupt request when nothing happens.
constexpr int kWakeMs = 100;
constexpr const char* kBothFilesSaved = "Data file and encrypted duplicate (*.zlx) saved.";
// Interrupts abort the upload while it runs.
class InterruptWatch {
  public:
    explicit InterruptWatch(InterruptRequest* request) : request_(request) {
        if (request_) request_->watched = true;
    }
    ~InterruptWatch() {
        if (request_) request_->watched = false;
    }
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

  private:
    InterruptRequest* request_;
};

} // namespace

HeadlessEngine::HeadlessEngine(CliContext& context, const QByteArray& port)
    : context_(context), host_(context.err), engine_(context.clock, host_, ChartPauses::Skip) {
    TextSlot& status = engine_.state().Edit1;
    status.subscribe([this, &status] {
        const QByteArray text = status.text();
        if (!echoing_ || text.isEmpty()) return;
        context_.err.write(text.constData(), text.size());
        context_.err << std::endl;
    });
    engine_.FormCreate(context.folder, {}, port);
}

// The engine's own reset on destruction is not a status of the job.
HeadlessEngine::~HeadlessEngine() {
    echoing_ = false;
}

QByteArray HeadlessEngine::status() const {
    return engine_.state().Edit1.text();
}

void HeadlessEngine::reportPortNotOpen() {
    QByteArray line = "zantrel-cli: the port " + engine_.state().COMPORT.text() + " is not open.";
    if (const QByteArray& why = engine_.link().openFailure(); !why.isEmpty()) line += ' ' + why;
    printLine(line);
}

void HeadlessEngine::printLine(const QByteArray& line) {
    context_.err.write(line.constData(), line.size());
    context_.err << std::endl;
}

bool HeadlessEngine::idle() const {
    const State& s = engine_.state();
    return s.UploadData.enabled() && !s.AbortUpload.enabled();
}

// Outside these phases the reader reports no time-out, and the window leaves the upload
// waiting for its user (a refused speed switch, for one).
bool HeadlessEngine::stalled() const {
    const State& s = engine_.state();
    const bool watched = s.Errorindata.checked() || s.Startloadingdata.checked() ||
                         s.Startloadingheader.checked() || s.WaitOnFastAck.checked();
    return !watched && context_.clock.steadySeconds() > s.Watchdog.steady() + kWatchdogSeconds;
}

void HeadlessEngine::abort(const char* reason) {
    context_.err << "zantrel-cli: " << reason << std::endl;
    engine_.session().AbortUploadClick();
}

// As "Abort Upload", but the tool's own decision: the status line's "UPLOAD ABORTED BY USER"
// would tell of a user who did nothing, so the reason is the last line instead.
void HeadlessEngine::endStalledUpload() {
    echoing_ = false;
    engine_.session().AbortUploadClick();
    echoing_ = true;
    printLine("zantrel-cli: the logger did not answer as expected for " +
              QByteArray::number(kWatchdogSeconds) + " seconds; zantrel-cli ended the upload.");
}

bool HeadlessEngine::upload() {
    engine_.session().UploadDataClick();
    QTimer wake;
    wake.start(kWakeMs);
    InterruptWatch watch(context_.interrupt);
    // Looked at between events, so whatever a handler chain sends is sent before the end.
    while (!idle()) {
        if (!portOpen()) {
            reportPortNotOpen();
            return false;
        }
        if (context_.interrupt && context_.interrupt->raised.load()) {
            abort("interrupted.");
            break;
        }
        if (stalled()) {
            endStalledUpload();
            break;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return engine_.state().DataLoaded.checked() && status() == "DATA LOADED";
}

bool HeadlessEngine::saveChart(const QByteArray& path) {
    host_.savePath = path;
    UserInfoDialogs& dialogs = engine_.userInfo();
    dialogs.SavedataClick();
    dialogs.continueWithStoredInformation();
    return status() == kBothFilesSaved;
}

void HeadlessEngine::chooseAutoDownload(Control& interval, const QByteArray& base) {
    host_.savePath = base;
    engine_.scheduleMenu().IntervalClick(interval);
    engine_.userInfo().continueWithStoredInformation();
}

// A lost port is tried again by the engine itself; only an upload under way ("Abort Upload"
// enabled) is aborted, never the idle time between downloads.
bool HeadlessEngine::runUntil(const std::function<bool()>& done) {
    QTimer wake;
    wake.start(kWakeMs);
    InterruptWatch watch(context_.interrupt);
    const State& s = engine_.state();
    while (!done()) {
        if (context_.interrupt && context_.interrupt->raised.load()) {
            if (s.AbortUpload.enabled()) abort("interrupted.");
            return false;
        }
        if (s.AbortUpload.enabled() && stalled())
            abort("nothing arrived from the logger for 20 seconds.");
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

bool HeadlessEngine::loadChart(const QByteArray& path) {
    host_.openPath = path;
    engine_.loader().LoaddataClick();
    // "Cannot open file." is followed by the system's reason.
    if (const QByteArray& why = engine_.loader().openFailure(); !why.isEmpty()) printLine(why);
    return status() == "File loaded.";
}

bool HeadlessEngine::loadCharts(const QList<QByteArray>& paths) {
    if (paths.size() == 1) return loadChart(paths.front());
    engine_.loader().loadChartFiles(paths);
    return status() == "File loaded.";
}

} // namespace zantrel
