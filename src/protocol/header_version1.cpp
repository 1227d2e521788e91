// The header of older loggers: "<1>" LF, twelve bare fields for channel 1, "2" CR LF and
// twelve fields for channel 2, each field ended by CR LF. The 38-line form of humidity
// models carries twelve more lines that are not interpreted.
#include "core/channel_header.h"
#include "protocol/header_parse.h"
#include "protocol/header_scan.h"

namespace zantrel {

namespace {

constexpr double kLowestValue = -273.15;
constexpr double kHighestValue = 9999;
constexpr int kHighestRate = 9999;
constexpr int kLongestRawText = 8;
constexpr int kDateTimeLength = 8;

class Version1Reader {
  public:
    Version1Reader(const QByteArray& text, HeaderValues& header) : text_(text), header_(header) {}

    HeaderOutcome read();

  private:
    // The characters from the current position up to the next CR (or, for the header's last
    // field, also an LF) or the end; the position then moves two characters past the CR.
    QByteArray nextField(bool lastOfHeader = false);
    void check(bool ok) {
        if (!ok) outcome_.fieldError = true;
    }
    void readChannel(ChannelHeader& channel, bool lastOfHeader);
    void readRawText(QByteArray& text);
    void readValue(float& value, bool firstValue);
    void readRate(float& rate);

    const QByteArray& text_;
    HeaderValues& header_;
    qsizetype index_ = 0; // 0-based
    HeaderOutcome outcome_;
};

HeaderOutcome Version1Reader::read() {
    if (text_.size() < 2 || text_[1] != '1') {
        outcome_.fieldError = true;
        outcome_.stopMessage = "DATA NOT VALID, <1> EXPECTED";
        return outcome_;
    }
    index_ = 4; // after "<1>" LF
    readChannel(header_.Channels[0], false);
    if (index_ + 1 >= text_.size() || text_[index_] != '2' || text_[index_ + 1] != '\r') {
        outcome_.fieldError = true;
        outcome_.stopMessage = "DATA NOT VALID, 2<cr> EXPECTED";
        return outcome_;
    }
    index_ += 3;
    readChannel(header_.Channels[1], true);
    return outcome_;
}

QByteArray Version1Reader::nextField(bool lastOfHeader) {
    if (index_ >= text_.size()) return {};
    qsizetype end = index_;
    while (end < text_.size() && text_[end] != '\r' && !(lastOfHeader && text_[end] == '\n'))
        ++end;
    const QByteArray field = text_.mid(index_, end - index_);
    index_ = end + 2;
    return field;
}

void Version1Reader::readChannel(ChannelHeader& channel, bool lastOfHeader) {
    readRawText(channel.Raw1Text);
    readValue(channel.Value1, true);
    readRawText(channel.Raw2Text);
    readValue(channel.Value2, false);
    channel.Note = nextField();
    readRate(channel.StoredPerHour);
    readRate(channel.SamplesPerHour);
    channel.StorageText = nextField();
    QByteArray* const dateTimes[] = {&channel.LastDate, &channel.LastTime, &channel.FirstDate,
                                     &channel.FirstTime};
    for (QByteArray* text : dateTimes) {
        const QByteArray field = nextField(lastOfHeader && text == dateTimes[3]);
        const bool ok = field.size() == kDateTimeLength;
        if (ok) *text = field;
        check(ok);
    }
}

void Version1Reader::readRawText(QByteArray& text) {
    const QByteArray field = nextField();
    const bool ok = !field.isEmpty() && field.size() <= kLongestRawText;
    if (ok) text = field;
    check(ok);
}

// A number from -273.15 to 9999, a leading "+" allowed. As a channel's first value the exact
// text "+2322.11875" stands for 1774.78125.
void Version1Reader::readValue(float& value, bool firstValue) {
    QByteArray field = nextField();
    if (firstValue && field == "+2322.11875") field = "1774.78125";
    if (field.startsWith('+')) field[0] = ' ';
    const auto number = ReadDecimalField(field);
    const bool ok = number && *number >= kLowestValue && *number <= kHighestValue;
    if (ok) value = static_cast<float>(*number);
    check(ok);
}

// A whole number of readings per hour, 1 to 9999.
void Version1Reader::readRate(float& rate) {
    const auto number = ReadIntegerField(nextField());
    const bool ok = number && *number > 0 && *number <= kHighestRate;
    if (ok) rate = static_cast<float>(*number);
    check(ok);
}

} // namespace

HeaderOutcome ParseVersion1Header(const QByteArray& text, HeaderValues& header) {
    return Version1Reader(text, header).read();
}

} // namespace zantrel
