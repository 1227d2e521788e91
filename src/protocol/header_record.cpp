#include "protocol/header_record.h"

#include "core/calendar.h"
#include "core/channel_header.h"
#include "core/clock.h"
#include "core/date_parsing.h"
#include "core/date_rendering.h"
#include "core/format_settings.h"
#include "core/state.h"
#include "protocol/header_parse.h"
#include "protocol/header_scan.h"

#include <cmath>

namespace zantrel {

namespace {

constexpr const char* kHeaderDateFormat = "mm/dd/yy";
constexpr const char* kHeaderTimeFormat = "hh:mm:ss";
constexpr const char* kHeaderError = "ERROR IN HEADER DATA.  UPLOAD CANCELLED.";
// Two-digit years are read around this year should the clock ever give no valid date.
constexpr int kFallbackYear = 2000;

struct DayAndTime {
    double day;  // whole days
    double time; // fraction of a day, whole seconds
};

DayAndTime Split(double t) {
    const double rounded = RoundToSecond(t);
    const double day = std::floor(rounded);
    return {day, std::round((rounded - day) * kSecondsPerDay) / kSecondsPerDay};
}

void SetPickers(Control& date, Control& time, double t) {
    const DayAndTime parts = Split(t);
    date.setValue(parts.day);
    time.setValue(parts.time);
}

int SecondOfDay(double t) {
    const auto f = DecodeDateTime(t);
    return f ? (f->hour * 60 + f->minute) * 60 + f->second : 0;
}

} // namespace

HeaderRecord::HeaderRecord(State& state, HeaderValues& header, FormatSettings& formats,
                           Clock& clock)
    : state_(state), header_(header), formats_(formats), clock_(clock) {}

void HeaderRecord::Memo2Change() {
    // The reader appends the header in pieces; only the complete header is parsed.
    if (!state_.Headerloaded.checked() || !state_.Startloadingheader.checked() ||
        state_.Errorindata.checked() || state_.Memo2.isEmpty())
        return;
    state_.UploadData.setEnabled(false);
    state_.AbortUpload.setEnabled(true);
    state_.RadioButton1.setEnabled(false);
    state_.RadioButton2.setEnabled(false);
    const ForcedSeparators separators(formats_);

    const QByteArray text = state_.Memo2.text();
    const HeaderOutcome outcome = state_.LoggerVersion == 2 ? ParseVersion2Header(text, header_)
                                                            : ParseVersion1Header(text, header_);
    if (!outcome.stopMessage.isEmpty()) {
        CancelUpload(outcome.stopMessage);
        return;
    }

    const ChannelHeader& channel = header_.channel(state_.channel1Selected());
    double first = 0, last = 0;
    if (!outcome.valid() || !readHeaderDateTime(channel.FirstDate, channel.FirstTime, first) ||
        !readHeaderDateTime(channel.LastDate, channel.LastTime, last)) {
        CancelUpload(kHeaderError);
        return;
    }

    publishChannel(channel);
    const ScopedShortDateFormat dateFormat(formats_, kHeaderDateFormat);
    deriveRange(first, last);
    if (!checkRange(first, last)) return;
    // The block loop runs inside this write, with the header formats still installed.
    state_.Memo1.clear();
    state_.Memo1.setText("<>");
}

void HeaderRecord::reset() {
    for (auto& channel : header_.Channels)
        channel.resetCounters();
}

void HeaderRecord::CancelUpload(const QByteArray& status) {
    state_.Edit1.setText(status);
    state_.Errorindata.tick();
    state_.restoreIdleControls();
}

void HeaderRecord::publishChannel(const ChannelHeader& channel) {
    state_.Samplesperhour.setText(ShortestText(channel.StoredPerHour));
    state_.Firstdate.setText(channel.FirstDate);
    state_.Firsttime.setText(channel.FirstTime);
    state_.Lastdate.setText(channel.LastDate);
    state_.Lasttime.setText(channel.LastTime);
    if (state_.LoggerVersion == 2) {
        const SensorHeader& temperature = channel.Sensors[0];
        header_.SampleHexDigits = 2 * temperature.Bits / 8;
        const double percent = std::floor(double(temperature.IirPercent) * 100 + 0.5) / 100;
        state_.Datastored.setText("IIR filter " + ShortestText(percent) + "% last output");
    } else {
        header_.SampleHexDigits = static_cast<int>(channel.Raw1Text.size());
        state_.Datastored.setText(channel.StorageText);
    }
}

void HeaderRecord::deriveRange(double first, double last) {
    const double selected = state_.upload_range_group.value();
    // Anything but the four items keeps the pickers, as "Custom" does.
    const int item = selected >= 0 && selected <= 3 ? static_cast<int>(selected) : RangeCustom;
    if (item == RangeAllData) {
        SetPickers(state_.Startdate, state_.Starttime, first);
        SetPickers(state_.Enddate, state_.Endtime, last);
    } else if (item == RangeLastMonth || item == RangeLastWeek) {
        SetPickers(state_.Enddate, state_.Endtime, last);
        const double endDay = state_.Enddate.value();
        state_.Startdate.setValue(item == RangeLastMonth ? AddMonths(endDay, -1) : endDay - 7);
        state_.Starttime.setValue(state_.Endtime.value());
    }
    // "Custom" keeps what the user entered.

    if (state_.InitAutoload.checked()) {
        // An automatic download continues where the monthly files end.
        state_.upload_range_group.setValue(RangeCustom);
        for (Control* picker :
             {&state_.Startdate, &state_.Starttime, &state_.Enddate, &state_.Endtime})
            picker->setEnabled(true);
        SetPickers(state_.Startdate, state_.Starttime, ResumeTimeFromMonthlyFiles(first, last));
        SetPickers(state_.Enddate, state_.Endtime, last);
    }
    clampRange(first, last);
}

void HeaderRecord::clampRange(double first, double last) {
    const DayAndTime oldest = Split(first);
    const double startDay = std::floor(state_.Startdate.value());
    if (startDay < oldest.day)
        SetPickers(state_.Startdate, state_.Starttime, first);
    else if (startDay == oldest.day &&
             SecondOfDay(state_.Starttime.value()) < SecondOfDay(oldest.time))
        state_.Starttime.setValue(oldest.time);

    const DayAndTime newest = Split(last);
    const double endDay = std::floor(state_.Enddate.value());
    if (endDay > newest.day)
        SetPickers(state_.Enddate, state_.Endtime, last);
    else if (endDay == newest.day && SecondOfDay(state_.Endtime.value()) > SecondOfDay(newest.time))
        state_.Endtime.setValue(newest.time);
}

bool HeaderRecord::checkRange(double first, double last) {
    const auto readBack = [this](const Control& date, const Control& time, double& value) {
        return readHeaderDateTime(FormatDateTime(kHeaderDateFormat, date.value(),
                                                 formats_.dateSeparator, formats_.timeSeparator),
                                  FormatDateTime(kHeaderTimeFormat, time.value(),
                                                 formats_.dateSeparator, formats_.timeSeparator),
                                  value);
    };
    double start = 0, end = 0;
    if (!readBack(state_.Startdate, state_.Starttime, start) || start < first) {
        CancelUpload("UPLOAD CANCELLED - Start date or time out of range");
        return false;
    }
    if (!readBack(state_.Enddate, state_.Endtime, end) || end > last) {
        CancelUpload("UPLOAD CANCELLED - End date or time out of range");
        return false;
    }
    return true;
}

bool HeaderRecord::readHeaderDateTime(const QByteArray& date, const QByteArray& time,
                                      double& value) const {
    if (time.trimmed().isEmpty()) return false;
    const auto parsed = ParseDateTime(date + ' ' + time, kHeaderDateFormat, currentYear(),
                                      formats_.dateSeparator, formats_.timeSeparator);
    if (!parsed) return false;
    value = *parsed;
    return true;
}

int HeaderRecord::currentYear() const {
    const auto now = DecodeDateTime(clock_.now());
    return now ? now->year : kFallbackYear;
}

} // namespace zantrel
