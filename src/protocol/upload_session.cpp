#include "protocol/upload_session.h"

#include "chart/chart_model.h"
#include "chart/readings_store.h"
#include "core/calendar.h"
#include "core/channel_header.h"
#include "core/clock.h"
#include "core/date_rendering.h"
#include "core/format_settings.h"
#include "core/host.h"
#include "core/sample_rate.h"
#include "core/state.h"
#include "link/port_text.h"
#include "link/serial_link.h"
#include "protocol/packet_decoder.h"
#include "protocol/upload_blocks.h"

#include <cmath>

namespace zantrel {

namespace {
constexpr int kMaxBlock = 1500;
constexpr const char* kEndFastSession = "BD00000000";
} // namespace

QByteArray BlockCountField(int count) {
    QByteArray field;
    for (int limit : {1, 10, 100, 1000, 10000, 100000})
        if (count < limit) field += '0';
    return field + QByteArray::number(count);
}

UploadSession::UploadSession(State& state, HeaderValues& header, UploadBlocks& blocks,
                             ReadingsStore& readings, ChartModel& chart, SerialLink& link,
                             PacketDecoder& decoder, FormatSettings& formats, Clock& clock,
                             Host& host)
    : state_(state), header_(header), blocks_(blocks), readings_(readings), chart_(chart),
      link_(link), decoder_(decoder), formats_(formats), clock_(clock), host_(host) {}

void UploadSession::UploadDataClick() {
    state_.Watchdog.stamp(clock_);
    state_.DataLoaded.clear();
    if (ClearBuffer) ClearBuffer();
    // What comes in is held by no file until it is saved.
    state_.UnsavedReadings.tick();
    // Nothing is known of the total until the header has arrived.
    state_.ProgressTotal = 0;
    state_.Progress.setValue(0);
    chart_.BottomAxis.setAutomatic(true);
    chart_.LeftAxis.setAutomatic(true);
    state_.UploadData.setEnabled(false);
    state_.AbortUpload.setEnabled(true);
    state_.RadioButton1.setEnabled(false);
    state_.RadioButton2.setEnabled(false);
    state_.Startloadingheader.tick();
    state_.WaitOnFastAck.clear();
    state_.FastBaud.clear();
    link_.COMPORTChange();
    state_.Edit1.setText("REQUESTING HEADER INFO...PLEASE WAIT...");
    host_.repaint();
    link_.SendByte('?');
}

void UploadSession::endFastSession() {
    if (!state_.FastBaud.checked()) return;
    send(kEndFastSession);
    state_.FastBaud.clear();
    link_.COMPORTChange();
}

void UploadSession::AbortUploadClick() {
    state_.restoreIdleControls();
    state_.clearPhaseFlags();
    state_.WaitOnFastAck.clear();
    endFastSession();
    // The readings received stay, marked as short of the total the header announced.
    const int received = readingsSoFar();
    if (received > 0 && received < blocks_.TotalReadings)
        state_.UploadIncomplete.setText("incomplete: " + QByteArray::number(received) + " of " +
                                        QByteArray::number(blocks_.TotalReadings) + " readings");
    QByteArray status = "UPLOAD ABORTED BY USER";
    if (!state_.UploadIncomplete.isEmpty()) status += " - " + state_.UploadIncomplete.text();
    state_.Edit1.setText(status);
}

void UploadSession::upload_range_groupClick() {
    const int item = static_cast<int>(state_.upload_range_group.value());
    const bool custom = item == RangeCustom;
    for (Control* picker : {&state_.Startdate, &state_.Starttime, &state_.Enddate, &state_.Endtime})
        picker->setEnabled(custom);
    if (custom) return;
    if (item != RangeLastMonth && item != RangeLastWeek) return;
    const double now = RoundToSecond(clock_.now());
    const double today = std::floor(now);
    state_.Enddate.setValue(today);
    state_.Endtime.setValue(now - today);
    state_.Startdate.setValue(item == RangeLastMonth ? AddMonths(today, -1) : today - 7);
    state_.Starttime.setValue(state_.Endtime.value());
}

void UploadSession::StartloadingdataClick() {
    if (state_.LoggerVersion != 2) return;
    if (state_.RadioButton1.checked())
        state_.RHZL.set(header_.Channels[0].SensorCount >= 2);
    else
        state_.RHZL.set(header_.Channels[1].SensorCount > 1);
}

double UploadSession::rangeStart() const {
    return PickerDateTime(state_.Startdate, state_.Starttime);
}

double UploadSession::rangeEnd() const {
    return PickerDateTime(state_.Enddate, state_.Endtime);
}

double UploadSession::readingInterval() const {
    bool ok = false;
    const double rate = state_.Samplesperhour.text().toDouble(&ok);
    return ok ? IntervalFromSamplesPerHour(rate) : 0;
}

int UploadSession::readingsSoFar() const {
    return static_cast<int>(readings_.Temperatures.size());
}

void UploadSession::Memo1Change() {
    if (state_.Memo1.text() != "<>") return;
    const double start = rangeStart();
    const double end = rangeEnd();
    const double interval = readingInterval();
    // The readings at start, start + interval, ... up to and including end: a range from the
    // oldest to the newest stored reading counts every one of them, and an end between two
    // readings takes none after it.
    const double total =
        interval == 0 || end < start ? 0 : std::floor((end - start) / interval + 1e-6) + 1;
    blocks_.TotalReadings = total > 0 && total < 1e9 ? static_cast<int>(total) : 0;

    if (blocks_.TotalReadings <= 0) {
        state_.Errorindata.tick();
        state_.Edit1.setText("UPLOAD CANCELLED. Invalid date/time range specified.");
        state_.restoreIdleControls();
        endFastSession();
        return;
    }
    state_.ProgressTotal = blocks_.TotalReadings;
    state_.Progress.setValue(readingsSoFar());
    if (readingsSoFar() >= blocks_.TotalReadings) {
        completeUpload();
        return;
    }
    state_.Edit1.setText("Reading " + QByteArray::number(readingsSoFar()) + " of " +
                         QByteArray::number(blocks_.TotalReadings));
    nextBlock();
}

void UploadSession::completeUpload() {
    if (chart_.Series1.PointCount() == 0) {
        chart_.Series1.AddPoint(chart_.NoDataTime, 0, "No data", kGrey);
        if (!state_.RHZL.checked()) {
            chart_.Series2.ClearPoints();
            chart_.Series2.AddPoint(chart_.NoDataTime, 0, "No data", kGrey);
        }
    }
    if (state_.RHZL.checked() && chart_.Series2.PointCount() == 0)
        chart_.Series2.AddPoint(chart_.NoDataTime, 0, "No data", kGrey);
    state_.Edit1.setText("DATA LOADED");
    state_.restoreIdleControls();
    state_.DataLoaded.tick();
    endFastSession();
}

void UploadSession::nextBlock() {
    const double interval = readingInterval();
    if (state_.Readyfornextblock.checked()) {
        if (state_.Errorindata.checked()) {
            blocks_.BlockRepeats += 1;
            blocks_.BlockStart = blocks_.SavedBlockStart;
        } else {
            // Counted from the range start, so the one-second step past each block's end
            // never adds up into a skipped reading.
            blocks_.BlockStart = rangeStart() + readingsSoFar() * interval + kOneSecond;
            blocks_.SavedBlockStart = blocks_.BlockStart;
            blocks_.BlockRepeats = 0;
        }
    } else {
        blocks_.BlockStart = rangeStart();
        blocks_.SavedBlockStart = blocks_.BlockStart;
        blocks_.BlockRepeats = 0;
    }
    const int remaining = blocks_.TotalReadings - readingsSoFar();
    const int n = remaining > kMaxBlock ? kMaxBlock : remaining;
    state_.Readyfornextblock.set(remaining > kMaxBlock);
    blocks_.BlockEnd = blocks_.BlockStart + interval * n;
    // The bounds travel in text form with no fraction of a second. They are kept as numbers
    // too: reading the text back under another short date format (a retry runs after the
    // header's format was restored) would give another date.
    blocks_.RequestStart = wholeSecond(blocks_.BlockStart);
    blocks_.RequestEnd = wholeSecond(blocks_.BlockEnd);
    const QByteArray format = formats_.shortDateFormat + " hh:mm:ss";
    blocks_.BlockStartText = FormatDateTime(format, blocks_.RequestStart, formats_.dateSeparator,
                                            formats_.timeSeparator);
    blocks_.BlockEndText =
        FormatDateTime(format, blocks_.RequestEnd, formats_.dateSeparator, formats_.timeSeparator);
    requestBlock();
}

double UploadSession::wholeSecond(double t) {
    return std::floor(t * kSecondsPerDay + 1e-6) / kSecondsPerDay;
}

void UploadSession::repeatBlock() {
    blocks_.BlockRepeats += 1;
    blocks_.BlockStart = blocks_.SavedBlockStart;
    requestBlock();
}

void UploadSession::requestBlock() {
    const bool channel1 = state_.RadioButton1.checked();
    const int version = state_.LoggerVersion;
    const QByteArray channelField =
        version == 1 ? (channel1 ? "1" : "2") : (channel1 ? "001" : "002");
    const double rate = header_.channel(channel1).StoredPerHour;
    state_.CaptionSuffix = channel1 ? "Channel 1" : "Channel 2";
    state_.Caption.setText(state_.BaseCaption + " | " + state_.CaptionSuffix);

    const double start = blocks_.RequestStart;
    const double end = blocks_.RequestEnd;
    blocks_.DataRequest = channelField + FormatDateTime("mmddyyhhnnss", start);
    const double count = std::nearbyint((end - start) * (24.0 * rate));
    blocks_.BlockCount = count > 0 && count < 1e7 ? static_cast<int>(count) : 0;
    blocks_.DataRequest += BlockCountField(blocks_.BlockCount);

    state_.Startloadingheader.clear();
    state_.Headerloaded.tick();
    state_.Memo5.clear();

    const QByteArray speedPart = FastBaudFromPort(state_.COMPORT.text());
    // A session already at the fast rate (a repeated block) never switches again.
    if (version == 2 && blocks_.BlockRepeats == 0 && !state_.FastBaud.checked() &&
        blocks_.BlockStart == rangeStart() && speedPart != "19200") {
        state_.Errorindata.clear();
        const int speed = speedPart.isEmpty() ? 57600 : speedPart.toInt();
        const QByteArray digits = QByteArray::number(speed).rightJustified(6, '0');
        blocks_.FastBaudCommand = "B" + digits + "T" + "05";
        state_.WaitOnFastAck.tick();
        state_.Edit1.setText("Attempting " + QByteArray::number(speed) + " baud rate...");
        state_.Watchdog.stamp(clock_);
        send(blocks_.FastBaudCommand);
        return;
    }
    startDataPhase();
    clock_.sleep(10);
    if (version == 1)
        link_.SendByte(static_cast<unsigned char>(blocks_.DataRequest[0]));
    else
        send(blocks_.DataRequest);
}

void UploadSession::startDataPhase() {
    state_.Errorindata.clear();
    state_.Startloadingdata.tick();
    state_.Watchdog.stamp(clock_);
    state_.Edit1.setText("RECEIVING DATA...PLEASE WAIT...(packet>" + blocks_.DataRequest + ")");
    state_.WaitingForAck.tick();
}

void UploadSession::Memo5Change() {
    const QByteArray text = state_.Memo5.text();
    const int version = state_.LoggerVersion;
    if (version == 2 && state_.WaitOnFastAck.checked() && text.size() >= 2) {
        state_.WaitOnFastAck.clear();
        if (text.startsWith("62")) speedAcknowledged();
        return;
    }
    if (state_.Startloadingdata.checked() && state_.WaitingForAck.checked()) {
        const bool acknowledged =
            version == 1 ? text.size() >= 4 && text.mid(2, 2) == "2B" : text.startsWith("2B");
        if (acknowledged) blockAcknowledged();
    }
    decoder_.decode();
}

void UploadSession::speedAcknowledged() {
    state_.FastBaud.tick();
    link_.COMPORTChange();
    clock_.sleep(100);
    state_.Memo5.clear();
    startDataPhase();
    clock_.sleep(100);
    send(blocks_.DataRequest);
}

void UploadSession::blockAcknowledged() {
    state_.UploadData.setEnabled(false);
    state_.AbortUpload.setEnabled(true);
    state_.RadioButton1.setEnabled(false);
    state_.RadioButton2.setEnabled(false);
    state_.WaitingForAck.clear();
    if (state_.LoggerVersion != 1) return;
    for (qsizetype i = 1; i < blocks_.DataRequest.size(); ++i) {
        clock_.sleep(10);
        link_.SendByte(static_cast<unsigned char>(blocks_.DataRequest[i]));
    }
}

void UploadSession::send(const QByteArray& bytes) {
    for (char c : bytes)
        link_.SendByte(static_cast<unsigned char>(c));
}

} // namespace zantrel
