#include "files/chart_file_writer.h"

#include "chart/chart_presenter.h"
#include "chart/date_format_labels.h"
#include "chart/readings_store.h"
#include "core/clock.h"
#include "core/dialogs.h"
#include "core/format_settings.h"
#include "core/state.h"
#include "core/user_info.h"
#include "files/atomic_file.h"
#include "files/chart_rows.h"
#include "files/encrypted_duplicate.h"

#include <algorithm>
#include <vector>

namespace zantrel {

namespace {

constexpr const char* kCannotSave = "Cannot save file. Check name or folder rights.";
constexpr const char* kDuplicateExtension = "Cannot save a chart file with the extension .zlx: "
                                            "that name is kept for its encrypted duplicate.";

} // namespace

ChartFileWriter::ChartFileWriter(State& state, const ReadingsStore& readings, ChartModel& chart,
                                 ChartPresenter& presenter, EncryptedDuplicate& duplicate,
                                 Dialogs& dialogs, Clock& clock, FormatSettings& formats)
    : state_(state), readings_(readings), chart_(chart), presenter_(presenter),
      duplicate_(duplicate), dialogs_(dialogs), clock_(clock), formats_(formats) {}

void ChartFileWriter::SaveChartFile() {
    ForcedSeparators separators(formats_);
    ApplyDateFormat(state_, chart_);
    const std::optional<QByteArray> chosen = dialogs_.saveFile();
    if (!chosen) return;
    const QByteArray path = *chosen;
    if (EncryptedDuplicate::hasDuplicateExtension(path)) {
        problem(kDuplicateExtension);
        return;
    }
    State& s = state_;
    s.Edit2.setText(path);

    AtomicFile file(path);
    if (!file.open()) {
        problem(kCannotSave);
        return;
    }
    s.UserName = s.Form5.UserInfo.text();
    s.UserLocation = s.Form5.UserLocation.text();
    s.UnitId = s.Form5.ZLInfo.text();
    presenter_.UpdateChartFoot();

    const QByteArray dateFormat = s.DATEFORMAT.text();
    file.append(DateFormatAndCreationLines(dateFormat, clock_.now()));
    const QByteArray userBlock =
        ComposeUserInformation(s.UserName, s.UserLocation, s.UnitId, s.SoftwareVersion);
    file.append(userBlock);
    // The readings of an aborted upload say so wherever they go.
    if (!s.UploadIncomplete.isEmpty())
        file.append("~Upload: " + s.UploadIncomplete.text() + "\r\n");
    file.append(ColumnHeaderLines(dateFormat));
    writeRows(file, dateFormat);
    if (!file.finish()) {
        problem(kCannotSave);
        return;
    }
    // Both files are complete before either is put in place: a chart file never stands
    // beside a duplicate that does not match it.
    AtomicFile duplicate(EncryptedDuplicate::duplicateName(path));
    if (!duplicate_.writeBeside(file.writtenPath(), duplicate, dateFormat, userBlock)) return;
    if (!file.replace() || !duplicate.replace()) {
        problem(kCannotSave);
        return;
    }
    s.Edit1.setText("File saved.");
    s.UnsavedReadings.clear();
    s.SecureData.setVisible(false);
    s.LockImage.setVisible(false);
    duplicate_.showSaved();

    QByteArray caption = s.BaseCaption + " | " + path;
    if (!s.CaptionSuffix.isEmpty()) caption += " | " + s.CaptionSuffix;
    s.Caption.setText(caption);
}

void ChartFileWriter::writeRows(AtomicFile& file, const QByteArray& dateFormat) {
    const ReadingsStore& store = readings_;
    const std::vector<double>& times = store.ReadingTimes;
    const std::vector<float>& temperatures = store.Temperatures;
    const std::vector<float>& humidities = store.Humidities;
    const std::size_t rows = std::min(times.size(), temperatures.size());

    const ChartRowFormatter format(dateFormat, state_.RHZL.checked());
    EventCursors events(store);
    std::vector<char> row(format.maxLength());
    for (std::size_t i = 0; i < rows; ++i) {
        const float* humidity = i < humidities.size() ? &humidities[i] : nullptr;
        char* end = format.writeReading(row.data(), times[i], temperatures[i], humidity);
        EventCursors::Counts counts = events.take(times[i]);
        // Readings fresh from the logger count a new sensor on their first row; a loaded
        // chart already holds that event and is written as it came.
        if (i == 0 && state_.FreshData.checked()) ++counts[NewSensor];
        end = ChartRowFormatter::writeLineEnd(ChartRowFormatter::writeCounts(end, counts));
        file.append(row.data(), end - row.data());
    }
}

void ChartFileWriter::problem(const QByteArray& text) {
    dialogs_.problem(text);
    state_.Edit1.setText(text);
}

} // namespace zantrel
