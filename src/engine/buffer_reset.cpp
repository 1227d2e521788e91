#include "engine/buffer_reset.h"

#include "chart/chart_model.h"
#include "chart/readings_store.h"
#include "core/clock.h"
#include "core/host.h"
#include "core/settings_files.h"
#include "core/state.h"
#include "core/user_info.h"
#include "protocol/header_record.h"

namespace zantrel {

BufferReset::BufferReset(State& state, ChartModel& chart, ReadingsStore& readings,
                         HeaderRecord& headerRecord, Clock& clock, Host& host,
                         ChartPauses chartPauses)
    : state_(state), chart_(chart), readings_(readings), headerRecord_(headerRecord), clock_(clock),
      host_(host), chartPauses_(chartPauses) {}

void BufferReset::ClearBuffer() {
    state_.Edit1.setText("Initializing...");
    // Lets the chart repaint each emptied series. The window is painted first, so that a
    // dialog closed just before (the question whether to save) leaves no hole in it.
    const auto repaintPause = [this] {
        if (chartPauses_ == ChartPauses::Keep) {
            host_.repaint();
            clock_.sleep(500);
        }
    };
    chart_.Series1.ClearPoints();
    repaintPause();
    chart_.Series2.ClearPoints();
    chart_.Overlays.clear();
    repaintPause();

    headerRecord_.reset();
    state_.Memo1.clear();
    state_.Memo2.clear();
    state_.Memo3.clear();
    state_.Memo5.clear();
    state_.Edit1.clear();

    state_.clearPhaseFlags();

    // Upload stays disabled if it was disabled without an upload running.
    if (state_.AbortUpload.enabled()) {
        state_.restoreIdleControls();
    } else {
        state_.RadioButton1.setEnabled(true);
        state_.RadioButton2.setEnabled(true);
    }

    readings_.clear();
    state_.RHZL.clear();
    state_.Samplesperhour.setText("240");
    state_.Watchdog.stamp(clock_);
    state_.FreshData.tick();
    state_.UnsavedReadings.clear();
    state_.UploadIncomplete.clear();
    state_.FileEncryptFlag.clear();
    // No file backs the chart once its readings are gone: neither the caption nor the
    // marker names one.
    if (!state_.BaseCaption.isEmpty()) state_.Caption.setText(state_.BaseCaption);
    state_.CaptionSuffix.clear();
    state_.SecureData.setVisible(false);
    state_.LockImage.setVisible(false);
    state_.WaitOnFastAck.clear();
    state_.FastBaud.clear();

    reloadUserInformation();
    addNoDataPoints();
}

void BufferReset::clearAtExit() {
    chartPauses_ = ChartPauses::Skip;
    ClearBuffer();
}

void BufferReset::reloadUserInformation() {
    const QByteArray path = SettingsPath(state_.ThisAppDir.text(), kUserInfoFile);
    std::array<QByteArray, 4> values;
    if (SettingsFileExists(path) && LoadSlotFromFile(state_.UserInformationBox, path))
        values = ExtractUserInformation(state_.UserInformationBox.text());
    state_.UserName = values[0];
    state_.UserLocation = values[1];
    state_.UnitId = values[2];
    state_.SoftwareVersion = values[3];
}

void BufferReset::addNoDataPoints() {
    chart_.Series1.AddPoint(chart_.NoDataTime, 0, "No data", kGrey);
    chart_.Series2.AddPoint(chart_.NoDataTime, 0, "No data", kGrey);
}

} // namespace zantrel
