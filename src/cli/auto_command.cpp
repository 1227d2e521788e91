#include "alerts/download_alerts.h"
#include "chart/readings_store.h"
#include "chart/statistics_settings.h"
#include "cli/archive_target.h"
#include "cli/auto_alerts.h"
#include "cli/auto_archive.h"
#include "cli/cli.h"
#include "cli/command.h"
#include "cli/command_line.h"
#include "cli/figure_options.h"
#include "cli/headless_engine.h"
#include "cli/upload_output.h"
#include "cli/utc_offset_options.h"
#include "core/control.h"
#include "core/settings_files.h"
#include "core/state.h"
#include "files/monthly_files_lock.h"
#include "protocol/upload_blocks.h"
#include "schedule/auto_download.h"
#include "schedule/schedule_menu.h"

#include <array>
#include <memory>
#include <string>
#include <variant>

namespace zantrel {

namespace {

const std::string kHelp =
    R"(Usage: zantrel-cli auto --port PORT --file PATH [OPTIONS]

Downloads a logger by itself as Setup, "Auto Download" does: at once, then at every
interval, each checked channel (channel 1, then channel 2) from where its monthly files
end. The readings go into one chart file per channel and month beside PATH, each with its
scrambled duplicate: for PATH /data/site.csv, channel 1 and March 2026 these are
/data/T1202603site.csv and /data/T1202603site.zlx. Every run continues the month's
duplicate; a numbered one (T1202603site_0.zxl, _1.zxl, ...) starts only when a duplicate
cannot be continued. What a crash left at the end of a monthly file is repaired; a file
under a monthly name that is not this series' chart file (another program's, another
logger's, a symbolic link) is left as it is and the download fails. While the program
runs, the monthly files of PATH are locked: a second program on the same PATH exits
with 1, naming the process that holds them. The user information is that of
USERINFO.DAT, which is left as it is.

Options:
  --port PORT       the logger's port, for this run only (COMPORT.DAT is neither read
                    nor written): "COMn" (/dev/ttyS<n-1>) or a device path such as
                    /dev/ttyUSB0, either with an optional fast-rate tail (":38400")
  --file PATH       the path the monthly files are named after
  --every INTERVAL  1h (default), 4h, 8h, 24h, 7d or 30d
  --channels LIST   1 (default), 2 or 1,2
  --once            one download of every checked channel, then exit
  --archive URL     after each stored download, write the readings of the month's files
                    into this archive too (see below)
  --low C           lower limit of the band in degrees Celsius (default: STATS.DAT's)
  --high C          upper limit of the band in degrees Celsius (default: STATS.DAT's)
  --delay MINUTES   how long readings must stay outside the band to raise an alert
                    (default: STATS.DAT's, 0 when it has none)
  --alert-command CMD
                    run CMD (by /bin/sh) for each alert, the alert as one JSON object on
                    its standard input and its text in ZANTREL_ALERT
)" + std::string(kUtcOffsetOptionsHelp) +
    R"(  --help            this text

Without --once the program runs until SIGINT or SIGTERM, printing "Next Auto Download:"
and the time of the next download after each one; a signal during a download aborts it
as "Abort Upload" does. Status texts and messages go to standard error.
Exit status with --once: 0 when the rows of every checked channel were saved, 1
otherwise; without it 0 after a signal between downloads, 1 after one that aborted a
download; 2 for a usage error.

With --archive, the month's duplicate and numbered pieces are archived after each
stored download as "zantrel-cli archive" does, so that a download stored while the
archive could not be written is caught up at the next one. The monthly files stay the
record: a failed archive write ends or holds back nothing; it is said as "ARCHIVE NOT
WRITTEN:" and why, and the next download tries again.

After each download the new readings are checked: an excursion outside the band, a
temperature or humidity alarm start that the logger recorded, a second failed download
of a channel in a row, and no stored download for more than two intervals ("overdue")
each raise an alert, said on standard error as "ALERT:" and its text. An excursion still
going at the next download is the same alert; its end is said once ("back inside
since ..."). Alerts are kept in ALERTS.DAT beside the monthly files, one JSON object a
line, so that a program started again repeats none. The alert command's JSON holds kind,
unit, location, channel, start, end, peak, hours, limits and text; a command that exits
with another status than 0, or still runs after 30 seconds (it is killed), is said as
"ALERT COMMAND FAILED:" and the schedule goes on.
)" + std::string(kArchiveUrlHelp);

constexpr std::array<const char*, 6> kIntervals = {"1h", "4h", "8h", "24h", "7d", "30d"};

struct AutoOptions {
    QByteArray port;
    QByteArray file;
    int interval = 0; // index into kIntervals
    bool channel1 = true;
    bool channel2 = false;
    bool once = false;
    std::optional<ArchiveUrl> archive;
    std::optional<UtcOffsetRule> rule;
    StatisticsOptions band;
    QByteArray alertCommand;
};

std::variant<AutoOptions, QString> ReadOptions(const CommandLine& line, CliContext& context,
                                               const StatisticsOptions& stored) {
    AutoOptions o;
    o.band = stored;
    if (const QString error = ReadBandOptions(line, o.band); !error.isEmpty()) return error;
    o.alertCommand = line.value("alert-command").toLocal8Bit();
    if (!line.positional().isEmpty()) return "unexpected argument '" + line.positional()[0] + "'.";
    if (line.value("port").isEmpty()) return QString("--port PORT is required.");
    if (line.value("file").isEmpty()) return QString("--file PATH is required.");
    o.port = line.value("port").toLocal8Bit();
    o.file = context.absolutePath(line.value("file"));
    if (const QString problem = ChartPathProblem(o.file, "--file"); !problem.isEmpty())
        return problem;

    const QString every = line.isSet("every") ? line.value("every") : "1h";
    o.interval = -1;
    for (int i = 0; i < static_cast<int>(kIntervals.size()); ++i)
        if (every == kIntervals[i]) o.interval = i;
    if (o.interval < 0) return "--every must be 1h, 4h, 8h, 24h, 7d or 30d, not '" + every + "'.";

    const QString channels = line.isSet("channels") ? line.value("channels") : "1";
    if (channels != "1" && channels != "2" && channels != "1,2")
        return "--channels must be 1, 2 or 1,2, not '" + channels + "'.";
    o.channel1 = channels != "2";
    o.channel2 = channels != "1";
    o.once = line.isSet("once");
    if (line.isSet("archive")) {
        auto url = ReadArchiveUrl(line.value("archive"), context);
        if (const QString* error = std::get_if<QString>(&url)) return *error;
        o.archive = std::get<ArchiveUrl>(url);
    }
    auto rule = ReadUtcOffsetOptions(line);
    if (const QString* error = std::get_if<QString>(&rule)) return *error;
    o.rule = std::get<UtcOffsetRule>(rule);
    return o;
}

int RunAuto(const QStringList& arguments, CliContext& context) {
    CommandLine line("auto", kHelp.c_str());
    for (const char* name : {"port", "file", "every", "channels", "archive", "alert-command"})
        line.addValueOption(name, "value");
    AddBandOptions(line);
    AddUtcOffsetOptions(line);
    line.addFlag("once");
    if (const auto end = line.parse(arguments, context)) return *end;
    const auto read = ReadOptions(
        line, context, LoadStatisticsSettings(SettingsPath(context.folder, kStatisticsFile)));
    if (const QString* error = std::get_if<QString>(&read)) return line.usageError(context, *error);
    const AutoOptions& options = std::get<AutoOptions>(read);

    // The folder and the monthly files, before the logger is asked anything: readings it
    // sends that cannot be stored would only be fetched again.
    if (const QString problem = OutputFolderProblem(options.file); !problem.isEmpty()) {
        context.err << "zantrel-cli: cannot write in the folder of --file ("
                    << problem.toStdString() << "); nothing was downloaded." << std::endl;
        return ExitJobFailed;
    }
    QByteArray holder;
    const std::shared_ptr<MonthlyFilesLock> lock = MonthlyFilesLock::acquire(options.file, holder);
    if (!lock) {
        context.err << "zantrel-cli: " << holder.constData() << " Nothing was downloaded."
                    << std::endl;
        return ExitJobFailed;
    }

    HeadlessEngine headless(context, options.port);
    if (!headless.portOpen()) {
        headless.reportPortNotOpen();
        return ExitJobFailed;
    }
    State& s = headless.state();
    s.C1.setChecked(options.channel1);
    s.C2.setChecked(options.channel2);
    const std::array<Control*, 6> intervals = headless.engine().scheduleMenu().intervals();

    // What the downloads came to, per channel: 0 none yet, 1 stored, -1 failed.
    std::array<int, 2> stored{};
    const auto lastChannel = [&s](int channel, bool stored) {
        return channel == 2 || !s.C2.checked() || !stored;
    };
    // A download ended by a signal: the program ends with it, and no next one is announced.
    // One that was stored as the signal came is announced as any other.
    bool abortedBySignal = false;
    std::unique_ptr<AutoArchive> archive;
    if (options.archive)
        archive = std::make_unique<AutoArchive>(*options.archive, *options.rule, context);
    const ReadingsStore& readings = headless.engine().readings();
    DownloadAlerts downloadAlerts(s, readings, context.clock);
    downloadAlerts.setLimits({options.band.low, options.band.high, options.band.delayMinutes});
    AutoAlerts alerts(downloadAlerts, options.alertCommand, context);
    headless.engine().autoDownload().downloadStored = [&](int channel, bool saved) {
        stored[channel - 1] = saved ? 1 : -1;
        alerts.downloadEnded(channel, saved);
        if (saved && archive) {
            // The months the download reached: from where it resumed to its last reading.
            const double from = PickerDateTime(s.Startdate, s.Starttime);
            const double to = readings.ReadingTimes.empty() ? from : readings.ReadingTimes.back();
            archive->archiveDownload(options.file, channel, from, std::max(from, to));
        }
        if (!saved && context.interrupt && context.interrupt->raised.load()) {
            abortedBySignal = true;
            return;
        }
        if (options.once || !lastChannel(channel, saved)) return;
        const QByteArray next = s.AutoClock.text();
        context.out << "Next Auto Download: " << next.constData() << std::endl;
    };
    headless.chooseAutoDownload(*intervals[options.interval], options.file);
    alerts.reportWaiting();

    const auto roundOver = [&] {
        const bool idle = s.UploadData.enabled() && !s.AbortUpload.enabled();
        if (!idle || s.InitAutoload.checked()) return false;
        for (int channel : {1, 2}) {
            const bool checked = channel == 1 ? options.channel1 : options.channel2;
            if (checked && stored[channel - 1] == 0 && !(channel == 2 && stored[0] == -1))
                return false;
        }
        return true;
    };
    if (!options.once) {
        // Runs until a signal; one that came during a download aborted it.
        headless.runUntil([&alerts] {
            alerts.checkOverdue();
            return false;
        });
        return abortedBySignal ? ExitJobFailed : ExitSuccess;
    }
    if (!headless.runUntil(roundOver)) return ExitJobFailed;
    for (int channel : {1, 2}) {
        const bool checked = channel == 1 ? options.channel1 : options.channel2;
        if (checked && stored[channel - 1] != 1) return ExitJobFailed;
    }
    return ExitSuccess;
}

} // namespace

const Command kAutoCommand = {"auto", "download a logger on a schedule into monthly chart files",
                              RunAuto};

} // namespace zantrel
