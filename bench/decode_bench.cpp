// Time to decode, store and draw one full block of temperature and humidity readings as the
// reader delivers it (50 bytes per read, 100 hexadecimal characters per append), against the
// time the block takes on the wire at 57600 baud.
#include "bench_measure.h"
#include "chart/readings_store.h"
#include "core/channel_header.h"
#include "core/state.h"
#include "engine/engine.h"
#include "fake_host.h"
#include "protocol/upload_blocks.h"
#include "test_clock.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

using namespace zantrel;

namespace {

constexpr int kReadings = 1500;
constexpr int kBytesPerRead = 50;
constexpr int kRuns = 40;

QByteArray Hex(int value) {
    return QByteArray::number(value, 16).toUpper().rightJustified(2, '0');
}

// The packet as the slot receives it; every eventEvery-th reading is preceded by an alarm start.
QByteArray BlockText(int eventEvery) {
    QByteArray records;
    int sum = 0;
    const auto addRecord = [&](int raw, int humidity) {
        const int bytes[3] = {raw >> 8, raw & 0xFF, humidity};
        for (int b : bytes) {
            records += Hex(b);
            sum += b;
        }
    };
    for (int i = 0; i < kReadings; ++i) {
        if (eventEvery > 0 && i % eventEvery == 0) addRecord(0xFFFE, 0);
        addRecord(i % 97 == 0 ? 0xFFFF : 0x0190 + i % 50, 0x20 + i % 32);
    }
    return "2B" + records + Hex(sum & 0xFF) + "000000" + "0D0A";
}

struct Result {
    double medianMs;
    double wireMs;
};

Result Measure(Engine& e, const QByteArray& text) {
    State& s = e.state();
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        e.ClearBuffer();
        s.RHZL.tick();
        e.blocks().BlockCount = kReadings;
        s.Startloadingdata.tick();
        const auto start = bench::Steady::now();
        for (qsizetype at = 0; at < text.size(); at += 2 * kBytesPerRead)
            s.Memo5.append(text.mid(at, 2 * kBytesPerRead));
        const double ms = bench::MsSince(start);
        if (e.readings().Temperatures.size() != size_t(kReadings) || s.Memo1.text() != "<>") {
            std::fprintf(stderr, "the block was not decoded %zu %s %s\n",
                         e.readings().Temperatures.size(), s.Memo1.text().constData(),
                         s.Edit1.text().constData());
            std::exit(1);
        }
        times.push_back(ms);
    }
    const double bytes = text.size() / 2.0;
    return {bench::Median(times), bytes * 10 / 57600 * 1000};
}

} // namespace

int main() {
    QTemporaryDir dir;
    TestClock clock;
    FakeHost host;
    Engine e(clock, host);
    QFile port(dir.filePath("COMPORT.DAT")); // no serial port
    if (port.open(QIODevice::WriteOnly)) port.write("NA");
    port.close();
    e.FormCreate(dir.path().toLocal8Bit(), {});
    e.state().Memo1.onChange = nullptr; // the next block request is not part of the figure
    e.state().LoggerVersion = 2;
    ChannelHeader& channel = e.header().channel(true);
    channel.SensorCount = 2;
    channel.Sensors[0] = SensorHeader{'T', 16, true, 1600, 0, 100, 0, "C", 12.5f, 0, {}, {}};

    const struct {
        const char* name;
        int eventEvery;
    } cases[] = {{"1500 readings, T+RH", 0}, {"1500 readings, T+RH, an event every 5", 5}};
    for (const auto& c : cases) {
        const QByteArray text = BlockText(c.eventEvery);
        const Result r = Measure(e, text);
        std::printf("%-40s %5lld bytes: decode+store+draw %.3f ms (median of %d), wire %.1f ms "
                    "at 57600 baud: %.3f%% (target < 1%%)\n",
                    c.name, static_cast<long long>(text.size() / 2), r.medianMs, kRuns, r.wireMs,
                    100 * r.medianMs / r.wireMs);
    }
    return 0;
}
