#include "protocol/header_reception.h"

#include "core/clock.h"
#include "core/state.h"

namespace zantrel {

HeaderReception::HeaderReception(State& state, Clock& clock) : state_(state), clock_(clock) {}

void HeaderReception::receive(const QByteArray& delivery, bool fullRead) {
    endPending_ = false; // the line did not go quiet
    state_.Watchdog.stamp(clock_);
    // A header that already ended (with an error, too) takes no more bytes.
    if (state_.Errorindata.checked() || state_.Headerloaded.checked()) return;
    if (state_.LoggerVersion == -1) {
        if (delivery.size() < 2) return;
        state_.LoggerVersion = delivery[1] == '0' ? 2 : 1;
    }
    if (state_.Memo2.isEmpty()) {
        scan_ = {};
        firstByteAt_ = clock_.steadySeconds();
    }
    // Each byte restarts the watchdog, so a line that never stops talking is ended here.
    if (state_.Memo2.length() + delivery.size() > kMaxHeaderBytes ||
        clock_.steadySeconds() - firstByteAt_ > kMaxHeaderSeconds) {
        endAsHeaderError();
        return;
    }
    HeaderLineCount += static_cast<int>(delivery.count('\n'));
    state_.Edit1.setText("RECEIVING HEADER (Line " + QByteArray::number(HeaderLineCount) +
                         ") ..PLEASE WAIT...");
    state_.Memo2.append(delivery);
    const bool endsLine = delivery.endsWith('\n');
    if (state_.LoggerVersion == 1 && endsLine) {
        if (HeaderLineCount == 26) {
            if (fullRead)
                endPending_ = true;
            else
                finishVersion1Header(false);
        } else if (HeaderLineCount == 38) {
            finishVersion1Header(true);
        }
    }
    state_.Watchdog.stamp(clock_);
    if (state_.LoggerVersion == 2 && scan_.complete(state_.Memo2.text(), state_.RHZL)) {
        state_.Headerloaded.tick();
        HeaderLineCount = 0;
        state_.Edit1.setText("HEADER LOADED (VERSION 2)...PLEASE WAIT...");
        state_.Memo2.append("\r\n");
    }
}

void HeaderReception::lineQuiet() {
    if (!endPending_) return;
    endPending_ = false;
    if (state_.Startloadingheader.checked() && !state_.Headerloaded.checked())
        finishVersion1Header(false);
}

void HeaderReception::resetLineCount() {
    HeaderLineCount = 0;
    endPending_ = false;
}

void HeaderReception::finishVersion1Header(bool rh) {
    endPending_ = false;
    state_.Headerloaded.tick();
    HeaderLineCount = 0;
    state_.RHZL.set(rh);
    state_.Edit1.setText(rh ? "HEADER LOADED (RH+TEMPERATURE MODEL)...PLEASE WAIT..."
                            : "HEADER LOADED (TEMPERATURE MODEL)...PLEASE WAIT...");
    state_.Memo2.append("\r\n");
}

void HeaderReception::endAsHeaderError() {
    endPending_ = false;
    HeaderLineCount = 0;
    state_.Edit1.setText(kHeaderNeverEnded);
    state_.Errorindata.tick();
    state_.restoreIdleControls();
}

} // namespace zantrel
