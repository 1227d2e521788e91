// Loads arbitrary bytes as a chart file through the engine, as "Load Chart" would, and checks
// what must hold after any load: the store's lists stay parallel, a failed load leaves it empty,
// and the separators and short date format come back. An input that begins with "S" holds
// plain lines: those not beginning with "~" are scrambled behind "?" first, so that mutations
// reach the row reading, which scrambled bytes would hide from the fuzzer.
#include "app/engine.h"
#include "fake_host.h"
#include "files/scrambling.h"
#include "test_clock.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

using namespace zantrel;

// One engine for the whole run, started without a port in a folder of its own.
struct Harness {
    QTemporaryDir dir;
    TestClock clock;
    FakeHost host;
    Engine engine{clock, host};
    QByteArray path = dir.filePath("input.zlx").toLocal8Bit();

    Harness() { engine.FormCreate(dir.path().toLocal8Bit(), {}, QByteArray("NA")); }
};

Harness& TheHarness() {
    static Harness* harness = new Harness; // lives for the whole run
    return *harness;
}

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
    Harness& h = TheHarness();
    QFile file(QString::fromLocal8Bit(h.path));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    file.write(input.startsWith('S') ? Scrambled(input.mid(1)) : input);
    file.close();

    FormatSettings& formats = h.engine.formats();
    formats.decimalSeparator = ',';
    formats.thousandSeparator = '.';
    formats.dateSeparator = '-';
    formats.timeSeparator = '.';
    formats.shortDateFormat = "dd.mm.yyyy";
    h.engine.loader().LoadChartFile(h.path);

    const ReadingsStore& store = h.engine.readings();
    Expect(store.ReadingTimes.size() == store.Temperatures.size());
    Expect(store.Humidities.empty() || store.Humidities.size() == store.Temperatures.size());
    if (h.engine.state().Edit1.text() == "Error in file. Data is corrupt.")
        Expect(store.Temperatures.empty() && store.Humidities.empty());
    Expect(formats.decimalSeparator == ',' && formats.thousandSeparator == '.');
    Expect(formats.dateSeparator == '-' && formats.timeSeparator == '.');
    Expect(formats.shortDateFormat == "dd.mm.yyyy");
    return 0;
}
