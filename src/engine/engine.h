#pragma once

#include "chart/chart_model.h"
#include "chart/chart_presenter.h"
#include "chart/chart_printer.h"
#include "chart/readings_store.h"
#include "core/channel_header.h"
#include "core/dialogs.h"
#include "core/format_settings.h"
#include "core/handoff_queue.h"
#include "core/state.h"
#include "files/chart_file_loader.h"
#include "files/chart_file_writer.h"
#include "files/encrypted_duplicate.h"
#include "files/user_info_dialogs.h"
#include "link/serial_link.h"
#include "protocol/header_record.h"
#include "protocol/packet_decoder.h"
#include "protocol/upload_blocks.h"
#include "protocol/upload_session.h"
#include "schedule/auto_download.h"
#include "schedule/schedule_menu.h"

#include <QByteArray>
#include <QStringList>
#include <optional>

namespace zantrel {

class Clock;
class Host;

// The pauses that only let a chart repaint: 500 ms after emptying each series in ClearBuffer
// (at start, before an upload or a load, at exit). The window keeps them; a run without a
// chart (the command-line tool) skips them. No wait the logger needs depends on this.
enum class ChartPauses { Keep, Skip };

// The whole program without its window: the session state, every subsystem, start-up,
// reset and shut-down. The window, the command-line tool and the tests drive it.
class Engine {
  public:
    Engine(Clock& clock, Host& host, ChartPauses chartPauses = ChartPauses::Keep);
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // Start-up of the main window. settingsFolder is the working directory at start;
    // arguments are the program's arguments after its name. A given port is used for this
    // run only: COMPORT.DAT is neither read nor written for it.
    void FormCreate(const QByteArray& settingsFolder, const QStringList& arguments,
                    const std::optional<QByteArray>& port = std::nullopt);
    // Returns every flag and slot to the idle state ("New/Clear").
    void ClearBuffer();
    // A click on one of the eight Date Format items.
    void DateFormatClick(int item);
    void ApplyDateFormat();

    State& state() { return state_; }
    const State& state() const { return state_; }
    ChartModel& chart() { return chart_; }
    ReadingsStore& readings() { return readings_; }
    SerialLink& link() { return link_; }
    HandoffQueue& handoffs() { return handoffs_; }
    Clock& clock() { return clock_; }
    FormatSettings& formats() { return formats_; }
    HeaderValues& header() { return header_; }
    UploadBlocks& blocks() { return blocks_; }
    HeaderRecord& headerRecord() { return headerRecord_; }
    PacketDecoder& decoder() { return decoder_; }
    ChartPresenter& presenter() { return presenter_; }
    UploadSession& session() { return session_; }
    ChartFileWriter& writer() { return writer_; }
    EncryptedDuplicate& duplicate() { return duplicate_; }
    ChartFileLoader& loader() { return loader_; }
    UserInfoDialogs& userInfo() { return userInfo_; }
    ChartPrinter& printer() { return printer_; }
    Host& host() { return host_; }
    Dialogs& dialogs() { return dialogs_; }
    ScheduleMenu& scheduleMenu() { return scheduleMenu_; }
    AutoDownload& autoDownload() { return autoDownload_; }

  private:
    void wireHandlers();
    void ReloadUserInformation();
    void AddNoDataPoints();
    QByteArray settingsPath(const char* name) const;

    Clock& clock_;
    Host& host_;
    const ChartPauses chartPauses_;
    FormatSettings formats_;
    State state_;
    ChartModel chart_;
    ReadingsStore readings_;
    HeaderValues header_;
    UploadBlocks blocks_;
    HandoffQueue handoffs_;
    Dialogs dialogs_;
    SerialLink link_;
    HeaderRecord headerRecord_;
    PacketDecoder decoder_;
    ChartPresenter presenter_;
    UploadSession session_;
    EncryptedDuplicate duplicate_;
    ChartFileWriter writer_;
    ChartFileLoader loader_;
    UserInfoDialogs userInfo_;
    ChartPrinter printer_;
    ScheduleMenu scheduleMenu_;
    AutoDownload autoDownload_;
};

} // namespace zantrel
