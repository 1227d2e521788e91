// Parses arbitrary bytes as a chart file, as "Load Chart" does after reading the file, and
// checks what must hold after any parse: the store's lists stay parallel, and a failure gives
// one of the failure texts and no chart. An input that begins with "S" holds plain lines:
// those not beginning with "~" are scrambled behind "?" first, so that mutations reach the row
// reading, which scrambled bytes would hide from the fuzzer.
#include "files/chart_file_parse.h"
#include "files/scrambling.h"

#include <QByteArrayList>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

using namespace zantrel;

QByteArray Scrambled(const QByteArray& plain) {
    ScrambleState state;
    QByteArray out;
    for (QByteArray line : plain.split('\n')) {
        if (line.endsWith('\r')) line.chop(1);
        out += line.startsWith('~') ? line : '?' + ScrambleLine(state, line);
        out += "\r\n";
    }
    return out;
}

void Expect(bool condition) {
    if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QByteArray bytes = input.startsWith('S') ? Scrambled(input.mid(1)) : input;
    const ChartParse parse =
        ParseChartFile(std::string_view(bytes.constData(), bytes.size()), 2026);
    if (!parse.chart) {
        Expect(parse.failure == kDateFormatNotValid || parse.failure == kDataCorrupt ||
               parse.failure == kPlainChartFile);
        return 0;
    }
    const ReadingsStore& store = parse.chart->readings;
    Expect(store.ReadingTimes.size() == store.Temperatures.size());
    Expect(store.Humidities.empty() || store.Humidities.size() == store.Temperatures.size());
    // Every restored event belongs to a row.
    for (const std::vector<double>& events : store.Events)
        Expect(events.empty() || !store.ReadingTimes.empty());
    return 0;
}
