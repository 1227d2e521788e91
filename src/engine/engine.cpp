#include "engine/engine.h"

#include "chart/date_format_labels.h"
#include "core/auto_clock.h"
#include "core/clock.h"
#include "core/date_formats.h"
#include "core/settings_files.h"
#include "core/user_info.h"
#include "protocol/logger_reader_loop.h"
#include "schedule/download_schedule_ticker.h"

#include <QFile>

namespace zantrel {

Engine::Engine(Clock& clock, Host& host, ChartPauses chartPauses)
    : clock_(clock), host_(host), chartPauses_(chartPauses),
      formats_(FormatSettings::FromSystemLocale()), dialogs_(host_, handoffs_),
      link_(state_, clock_, handoffs_), headerRecord_(state_, header_, formats_, clock_),
      decoder_(state_, header_, blocks_, readings_, chart_, clock_),
      presenter_(state_, header_, readings_, chart_, blocks_.BlockStart),
      session_(state_, header_, blocks_, readings_, chart_, link_, decoder_, formats_, clock_,
               host_),
      duplicate_(state_, dialogs_, clock_),
      writer_(state_, readings_, chart_, presenter_, duplicate_, dialogs_, clock_, formats_),
      loader_(state_, readings_, chart_, presenter_, dialogs_, clock_, formats_),
      userInfo_(state_, dialogs_, clock_, formats_),
      printer_(state_, chart_, presenter_, dialogs_, clock_, formats_), scheduleMenu_(state_),
      autoDownload_(state_, readings_, link_, clock_, host_) {
    for (size_t i = 0; i < kDateFormats.size(); ++i)
        state_.DateFormatItems[i].setText(kDateFormats[i]);
    state_.DateFormatItems[0].setChecked(true);
    wireHandlers();
}

Engine::~Engine() {
    ClearBuffer();
    link_.ClosePort();
}

void Engine::wireHandlers() {
    state_.COMPORT.onChange = [this] { link_.COMPORTChange(); };
    state_.Startloadingheader.onClick = [this] {
        if (state_.Startloadingheader.checked()) state_.LoggerVersion = -1;
    };
    state_.Errorindata.onClick = [this] { state_.InitAutoload.clear(); };
    state_.Startloadingdata.onClick = [this] { session_.StartloadingdataClick(); };
    state_.RHZL.onClick = [this] { presenter_.RHZLClick(); };
    state_.Memo1.onChange = [this] { session_.Memo1Change(); };
    state_.Memo2.onChange = [this] { headerRecord_.Memo2Change(); };
    state_.Memo5.onChange = [this] { session_.Memo5Change(); };
    state_.Samplesperhour.onChange = [this] { presenter_.UpdateChartFoot(); };
    state_.Datastored.onChange = [this] { presenter_.UpdateChartFoot(); };
    session_.ClearBuffer = [this] { ClearBuffer(); };
    link_.showProblem = [this](const QByteArray& text) { dialogs_.problem(text); };
    loader_.clearBuffer = [this] { ClearBuffer(); };
    userInfo_.saveChart = [this] { writer_.SaveChartFile(); };
    state_.InitAutoload.onClick = [this] { autoDownload_.InitAutoloadClick(); };
    state_.DataLoaded.onClick = [this] { autoDownload_.DataLoadedClick(); };
    autoDownload_.ClearBuffer = [this] { ClearBuffer(); };
    headerRecord_.ResumeTimeFromMonthlyFiles = [this](double first, double last) {
        return autoDownload_.ResumeTimeFromMonthlyFiles(first, last);
    };
    scheduleMenu_.verifyUserInformation = [this] { userInfo_.VerifyForAutoDownload(); };
    userInfo_.autoDownloadOff = [this] { scheduleMenu_.AutoOffClick(); };
    link_.makeReaderLoop = [this] {
        return std::make_unique<LoggerReaderLoop>(
            state_, clock_, link_, host_, formats_,
            std::make_unique<DownloadScheduleTicker>(state_, clock_, formats_),
            [this] { session_.RepeatBlock(); });
    };
    // The progress bar shows while an upload runs.
    state_.AbortUpload.subscribe(
        [this] { state_.Progress.setVisible(state_.AbortUpload.enabled()); });
}

QByteArray Engine::settingsPath(const char* name) const {
    return SettingsPath(state_.ThisAppDir.text(), name);
}

void Engine::FormCreate(const QByteArray& settingsFolder, const QStringList& arguments,
                        const std::optional<QByteArray>& port) {
    state_.ThisAppDir.setText(settingsFolder);
    state_.BaseCaption = state_.Caption.text();
    state_.CaptionSuffix.clear();

    // A stored port is opened directly: opening COM1 first would only show a spurious
    // problem on machines without that device.
    const QByteArray comport = settingsPath(kComportFile);
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

    const QByteArray datefmt = settingsPath(kDateFormatFile);
    if (SettingsFileExists(datefmt)) LoadSlotFromFile(state_.DATEFORMAT, datefmt);
    ApplyDateFormat();

    bool okMin = false, okMax = false;
    const double min = state_.MinTemp.text().toDouble(&okMin);
    const double max = state_.MaxTemp.text().toDouble(&okMax);
    if (okMin) chart_.LeftAxis.setMinimum(min);
    if (okMax) chart_.LeftAxis.setMaximum(max);

    ClearBuffer();
    presenter_.UpdateChartFoot();
    state_.Samplesperhour.setText("240");
    if (!arguments.isEmpty()) loader_.LoadChartFile(QFile::encodeName(arguments.first()));
    SetAutoClock(state_, clock_, formats_, 0);
    state_.Watchdog.stamp(clock_);
}

void Engine::ClearBuffer() {
    state_.Edit1.setText("Initializing...");
    // Lets the chart repaint each emptied series.
    const auto repaintPause = [this] {
        if (chartPauses_ == ChartPauses::Keep) clock_.sleep(500);
    };
    chart_.Series1.ClearPoints();
    repaintPause();
    chart_.Series2.ClearPoints();
    repaintPause();

    headerRecord_.reset();
    state_.Memo1.clear();
    state_.Memo2.clear();
    state_.Memo3.clear();
    state_.Memo5.clear();
    state_.Edit1.clear();

    state_.clearPhaseFlags();

    if (state_.AbortUpload.enabled()) state_.UploadData.setEnabled(true);
    state_.AbortUpload.setEnabled(false);
    state_.RadioButton1.setEnabled(true);
    state_.RadioButton2.setEnabled(true);

    readings_.clear();
    state_.RHZL.clear();
    state_.Samplesperhour.setText("240");
    state_.Watchdog.stamp(clock_);
    state_.FreshData.tick();
    state_.FileEncryptFlag.clear();
    // No duplicate backs the chart once its readings are gone.
    state_.SecureData.setVisible(false);
    state_.LockImage.setVisible(false);
    state_.WaitOnFastAck.clear();
    state_.FastBaud.clear();

    ReloadUserInformation();
    AddNoDataPoints();
}

void Engine::ReloadUserInformation() {
    const QByteArray path = settingsPath(kUserInfoFile);
    std::array<QByteArray, 4> values;
    if (SettingsFileExists(path) && LoadSlotFromFile(state_.UserInformationBox, path))
        values = ExtractUserInformation(state_.UserInformationBox.text());
    state_.UserName = values[0];
    state_.UserLocation = values[1];
    state_.UnitId = values[2];
    state_.SoftwareVersion = values[3];
}

void Engine::AddNoDataPoints() {
    chart_.Series1.AddPoint(0, 0, "No data", kGrey);
    chart_.Series2.AddPoint(0, 0, "No data", kGrey);
}

void Engine::DateFormatClick(int item) {
    if (item < 0 || item >= static_cast<int>(kDateFormats.size())) return;
    for (int i = 0; i < static_cast<int>(state_.DateFormatItems.size()); ++i)
        state_.DateFormatItems[i].setChecked(i == item);
    state_.DATEFORMAT.setText(kDateFormats[item]);
    const QByteArray problem =
        SaveSetting(state_.DATEFORMAT, state_.ThisAppDir.text(), kDateFormatFile);
    chart_.setTimeLabelFormat(state_.DATEFORMAT.text());
    if (!problem.isEmpty()) dialogs_.problem(problem);
}

void Engine::ApplyDateFormat() {
    zantrel::ApplyDateFormat(state_, chart_);
}

} // namespace zantrel
