#include "engine/startup.h"

#include "chart/chart_model.h"
#include "chart/chart_presenter.h"
#include "chart/date_format_labels.h"
#include "core/auto_clock.h"
#include "core/calendar.h"
#include "core/clock.h"
#include "core/date_formats.h"
#include "core/settings_files.h"
#include "core/state.h"
#include "engine/buffer_reset.h"
#include "files/chart_file_loader.h"

#include <QFile>
#include <cmath>

namespace zantrel {

Startup::Startup(State& state, ChartModel& chart, ChartPresenter& presenter,
                 ChartFileLoader& loader, BufferReset& reset, Clock& clock)
    : state_(state), chart_(chart), presenter_(presenter), loader_(loader), reset_(reset),
      clock_(clock) {
    for (size_t i = 0; i < kDateFormats.size(); ++i)
        state_.DateFormatItems[i].setText(kDateFormats[i]);
    state_.DateFormatItems[0].setChecked(true);
}

void Startup::FormCreate(const QByteArray& settingsFolder, const QStringList& arguments,
                         const std::optional<QByteArray>& port) {
    state_.ThisAppDir.setText(settingsFolder);
    state_.BaseCaption = state_.Caption.text();
    state_.CaptionSuffix.clear();

    // A stored port is opened directly: opening COM1 first would only show a spurious
    // problem on machines without that device.
    const QByteArray comport = SettingsPath(settingsFolder, kComportFile);
    if (port)
        state_.COMPORT.setText(*port);
    else if (!SettingsFileExists(comport) || !LoadSlotFromFile(state_.COMPORT, comport) ||
             state_.COMPORT.isEmpty())
        state_.COMPORT.setText("COM1");

    state_.DATEFORMAT.setText(kDefaultDateFormat);
    state_.FreshData.tick();
    state_.FileEncryptFlag.clear();
    state_.UserInformationBox.clear();
    state_.UserName.clear();
    state_.UserLocation.clear();
    state_.UnitId.clear();
    state_.SoftwareVersion.clear();
    state_.SecureData.setVisible(false);
    state_.LockImage.setVisible(false);

    const QByteArray datefmt = SettingsPath(settingsFolder, kDateFormatFile);
    if (SettingsFileExists(datefmt)) LoadSlotFromFile(state_.DATEFORMAT, datefmt);
    ApplyDateFormat(state_, chart_);

    bool okMin = false, okMax = false;
    const double min = state_.MinTemp.text().toDouble(&okMin);
    const double max = state_.MaxTemp.text().toDouble(&okMax);
    if (okMin) chart_.LeftAxis.setMinimum(min);
    if (okMax) chart_.LeftAxis.setMaximum(max);

    // The range pickers and the empty chart start at today, not at day 0.
    const double now = RoundToSecond(clock_.now());
    const double today = std::floor(now);
    chart_.NoDataTime = today + 0.5;
    reset_.ClearBuffer();
    presenter_.UpdateChartFoot();
    state_.Samplesperhour.setText("240");
    state_.Startdate.setValue(today);
    state_.Starttime.setValue(0);
    state_.Enddate.setValue(today);
    state_.Endtime.setValue(now - today);
    if (!arguments.isEmpty()) loader_.LoadChartFile(QFile::encodeName(arguments.first()));
    SetAutoClock(state_, clock_, 0);
    state_.Watchdog.stamp(clock_);
}

} // namespace zantrel
