#include "archive/chart_archive.h"
#include "cli/archive_target.h"
#include "cli/cli.h"
#include "cli/command.h"
#include "cli/command_line.h"
#include "cli/utc_offset_options.h"

#include <string>
#include <variant>

namespace zantrel {

namespace {

const std::string kHelp = R"(Usage: zantrel-cli archive PATH... --to URL [OPTIONS]

Writes the readings of chart files (their encrypted duplicates, .zlx or .zxl, as loading
takes them) into an archive database: one row per reading, keyed by the ZL ID, the
channel and the time in UTC, and one row in "downloads" for each file that brought new
readings. A reading the archive holds already is left as it is, so archiving a file
again adds nothing. Each file goes in as one transaction; the chart files are only read.
The logger's clock does not follow daylight saving, so each file's times become UTC under
one offset: that of the time zone at the file's first reading, or the one given.

Options:
  --to URL                     the archive (required)
)" + std::string(kUtcOffsetOptionsHelp) +
                          R"(  --help                       this text

)" + std::string(kArchiveUrlHelp) +
                          R"(
For each file one line goes to standard output: "T1202603site.zlx: 2880 new readings of
2880, offset +01:00". Exit status 0 when every file was archived, 1 when any was not
(standard error says why), 2 for a usage error.
)";

int RunArchive(const QStringList& arguments, CliContext& context) {
    CommandLine line("archive", kHelp.c_str());
    line.addValueOption("to", "url");
    AddUtcOffsetOptions(line);
    if (const auto end = line.parse(arguments, context)) return *end;
    if (line.positional().isEmpty())
        return line.usageError(context, "give one or more chart files to archive.");
    if (!line.isSet("to")) return line.usageError(context, "--to URL is required.");
    const auto url = ReadArchiveUrl(line.value("to"), context);
    if (const QString* error = std::get_if<QString>(&url)) return line.usageError(context, *error);
    const auto rule = ReadUtcOffsetOptions(line);
    if (const QString* error = std::get_if<QString>(&rule)) return line.usageError(context, *error);

    ChartArchive archive(std::get<ArchiveUrl>(url));
    if (!archive.failure().isEmpty()) {
        context.err << "zantrel-cli: cannot open the archive " << line.value("to").toStdString()
                    << ": " << archive.failure().toStdString() << "; nothing was archived."
                    << std::endl;
        return ExitJobFailed;
    }
    const int64_t now = CliNowUtcMs(context);
    const int year = CliCurrentYear(context);
    bool all = true;
    for (const QByteArray& path : line.positionalPaths(context)) {
        const FileArchived done =
            archive.archiveFile(path, std::get<UtcOffsetRule>(rule), now, year);
        if (!done.failure.isEmpty()) {
            all = false;
            context.err << "zantrel-cli: " << done.file.constData()
                        << " was not archived: " << done.failure.toStdString() << std::endl;
            continue;
        }
        context.out << done.file.constData() << ": " << done.added << " new readings of "
                    << done.readings << ", offset " << UtcOffsetText(done.offsetSeconds).constData()
                    << std::endl;
    }
    return all ? ExitSuccess : ExitJobFailed;
}

} // namespace

const Command kArchiveCommand = {
    "archive", "write chart files' readings into an SQLite or PostgreSQL archive", RunArchive};

} // namespace zantrel
