#include "cli/argument_bytes.h"
#include "cli/cli.h"
#include "cli/command.h"
#include "cli/command_line.h"
#include "cli/headless_engine.h"
#include "cli/upload_output.h"
#include "core/calendar.h"
#include "core/clock.h"
#include "core/date_formats.h"
#include "core/state.h"
#include "link/port_text.h"
#include "link/serial_port.h"
#include "protocol/upload_session.h"

#include <cmath>
#include <variant>

namespace zantrel {

namespace {

constexpr const char* kHelp =
    R"(Usage: zantrel-cli upload --port PORT --out PATH [OPTIONS]

Uploads the readings of one channel exactly as "Upload Data" does, then saves PATH and
its encrypted duplicate (PATH with the extension .zlx) as "Save Chart" does, with the
user information of USERINFO.DAT.

Options:
  --port PORT       the logger's port, for this run only (COMPORT.DAT is neither read
                    nor written): "COMn" (/dev/ttyS<n-1>) or a device path such as
                    /dev/ttyUSB0, either with an optional fast-rate tail (":38400")
  --channel 1|2     the channel to upload (default 1)
  --range RANGE     all (default), last-month, last-week or custom
  --start "MM/DD/YY HH:MM:SS"
                    first reading of a custom range (default: the oldest stored)
  --end "MM/DD/YY HH:MM:SS"
                    last reading of a custom range (default: the newest stored)
  --date-format FMT date format of the chart file: one of the Date Format menu's
                    formats, by its text ("dd/mm/yyyy hh:mm:ss") or its name (ddmmyy);
                    default the one in DATEFMT.DAT; not stored
  --out PATH        the chart file to write (not .zlx)
  --help            this text

Before anything is uploaded, a small file is written and removed in the folder of PATH;
a folder that cannot take it ends the job at once. When PATH cannot be saved after the
upload, the readings are saved as zantrel-upload-YYYYMMDD-HHMMSS.csv (with its duplicate)
in the current folder, or else in the temporary folder, and the tool says where.

Status texts and messages go to standard error. Exit status 0 only when the upload
completed and both files were written, 1 otherwise, 2 for a usage error.
)";

struct UploadOptions {
    QByteArray port;
    QByteArray out;
    bool channel1 = true;
    int range = RangeAllData;
    std::optional<double> start, end;
    std::optional<QByteArray> dateFormat;
};

std::optional<QByteArray> ResolveDateFormat(const QString& text) {
    const QByteArray latin1 = text.toLatin1();
    if (DateFormatItem(latin1) >= 0) return latin1;
    for (size_t i = 0; i < kDateFormatItemNames.size(); ++i)
        if (latin1 == kDateFormatItemNames[i]) return QByteArray(kDateFormats[i]);
    return std::nullopt;
}

QString DateFormatChoices() {
    QStringList choices;
    for (size_t i = 0; i < kDateFormats.size(); ++i)
        choices << QString("%1 (\"%2\")").arg(kDateFormatItemNames[i], kDateFormats[i]);
    return choices.join(", ");
}

// The options, or the usage error they make.
std::variant<UploadOptions, QString> ReadOptions(const CommandLine& line, CliContext& context) {
    UploadOptions o;
    if (!line.positional().isEmpty()) return "unexpected argument '" + line.positional()[0] + "'.";
    if (line.value("port").isEmpty()) return QString("--port PORT is required.");
    if (line.value("out").isEmpty()) return QString("--out PATH is required.");
    o.port = ArgumentBytes(line.value("port"));
    if (!FastBaudSupported(o.port))
        return "--port " + line.value("port") + ": the speed after the colon is not one the " +
               "serial line can run (" + QString::fromLatin1(LineSpeedsText()) + ").";
    o.out = context.absolutePath(line.value("out"));
    if (const QString problem = ChartPathProblem(o.out); !problem.isEmpty()) return problem;

    const QString channel = line.isSet("channel") ? line.value("channel") : "1";
    if (channel != "1" && channel != "2") return "--channel must be 1 or 2, not '" + channel + "'.";
    o.channel1 = channel == "1";

    const QStringList ranges = {"all", "last-month", "last-week", "custom"};
    const bool givesBounds = line.isSet("start") || line.isSet("end");
    const QString range = line.isSet("range") ? line.value("range")
                          : givesBounds       ? "custom"
                                              : "all";
    o.range = static_cast<int>(ranges.indexOf(range));
    if (o.range < 0)
        return "--range must be all, last-month, last-week or custom, not '" + range + "'.";
    if (givesBounds && o.range != RangeCustom)
        return QString("--start and --end need --range custom.");
    for (const char* bound : {"start", "end"}) {
        if (!line.isSet(bound)) continue;
        const auto t = ParseRangeTime(line.value(bound), context.clock);
        if (!t)
            return QString("--%1 must read \"MM/DD/YY HH:MM:SS\", not '%2'.")
                .arg(bound, line.value(bound));
        (QByteArray(bound) == "start" ? o.start : o.end) = t;
    }

    if (line.isSet("date-format")) {
        o.dateFormat = ResolveDateFormat(line.value("date-format"));
        if (!o.dateFormat)
            return "--date-format must be one of " + DateFormatChoices() + ", not '" +
                   line.value("date-format") + "'.";
    }
    return o;
}

// The upload panel and the Date Format setting as the user would leave them.
void Apply(const UploadOptions& o, HeadlessEngine& headless) {
    Engine& engine = headless.engine();
    State& s = engine.state();
    s.RadioButton1.setChecked(o.channel1);
    s.RadioButton2.setChecked(!o.channel1);
    s.upload_range_group.setValue(o.range);
    engine.session().upload_range_groupClick();
    if (o.range == RangeCustom) {
        // Bounds left out lie outside every logger's memory, so the header clamps them to
        // the oldest and the newest reading.
        const double start = o.start.value_or(0);
        const double end = o.end.value_or(*EncodeDate(9999, 12, 31));
        s.Startdate.setValue(std::floor(start));
        s.Starttime.setValue(start - std::floor(start));
        s.Enddate.setValue(std::floor(end));
        s.Endtime.setValue(end - std::floor(end));
    }
    if (o.dateFormat) {
        s.DATEFORMAT.setText(*o.dateFormat);
        engine.ApplyDateFormat();
    }
}

// The save failed after the upload: the readings go under a new name in the current folder,
// or else in the temporary folder, rather than being lost.
void SaveElsewhere(HeadlessEngine& headless, CliContext& context) {
    for (const QByteArray& folder : {context.folder, TemporaryFolder()}) {
        const QByteArray path = FallbackChartPath(folder, context.clock.now());
        if (!headless.saveChart(path)) continue;
        context.err << "zantrel-cli: --out could not be saved; the readings were saved as "
                    << path.constData() << " and its duplicate instead." << std::endl;
        return;
    }
    context.err << "zantrel-cli: the readings could not be saved anywhere." << std::endl;
}

int RunUpload(const QStringList& arguments, CliContext& context) {
    CommandLine line("upload", kHelp);
    for (const char* name : {"port", "channel", "range", "start", "end", "date-format", "out"})
        line.addValueOption(name, "value");
    if (const auto end = line.parse(arguments, context)) return *end;
    const auto read = ReadOptions(line, context);
    if (const QString* error = std::get_if<QString>(&read)) return line.usageError(context, *error);
    const UploadOptions& options = std::get<UploadOptions>(read);

    // Readings uploaded into a folder that cannot take them would be lost.
    if (const QString problem = OutputFolderProblem(options.out); !problem.isEmpty()) {
        context.err << "zantrel-cli: cannot write in the folder of --out (" << problem.toStdString()
                    << "); nothing was uploaded." << std::endl;
        return ExitJobFailed;
    }

    HeadlessEngine headless(context, options.port);
    if (!headless.portOpen()) {
        headless.reportPortNotOpen();
        return ExitJobFailed;
    }
    Apply(options, headless);
    if (!headless.upload()) return ExitJobFailed;
    if (headless.saveChart(options.out)) return ExitSuccess;
    SaveElsewhere(headless, context);
    return ExitJobFailed;
}

} // namespace

const Command kUploadCommand = {
    "upload", "upload one channel of a logger and save it as a chart file", RunUpload};

} // namespace zantrel
