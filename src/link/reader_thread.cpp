#include "link/reader_thread.h"

#include "app/clock.h"
#include "app/date_time.h"
#include "app/handoff_queue.h"
#include "app/state.h"
#include "link/header_completeness.h"
#include "link/serial_link.h"

#include <sys/eventfd.h>
#include <unistd.h>

namespace zantrel {

namespace {
constexpr int kReadTimeoutMs = 1000;
constexpr int kRetryWaitMs = 2000;
constexpr double kWatchdogDays = kWatchdogSeconds / 86400.0;
constexpr int kMaxRetries = 3;
constexpr char kHexDigits[] = "0123456789ABCDEF";
} // namespace

TRead::TRead(SerialLink& link)
    : link_(link), state_(link.state()), clock_(link.clock()),
      wakeFd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

TRead::~TRead() {
    requestStop();
    if (thread_.joinable()) thread_.join();
    if (wakeFd_ >= 0) ::close(wakeFd_);
}

void TRead::start() { thread_ = std::thread([this] { Execute(); }); }

void TRead::requestStop() {
    stop_ = true;
    if (wakeFd_ >= 0) {
        const uint64_t one = 1;
        [[maybe_unused]] auto written = ::write(wakeFd_, &one, sizeof one);
    }
    link_.handoffs().wakeWaiters();
}

bool TRead::handoff(const std::function<void()>& fn) {
    return link_.handoffs().run(this, fn, stop_) && !stopping();
}

void TRead::Execute() {
    if (!handoff([this] { InitLineCount(); })) return;
    while (!stopping()) {
        if (!state_.AutoOff.checked() && clock_.now() >= state_.AutoClockTime.load() &&
            !state_.InitAutoload.checked() && !handoff([this] { AutoScheduleTick(); }))
            return;
        if (!state_.Startloadingdata.checked()) RetryCount = 0;
        if (RetryCount >= kMaxRetries && state_.Errorindata.checked() &&
            !handoff([this] { CancelUpload(); }))
            return;
        if (RetryCount < kMaxRetries && state_.Errorindata.checked() &&
            state_.Startloadingdata.checked()) {
            // The pause before a retry is the reader's: the window stays responsive, and
            // whatever is left of the corrupt packet is read and dropped meanwhile.
            if (!waitFor(kRetryWaitMs)) return;
            ++RetryCount;
            if (!lost_ && !handoff([this] { RetryData(); })) return;
        }
        if (clock_.now() > state_.Watchdog.value() + kWatchdogDays &&
            !handoff([this] { ReportTimeout(); }))
            return;
        if (lost_) {
            handoff([this] { PortLost(); });
            return;
        }

        const int requested = readSize();
        RxRead = readPort(requested);
        if (stopping()) return;
        frame();
        if (!RxText.isEmpty()) {
            if (state_.Startloadingheader.checked()) {
                if (detectVersion() && !handoff([this, requested] { ReceiveHeader(requested); }))
                    return;
            } else if (state_.Startloadingdata.checked() || state_.WaitOnFastAck.checked()) {
                if (!handoff([this] { ReceiveData(); })) return;
            } else if (!handoff([this] { ReceiveIdle(); })) {
                return;
            }
        } else if (headerEndPending_) {
            // The line went quiet after the 26th line feed: a temperature-only header.
            headerEndPending_ = false;
            if (state_.Startloadingheader.checked() && !state_.Headerloaded.checked() &&
                !handoff([this] { FinishVersion1Header(false); }))
                return;
        }
        if (state_.Memo2.isEmpty() || (state_.LoggerVersion == 1 && HeaderLineCount > 38) ||
            state_.Errorindata.checked())
            HeaderLineCount = 0;
    }
}

int TRead::readSize() const {
    if (state_.Startloadingheader.checked()) return 50;
    if (state_.Startloadingdata.checked()) return state_.WaitingForAck.checked() ? 1 : 50;
    return 1;
}

int TRead::readPort(int maxBytes) {
    const ReadResult r =
        link_.port().read(RxRaw, maxBytes, kReadTimeoutMs, wakeFd_, clock_);
    if (r.status == ReadResult::DeviceLost) lost_ = true;
    return r.count;
}

bool TRead::waitFor(int ms) {
    const double end = clock_.now() + ms / 86400000.0;
    while (!stopping() && !lost_) {
        const int remaining = static_cast<int>((end - clock_.now()) * 86400000.0 + 0.5);
        if (remaining <= 0) break;
        const ReadResult r = link_.port().read(RxRaw, sizeof RxRaw, remaining, wakeFd_, clock_);
        if (r.status == ReadResult::DeviceLost) lost_ = true;
    }
    return !stopping();
}

void TRead::frame() {
    RxText.clear();
    const bool unescape = state_.LoggerVersion == 2 &&
                          (state_.Startloadingdata.checked() || state_.WaitOnFastAck.checked());
    for (int i = 0; i < RxRead; ++i) {
        const char byte = RxRaw[i];
        if (!unescape) {
            RxText += byte;
        } else if (EscapePending) {
            RxText += byte;
            EscapePending = false;
        } else if (byte == '\\') {
            EscapePending = true;
        } else {
            RxText += byte;
        }
    }
    if (RxRead > 0) headerEndPending_ = false;
}

bool TRead::detectVersion() {
    if (state_.LoggerVersion != -1 || HeaderLineCount != 0) return true;
    for (int tries = 0; tries < 5 && RxText.size() < 2 && !stopping() && !lost_; ++tries) {
        char byte;
        const ReadResult r = link_.port().read(&byte, 1, kReadTimeoutMs, wakeFd_, clock_);
        if (r.status == ReadResult::DeviceLost) lost_ = true;
        if (r.count == 1) RxText += byte;
    }
    return RxText.size() >= 2;
}

void TRead::InitLineCount() { HeaderLineCount = 0; }

void TRead::AutoScheduleTick() {
    struct Interval {
        const Control* item;
        double days;
    };
    const Interval intervals[] = {{&state_.Auto1hour, 1.0 / 24}, {&state_.Auto4hours, 4.0 / 24},
                                  {&state_.Auto8hrs, 8.0 / 24},  {&state_.Auto24hrs, 1},
                                  {&state_.Auto7day, 7},         {&state_.Auto30day, 30}};
    for (const Interval& interval : intervals) {
        if (!interval.item->checked()) continue;
        const double next = clock_.now() + interval.days;
        state_.AutoClockTime = next;
        state_.AutoClock.setText(FormatDateTimeDefault(next, link_.formats()));
    }
    const QByteArray file = state_.Edit2.text();
    if (!file.isEmpty() && file != "0") state_.InitAutoload.tick();
    const bool channel1 = state_.C1.checked();
    state_.RadioButton1.setChecked(channel1);
    state_.RadioButton2.setChecked(!channel1);
}

void TRead::CancelUpload() {
    state_.Edit1.setText("UPLOAD CANCELLED DUE TO CORRUPT DATA OR SERIAL PORT TIMEOUT.");
    state_.UploadData.setEnabled(true);
    state_.AbortUpload.setEnabled(false);
    state_.RadioButton1.setEnabled(true);
    state_.RadioButton2.setEnabled(true);
    EscapePending = false;
}

void TRead::RetryData() {
    if (state_.UploadData.enabled()) return;
    state_.Edit1.setText("DATA ERROR - RETRY (" + QByteArray::number(RetryCount) +
                         ") IN PROCESS...");
    state_.UploadData.setEnabled(false);
    state_.AbortUpload.setEnabled(true);
    state_.RadioButton1.setEnabled(false);
    state_.RadioButton2.setEnabled(false);
    state_.Startloadingdata.clear();
    state_.Errorindata.clear();
    state_.Startloadingdata.tick();
    state_.Startloadingheader.clear();
    state_.Headerloaded.tick();
    state_.Memo5.clear();
    state_.Watchdog.set(clock_.now());
    state_.Readyfornextblock.tick();
    state_.WaitingForAck.tick();
    EscapePending = false;
    clock_.sleep(10);
    if (link_.repeatBlock) link_.repeatBlock();
}

void TRead::ReportTimeout() {
    HeaderLineCount = 0;
    headerEndPending_ = false;
    if (!state_.Errorindata.checked() && !state_.Startloadingdata.checked() &&
        !state_.Startloadingheader.checked() && !state_.WaitOnFastAck.checked())
        return;
    // An upload that already ended keeps the text it ended with.
    if (state_.UploadData.enabled() && !state_.AbortUpload.enabled()) return;
    state_.Edit1.setText("SERIAL COMMUNICATION TIMED OUT.");
    state_.UploadData.setEnabled(true);
    state_.AbortUpload.setEnabled(false);
    state_.RadioButton1.setEnabled(true);
    state_.RadioButton2.setEnabled(true);
    if (state_.FastBaud.checked()) {
        link_.SendByte('S');
        state_.FastBaud.clear();
    }
    EscapePending = false;
}

void TRead::PortLost() {
    const bool uploading = !(state_.UploadData.enabled() && !state_.AbortUpload.enabled());
    state_.FastBaud.clear();
    state_.UploadData.setEnabled(true);
    state_.AbortUpload.setEnabled(false);
    state_.RadioButton1.setEnabled(true);
    state_.RadioButton2.setEnabled(true);
    EscapePending = false;
    state_.Edit1.setText(uploading ? "SERIAL PORT LOST. UPLOAD CANCELLED. Reconnect the logger "
                                     "and press Upload Data."
                                   : "SERIAL PORT LOST. Reconnect the logger and press Upload Data.");
    link_.ClosePort();
}

void TRead::ReceiveHeader(int requested) {
    const int count = static_cast<int>(RxText.size());
    state_.Watchdog.set(clock_.now());
    if (state_.LoggerVersion == -1) {
        if (RxText.size() < 2) return;
        state_.LoggerVersion = RxText[1] == '0' ? 2 : 1;
    }
    HeaderLineCount += static_cast<int>(RxText.left(count).count('\n'));
    state_.Edit1.setText("RECEIVING HEADER (Line " + QByteArray::number(HeaderLineCount) +
                         ") ..PLEASE WAIT...");
    state_.Memo2.append(RxText);
    const bool endsLine = RxText.endsWith('\n');
    if (state_.LoggerVersion == 1 && endsLine) {
        if (HeaderLineCount == 26) {
            if (RxRead < requested)
                FinishVersion1Header(false);
            else
                headerEndPending_ = true;
        } else if (HeaderLineCount == 38) {
            FinishVersion1Header(true);
        }
    }
    state_.Watchdog.set(clock_.now());
    if (state_.LoggerVersion == 2 && Version2HeaderComplete(state_.Memo2.text(), state_.RHZL)) {
        state_.Headerloaded.tick();
        HeaderLineCount = 0;
        state_.Edit1.setText("HEADER LOADED (VERSION 2)...PLEASE WAIT...");
        state_.Memo2.append("\r\n");
    }
}

void TRead::FinishVersion1Header(bool rh) {
    headerEndPending_ = false;
    state_.Headerloaded.tick();
    HeaderLineCount = 0;
    state_.RHZL.set(rh);
    state_.Edit1.setText(rh ? "HEADER LOADED (RH+TEMPERATURE MODEL)...PLEASE WAIT..."
                            : "HEADER LOADED (TEMPERATURE MODEL)...PLEASE WAIT...");
    state_.Memo2.append("\r\n");
}

void TRead::ReceiveData() {
    HeaderLineCount = 0;
    state_.Watchdog.set(clock_.now());
    const qsizetype already = state_.Memo5.length();
    const bool version1 = state_.LoggerVersion == 1;
    QByteArray hex;
    hex.reserve(RxText.size() * 2);
    for (qsizetype i = 0; i < RxText.size(); ++i) {
        const auto byte = static_cast<unsigned char>(RxText[i]);
        if (version1 && already + 2 * i >= 40) {
            hex += static_cast<char>(byte);
        } else {
            hex += kHexDigits[byte >> 4];
            hex += kHexDigits[byte & 15];
        }
    }
    state_.Memo5.append(hex);
    state_.Watchdog.set(clock_.now());
}

void TRead::ReceiveIdle() { state_.Memo3.append(RxText); }

} // namespace zantrel
