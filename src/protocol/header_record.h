#pragma once

#include <QByteArray>
#include <functional>

namespace zantrel {

class Clock;
struct State;
struct HeaderValues;
struct ChannelHeader;
struct FormatSettings;

// Parses the logger's header record in the header slot, checks it, stores both channels,
// publishes the selected channel, derives and checks the upload range and hands over to
// the block loop by writing "<>" into the next-block slot.
class HeaderRecord {
  public:
    HeaderRecord(State& state, HeaderValues& header, FormatSettings& formats, Clock& clock);

    // Change handler of the header slot Memo2.
    void Memo2Change();
    // The reset at the start of each session.
    void reset();

    // Where an automatic download resumes, given the date-times of the oldest and the newest
    // reading the logger holds; the monthly files supply it.
    std::function<double(double firstReading, double lastReading)> ResumeTimeFromMonthlyFiles =
        [](double first, double) { return first; };

  private:
    // Ends the session with a status text: Errorindata ticked, the upload controls back.
    void CancelUpload(const QByteArray& status);
    void publishChannel(const ChannelHeader& channel);
    // Sets the range pickers from the range choice, the oldest reading first and the newest
    // reading last, then keeps them inside first..last.
    void deriveRange(double first, double last);
    void clampRange(double first, double last);
    // The range as the pickers show it, read back; cancels the upload when it is outside.
    bool checkRange(double first, double last);
    // The date-time of a header's "mm/dd/yy" date and "hh:mm:ss" time texts.
    bool readHeaderDateTime(const QByteArray& date, const QByteArray& time, double& value) const;
    int currentYear() const;

    State& state_;
    HeaderValues& header_;
    FormatSettings& formats_;
    Clock& clock_;
};

} // namespace zantrel
