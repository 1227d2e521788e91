#include "archive/xlsx_export.h"

#include "archive/archive_rows.h"
#include "archive/export_failure.h"
#include "archive/text_export.h"
#include "files/atomic_file.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cstdio>

namespace zantrel {

namespace {

constexpr lxw_row_t kSheetRows = 1048576;
constexpr double kUnixEpochSerial = 25569.0; // 1970-01-01 as a spreadsheet date
constexpr double kMsPerDay = 86400000.0;

const char* const kColumns[] = {"time_utc", "local_time", "unit", "location",
                                "channel",  "celsius",    "rh",   "gap"};

// One workbook being filled, sheet after sheet.
class XlsxSheets {
  public:
    XlsxSheets(lxw_workbook* workbook, double unitWidth, double locationWidth)
        : workbook_(workbook), unitWidth_(unitWidth), locationWidth_(locationWidth) {
        bold_ = workbook_add_format(workbook);
        format_set_bold(bold_);
        date_ = workbook_add_format(workbook);
        format_set_num_format(date_, "yyyy-mm-dd hh:mm:ss");
    }

    void write(const ArchiveRows& file, const ArchiveReading& r) {
        if (!sheet_ || row_ == kSheetRows) addSheet();
        if (!sheet_) return;
        // The local time is the logger's clock: UTC plus the file's one offset.
        const double local = (r.utcMs + file.offsetSeconds() * 1000.0) / kMsPerDay;
        keep(
            worksheet_write_number(sheet_, row_, 0, r.utcMs / kMsPerDay + kUnixEpochSerial, date_));
        keep(worksheet_write_number(sheet_, row_, 1, local + kUnixEpochSerial, date_));
        if (!file.unit().isEmpty())
            keep(worksheet_write_string(sheet_, row_, 2, file.unit().constData(), nullptr));
        if (!file.location().isEmpty())
            keep(worksheet_write_string(sheet_, row_, 3, file.location().constData(), nullptr));
        keep(worksheet_write_number(sheet_, row_, 4, file.channel(), nullptr));
        if (r.celsius)
            keep(worksheet_write_number(sheet_, row_, 5, ShortestDouble(*r.celsius), nullptr));
        if (r.rh) keep(worksheet_write_number(sheet_, row_, 6, ShortestDouble(*r.rh), nullptr));
        keep(worksheet_write_number(sheet_, row_, 7, r.gap() ? 1 : 0, nullptr));
        ++row_;
    }
    lxw_error error() const { return error_; }
    // The library keeps the rows of each sheet in a temporary file and does not look at the
    // outcome of writing them: a full disk would leave a workbook cut short. Each sheet's file
    // is flushed and checked here, before the workbook is put together; errno says why not.
    bool rowsKept() const {
        for (lxw_worksheet* sheet : sheets_) {
            FILE* rows = sheet->optimize_tmpfile;
            if (rows && (std::fflush(rows) != 0 || std::ferror(rows))) return false;
        }
        return true;
    }

  private:
    void keep(lxw_error e) {
        if (e != LXW_NO_ERROR && error_ == LXW_NO_ERROR) error_ = e;
    }
    void addSheet() {
        const QByteArray name = sheets_.empty()
                                    ? QByteArray("Readings")
                                    : "Readings " + QByteArray::number(sheets_.size() + 1);
        sheet_ = workbook_add_worksheet(workbook_, name.constData());
        if (!sheet_) {
            error_ = LXW_ERROR_MEMORY_MALLOC_FAILED;
            return;
        }
        sheets_.push_back(sheet_);
        // Wide enough for a date and time, the longest unit and location, and each header.
        const double widths[] = {20, 20, unitWidth_, locationWidth_, 8, 8, 6, 5};
        for (lxw_col_t c = 0; c < 8; ++c)
            worksheet_set_column(sheet_, c, c, widths[c], nullptr);
        worksheet_freeze_panes(sheet_, 1, 0);
        for (lxw_col_t c = 0; c < 8; ++c)
            keep(worksheet_write_string(sheet_, 0, c, kColumns[c], bold_));
        row_ = 1;
    }

    lxw_workbook* workbook_;
    double unitWidth_;
    double locationWidth_;
    lxw_format* bold_ = nullptr;
    lxw_format* date_ = nullptr;
    lxw_worksheet* sheet_ = nullptr;
    lxw_row_t row_ = 0;
    std::vector<lxw_worksheet*> sheets_;
    lxw_error error_ = LXW_NO_ERROR;
};

} // namespace

ExportOutcome WriteXlsxExport(const std::vector<ArchiveRows>& files, const QByteArray& path) {
    ExportOutcome outcome;
    AtomicFile file(path);
    // The library writes the workbook itself: it gets the empty file beside the target.
    if (!file.open() || !file.finish()) {
        outcome.failure = CannotWriteText(path);
        return outcome;
    }
    double unitWidth = 6, locationWidth = 10;
    for (const ArchiveRows& rows : files) {
        unitWidth = std::max(unitWidth, rows.unit().size() + 2.0);
        locationWidth = std::max(locationWidth, rows.location().size() + 2.0);
    }
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE; // rows go to disk as written: a year fits in little memory
    lxw_workbook* workbook = workbook_new_opt(file.writtenPath().constData(), &options);
    if (!workbook) {
        outcome.failure = CannotWriteText(path);
        return outcome;
    }
    XlsxSheets sheets(workbook, unitWidth, std::min(locationWidth, 60.0));
    for (const ArchiveRows& rows : files) {
        ++outcome.files;
        rows.forEach([&](const ArchiveReading& r) {
            sheets.write(rows, r);
            ++(r.gap() ? outcome.gaps : outcome.readings);
        });
    }
    const QString lostRows = sheets.rowsKept() ? QString() : CannotWriteText(path);
    const lxw_error written = sheets.error();
    const lxw_error closed = workbook_close(workbook);
    if (!lostRows.isEmpty()) {
        outcome.failure = lostRows;
        return outcome;
    }
    if (written != LXW_NO_ERROR || closed != LXW_NO_ERROR) {
        outcome.failure = QString("Cannot write %1: %2.")
                              .arg(QString::fromLocal8Bit(path),
                                   lxw_strerror(written != LXW_NO_ERROR ? written : closed));
        return outcome;
    }
    if (!file.replace()) outcome.failure = CannotWriteText(path);
    return outcome;
}

} // namespace zantrel
