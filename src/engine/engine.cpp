#include "engine/engine.h"

#include "chart/chart_model.h"
#include "chart/chart_presenter.h"
#include "chart/chart_printer.h"
#include "chart/date_format_labels.h"
#include "chart/readings_store.h"
#include "chart/stored_statistics_settings.h"
#include "core/auto_clock.h"
#include "core/channel_header.h"
#include "core/dialogs.h"
#include "core/format_settings.h"
#include "core/handoff_queue.h"
#include "core/settings_files.h"
#include "core/state.h"
#include "engine/buffer_reset.h"
#include "engine/startup.h"
#include "files/chart_file_loader.h"
#include "files/chart_file_writer.h"
#include "files/encrypted_duplicate.h"
#include "files/overlay_loader.h"
#include "files/unsaved_chart_guard.h"
#include "files/user_info_dialogs.h"
#include "link/serial_link.h"
#include "protocol/header_record.h"
#include "protocol/logger_reader_loop.h"
#include "protocol/packet_decoder.h"
#include "protocol/upload_blocks.h"
#include "protocol/upload_session.h"
#include "schedule/auto_download.h"
#include "schedule/download_schedule_ticker.h"
#include "schedule/schedule_menu.h"

namespace zantrel {

// Every subsystem, in the order they are built: each takes only those above it.
struct Engine::Parts {
    Parts(Clock& clock, Host& host, ChartPauses chartPauses)
        : formats(FormatSettings::fromSystemLocale()), dialogs(host, handoffs),
          link(state, clock, handoffs), headerRecord(state, header, formats, clock),
          decoder(state, header, blocks, readings, chart, clock),
          presenter(state, header, readings, chart, blocks.BlockStart),
          session(state, header, blocks, readings, chart, link, decoder, formats, clock, host),
          duplicate(state, dialogs, clock),
          writer(state, readings, chart, presenter, duplicate, dialogs, clock, formats),
          loader(state, readings, chart, presenter, dialogs, clock, formats),
          overlayLoader(state, readings, chart, dialogs, clock), userInfo(state, dialogs, clock),
          unsavedGuard(state, readings, userInfo, dialogs),
          printer(state, chart, presenter, dialogs, clock), scheduleMenu(state),
          autoDownload(state, readings, link, clock, host),
          reset(state, chart, readings, headerRecord, clock, host, chartPauses),
          startup(state, chart, presenter, loader, reset, clock) {}

    FormatSettings formats;
    State state;
    ChartModel chart;
    StoredStatisticsSettings statisticsSettings;
    ReadingsStore readings;
    HeaderValues header;
    UploadBlocks blocks;
    HandoffQueue handoffs;
    Dialogs dialogs;
    SerialLink link;
    HeaderRecord headerRecord;
    PacketDecoder decoder;
    ChartPresenter presenter;
    UploadSession session;
    EncryptedDuplicate duplicate;
    ChartFileWriter writer;
    ChartFileLoader loader;
    OverlayLoader overlayLoader;
    UserInfoDialogs userInfo;
    UnsavedChartGuard unsavedGuard;
    ChartPrinter printer;
    ScheduleMenu scheduleMenu;
    AutoDownload autoDownload;
    BufferReset reset;
    Startup startup;
};

Engine::Engine(Clock& clock, Host& host, ChartPauses chartPauses)
    : clock_(clock), host_(host), parts_(std::make_unique<Parts>(clock, host, chartPauses)) {
    wireHandlers();
}

Engine::~Engine() {
    parts_->reset.clearAtExit();
    parts_->link.ClosePort();
}

void Engine::wireHandlers() {
    Parts& p = *parts_;
    State& s = p.state;
    s.COMPORT.onChange = [&p] { p.link.COMPORTChange(); };
    s.Startloadingheader.onClick = [&s] {
        if (s.Startloadingheader.checked()) s.LoggerVersion = -1;
    };
    s.Errorindata.onClick = [&s] { s.InitAutoload.clear(); };
    s.Startloadingdata.onClick = [&p] { p.session.StartloadingdataClick(); };
    s.RHZL.onClick = [&p] { p.presenter.RHZLClick(); };
    s.Memo1.onChange = [&p] { p.session.Memo1Change(); };
    s.Memo2.onChange = [&p] { p.headerRecord.Memo2Change(); };
    s.Memo5.onChange = [&p] { p.session.Memo5Change(); };
    s.Samplesperhour.onChange = [&p] { p.presenter.UpdateChartFoot(); };
    s.Datastored.onChange = [&p] { p.presenter.UpdateChartFoot(); };
    s.UploadIncomplete.onChange = [&p] { p.presenter.UpdateChartFoot(); };
    // The chart's unit, which the overlays and the band are drawn in, follows the setting.
    auto showUnit = [&p, &s] { p.chart.Overlays.setFahrenheit(s.TempInF.checked()); };
    showUnit();
    s.TempInF.subscribe(showUnit);
    p.session.ClearBuffer = [&p] { p.reset.ClearBuffer(); };
    p.link.showProblem = [&p](const QByteArray& text) { p.dialogs.problem(text); };
    p.loader.clearBuffer = [&p] { p.reset.ClearBuffer(); };
    p.userInfo.saveChart = [&p] { p.writer.SaveChartFile(); };
    s.InitAutoload.onClick = [&p] { p.autoDownload.InitAutoloadClick(); };
    s.DataLoaded.onClick = [&p] { p.autoDownload.DataLoadedClick(); };
    p.autoDownload.ClearBuffer = [&p] { p.reset.ClearBuffer(); };
    p.headerRecord.ResumeTimeFromMonthlyFiles = [&p](double first, double last) {
        return p.autoDownload.ResumeTimeFromMonthlyFiles(first, last);
    };
    p.scheduleMenu.verifyUserInformation = [&p] { p.userInfo.verifyForAutoDownload(); };
    p.userInfo.autoDownloadOff = [&p] { p.scheduleMenu.AutoOffClick(); };
    p.link.makeReaderLoop = [this, &p] {
        return std::make_unique<LoggerReaderLoop>(
            p.state, clock_, p.link, host_,
            std::make_unique<DownloadScheduleTicker>(p.state, clock_),
            [&p] { p.session.repeatBlock(); });
    };
    // The progress bar shows while an upload runs.
    s.AbortUpload.subscribe([&s] { s.Progress.setVisible(s.AbortUpload.enabled()); });
}

void Engine::FormCreate(const QByteArray& settingsFolder, const QStringList& arguments,
                        const std::optional<QByteArray>& port) {
    parts_->statisticsSettings.load(SettingsPath(settingsFolder, kStatisticsFile));
    parts_->startup.FormCreate(settingsFolder, arguments, port);
}

void Engine::ClearBuffer() {
    parts_->reset.ClearBuffer();
}

void Engine::DateFormatClick(int item) {
    zantrel::DateFormatClick(parts_->state, parts_->chart, parts_->dialogs, item);
    // "Next Auto Download:" reads in the same order as the chart.
    if (!parts_->state.AutoClock.text().isEmpty()) ShowAutoClock(parts_->state, clock_);
}

void Engine::ApplyDateFormat() {
    zantrel::ApplyDateFormat(parts_->state, parts_->chart);
}

State& Engine::state() {
    return parts_->state;
}
const State& Engine::state() const {
    return parts_->state;
}
ChartModel& Engine::chart() {
    return parts_->chart;
}
StoredStatisticsSettings& Engine::statisticsSettings() {
    return parts_->statisticsSettings;
}
ReadingsStore& Engine::readings() {
    return parts_->readings;
}
SerialLink& Engine::link() {
    return parts_->link;
}
HandoffQueue& Engine::handoffs() {
    return parts_->handoffs;
}
Clock& Engine::clock() {
    return clock_;
}
FormatSettings& Engine::formats() {
    return parts_->formats;
}
HeaderValues& Engine::header() {
    return parts_->header;
}
UploadBlocks& Engine::blocks() {
    return parts_->blocks;
}
HeaderRecord& Engine::headerRecord() {
    return parts_->headerRecord;
}
PacketDecoder& Engine::decoder() {
    return parts_->decoder;
}
ChartPresenter& Engine::presenter() {
    return parts_->presenter;
}
UploadSession& Engine::session() {
    return parts_->session;
}
ChartFileWriter& Engine::writer() {
    return parts_->writer;
}
EncryptedDuplicate& Engine::duplicate() {
    return parts_->duplicate;
}
ChartFileLoader& Engine::loader() {
    return parts_->loader;
}
OverlayLoader& Engine::overlayLoader() {
    return parts_->overlayLoader;
}
UserInfoDialogs& Engine::userInfo() {
    return parts_->userInfo;
}
UnsavedChartGuard& Engine::unsavedGuard() {
    return parts_->unsavedGuard;
}
ChartPrinter& Engine::printer() {
    return parts_->printer;
}
Host& Engine::host() {
    return host_;
}
Dialogs& Engine::dialogs() {
    return parts_->dialogs;
}
ScheduleMenu& Engine::scheduleMenu() {
    return parts_->scheduleMenu;
}
AutoDownload& Engine::autoDownload() {
    return parts_->autoDownload;
}

} // namespace zantrel
