#pragma once

namespace zantrel {

class Clock;
struct State;
struct HeaderValues;
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

private:
    State& state_;
    HeaderValues& header_;
    FormatSettings& formats_;
    Clock& clock_;
};

} // namespace zantrel
