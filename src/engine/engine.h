#pragma once

#include "engine/chart_pauses.h"

#include <QByteArray>
#include <QStringList>
#include <memory>
#include <optional>

namespace zantrel {

class AutoDownload;
class ChartFileLoader;
class ChartFileWriter;
class ChartPresenter;
class ChartPrinter;
class Clock;
class Dialogs;
class EncryptedDuplicate;
class HandoffQueue;
class HeaderRecord;
class Host;
class OverlayLoader;
class PacketDecoder;
class ScheduleMenu;
class SerialLink;
class StoredStatisticsSettings;
class UnsavedChartGuard;
class UploadSession;
class UserInfoDialogs;
struct ChartModel;
struct FormatSettings;
struct HeaderValues;
struct ReadingsStore;
struct State;
struct UploadBlocks;

// The whole program without its window: owns the session state and every subsystem and
// wires them together. The window, the command-line tool and the tests drive it.
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

    State& state();
    const State& state() const;
    ChartModel& chart();
    // The statistics' band and activation energy, read from the settings folder at start-up.
    StoredStatisticsSettings& statisticsSettings();
    ReadingsStore& readings();
    SerialLink& link();
    HandoffQueue& handoffs();
    Clock& clock();
    FormatSettings& formats();
    HeaderValues& header();
    UploadBlocks& blocks();
    HeaderRecord& headerRecord();
    PacketDecoder& decoder();
    ChartPresenter& presenter();
    UploadSession& session();
    ChartFileWriter& writer();
    EncryptedDuplicate& duplicate();
    ChartFileLoader& loader();
    OverlayLoader& overlayLoader();
    UserInfoDialogs& userInfo();
    // Asks before the window clears a chart that is not saved.
    UnsavedChartGuard& unsavedGuard();
    ChartPrinter& printer();
    Host& host();
    Dialogs& dialogs();
    ScheduleMenu& scheduleMenu();
    AutoDownload& autoDownload();

  private:
    struct Parts;
    void wireHandlers();

    Clock& clock_;
    Host& host_;
    std::unique_ptr<Parts> parts_;
};

} // namespace zantrel
