#include "schedule/auto_download.h"

#include "chart/readings_store.h"
#include "core/calendar.h"
#include "core/clock.h"
#include "core/host.h"
#include "core/sample_rate.h"
#include "core/state.h"
#include "core/user_info.h"
#include "link/port_text.h"
#include "link/serial_link.h"
#include "protocol/upload_blocks.h"

#include <QScopedValueRollback>
#include <utility>

namespace zantrel {

namespace {

constexpr const char* kInitiated = "AUTOLOAD INITIATED... LOADING HEADER DATA...";
constexpr const char* kInProgress = "AUTOLOAD IN PROGRESS...";
constexpr const char* kPortNotOpen =
    "SERIAL PORT LOST. UPLOAD CANCELLED. Reconnect the logger and press Upload Data.";
constexpr const char* kEndFastSession = "BD00000000";
// The logger's own fast session ends after 5 seconds of silence; 6 seconds make sure.
constexpr int kFastSessionEndMs = 6000;
constexpr int kReopenMs = 100;

bool HasFile(const QByteArray& path) {
    return !path.isEmpty() && path != "0";
}

} // namespace

AutoDownload::AutoDownload(State& state, const ReadingsStore& readings, SerialLink& link,
                           Clock& clock, Host& host)
    : state_(state), readings_(readings), link_(link), clock_(clock), host_(host) {
    state_.AbortUpload.subscribe([this] { uploadControlsChanged(); });
    // Runs just before the handler of Errorindata clears InitAutoload.
    state_.Errorindata.subscribe([this] {
        if (state_.InitAutoload.checked()) clearedByError_ = true;
    });
}

// "Abort Upload" is enabled exactly while an upload runs. The phase flags are not enough: a
// time-out or a lost port leaves them as they were, and a pending speed switch has none.
bool AutoDownload::uploadUnderWay() const {
    return state_.AbortUpload.enabled();
}

void AutoDownload::InitAutoloadClick() {
    State& s = state_;
    const bool byError = std::exchange(clearedByError_, false);
    if (starting_) return;
    if (!s.InitAutoload.checked()) {
        initAutoloadCleared(byError);
        return;
    }
    if (!s.Errorindata.checked() && !s.DataLoaded.checked() && uploadUnderWay()) {
        // An upload started by hand is under way: the download runs when it ends. Until
        // then that upload is not an automatic one: it keeps the user's range and channel,
        // and its readings stay out of the monthly files.
        if (!automatic_) {
            deferred_ = true;
            QScopedValueRollback keep(starting_, true);
            s.InitAutoload.clear();
        }
        return;
    }
    startSession();
    if (!link_.isOpen()) {
        // No reader runs on a port that did not open: nothing else would end the download.
        s.Edit1.setText(kPortNotOpen);
        s.restoreIdleControls();
        return;
    }
    s.Edit1.setText(kInitiated);
    host_.repaint();
    SetTrayTip(kInitiated);
    link_.SendByte('?');
    s.Edit1.setText(kInProgress);
    SetTrayTip(kInProgress);
}

void AutoDownload::startSession() {
    State& s = state_;
    QScopedValueRollback starting(starting_, true);
    deferred_ = false;
    upToDate_ = false;
    s.DataLoaded.clear();
    if (ClearBuffer) ClearBuffer();
    // The reset clears an error left by the last upload, and with it InitAutoload: this
    // download is still an automatic one.
    s.InitAutoload.tick();
    s.upload_range_group.setValue(RangeAllData);
    s.UploadData.setEnabled(false);
    s.AbortUpload.setEnabled(true);
    s.RadioButton1.setEnabled(false);
    s.RadioButton2.setEnabled(false);
    automatic_ = true;
    s.Startloadingheader.tick();
    // As "Upload Data" does: the port afresh at 19200 whatever the last session left it at,
    // and nothing of an earlier reply left on the line.
    link_.COMPORTChange();
}

// A data error clears InitAutoload; one that the reader retries leaves the download running,
// and InitAutoload ticked so that the schedule still sees it. One that ends the upload ends
// the download when the upload controls return (uploadControlsChanged). Cleared otherwise
// ("Off", both channels unchecked), the upload goes on as one started by hand.
void AutoDownload::initAutoloadCleared(bool byError) {
    if (!automatic_) return;
    if (byError && uploadUnderWay()) {
        QScopedValueRollback keep(starting_, true);
        state_.InitAutoload.tick();
    } else if (!byError) {
        automatic_ = false;
    }
}

void AutoDownload::uploadControlsChanged() {
    State& s = state_;
    if (starting_ || s.AbortUpload.enabled() || s.Edit1.text() == "DATA LOADED") return;
    if (automatic_ && upToDate_) {
        // Nothing to fetch (the logger stores less often than it is downloaded): the
        // download is done, and channel 2 follows as after stored rows.
        automatic_ = false;
        s.InitAutoload.clear();
        const int channel = s.RadioButton1.checked() ? 1 : 2;
        s.Edit1.setText("No new readings since the last download.");
        tipResult();
        if (downloadStored) downloadStored(channel, true);
        if (channel == 1 && s.C2.checked()) followWithChannel2();
        return;
    }
    // The upload ended without its readings: a time-out, a lost port, an abort.
    if (automatic_) {
        automatic_ = false;
        s.InitAutoload.clear();
        tipResult();
        if (downloadStored) downloadStored(s.RadioButton1.checked() ? 1 : 2, false);
    }
    if (deferred_) makeDueNow();
}

// The download that fell due during an upload by hand runs at the reader's next pass.
void AutoDownload::makeDueNow() {
    deferred_ = false;
    state_.AutoClockTime = clock_.steadySeconds();
}

double AutoDownload::ResumeTimeFromMonthlyFiles(double first, double last) {
    const State& s = state_;
    if (!HasFile(s.Edit2.text())) return first;
    bool ok = false;
    const double rate = s.Samplesperhour.text().toDouble(&ok);
    const auto today = DecodeDateTime(clock_.now());
    const double resume = MonthlyFiles::ResumeTimeFromMonthlyFiles(
        s.Edit2.text(), s.RadioButton1.checked() ? 1 : 2, first, last,
        ok ? IntervalFromSamplesPerHour(rate) : 0, today ? today->year : 2000);
    upToDate_ = resume > last + kOneSecond / 2;
    return resume;
}

void AutoDownload::DataLoadedClick() {
    State& s = state_;
    bool stored = true;
    if (s.DataLoaded.checked() && s.InitAutoload.checked()) {
        automatic_ = false;
        const int channel = s.RadioButton1.checked() ? 1 : 2;
        s.InitAutoload.clear();
        s.CaptionSuffix = channel == 1 ? "Channel 1" : "Channel 2";
        storeReadings(channel);
        stored = s.Edit1.text() == "File saved.";
        if (channel == 1 && s.C2.checked()) followWithChannel2();
    } else if (s.DataLoaded.checked() && deferred_) {
        // The upload by hand that was running when the download fell due has its readings.
        makeDueNow();
    }
    // A channel-2 download that follows tells its own progress.
    if (s.InitAutoload.checked()) return;
    // The tip tells the last result and when the next download is due, also while the
    // window is hidden.
    if (stored)
        tipResult("Zantrel charting application, " + PortName(s.COMPORT.text()) + ". ");
    else
        tipResult();
}

void AutoDownload::tipResult(const QByteArray& prefix) {
    QByteArray tip = prefix + state_.Edit1.text();
    if (!state_.AutoOff.checked()) tip += " Next Auto Download: " + state_.AutoClock.text();
    SetTrayTip(tip);
}

void AutoDownload::storeReadings(int channel) {
    State& s = state_;
    bool ok = false;
    const double rate = s.Samplesperhour.text().toDouble(&ok);
    MonthlyDownload download;
    download.base = s.Edit2.text();
    download.channel = channel;
    download.start = RoundToSecond(PickerDateTime(s.Startdate, s.Starttime));
    download.interval = ok ? IntervalFromSamplesPerHour(rate) : 0;
    download.humidity = s.RHZL.checked();
    download.dateFormat = s.DATEFORMAT.text();
    download.userBlock =
        ComposeUserInformation(s.UserName, s.UserLocation, s.UnitId, s.SoftwareVersion);
    download.unitId = s.UnitId;
    download.now = clock_.now();
    const MonthlyAppend result = files_.append(download, readings_);
    if (!result.saved) {
        s.Edit1.setText(result.failure);
    } else {
        const QByteArrayList files = result.files.isEmpty()
                                         ? QByteArrayList{MonthlyFiles::MonthlyFileName(
                                               download.base, channel, download.start)}
                                         : result.files;
        const auto showCaption = [&s](const QByteArray& file) {
            s.Caption.setText(s.BaseCaption + " | " + file + " | " + s.CaptionSuffix);
        };
        for (qsizetype i = 1; i < files.size(); ++i) {
            showCaption(files[i]);
            s.Edit1.setText("File saved. Starting new file...");
        }
        showCaption(files.last());
        s.Edit1.setText("File saved.");
    }
    if (downloadStored) downloadStored(channel, result.saved);
}

// Channel 2 starts at the normal speed: a fast session of channel 1 is ended first.
void AutoDownload::followWithChannel2() {
    State& s = state_;
    if (s.LoggerVersion == 2 && FastBaudFromPort(s.COMPORT.text()) != "19200") {
        s.Memo5.clear();
        if (s.FastBaud.checked()) {
            for (char c : QByteArray(kEndFastSession))
                link_.SendByte(static_cast<unsigned char>(c));
            s.FastBaud.clear();
        }
        clock_.sleep(kFastSessionEndMs);
        s.WaitOnFastAck.tick();
        link_.COMPORTChange();
        clock_.sleep(kReopenMs);
        s.WaitOnFastAck.clear();
    }
    s.RadioButton1.setChecked(false);
    s.RadioButton2.setChecked(true);
    s.InitAutoload.tick();
}

void AutoDownload::SetTrayTip(const QByteArray& text) {
    host_.setTrayTip(text);
}

} // namespace zantrel
