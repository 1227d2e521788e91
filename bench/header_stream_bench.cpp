// Processor time the header phase spends on a line that never completes a header, up to the
// header's size limit: the time per kilobyte of the last quarter against the first shows
// whether the work grows with what was already received (it should not).
#include "bench_measure.h"
#include "core/state.h"
#include "engine/engine.h"
#include "fake_host.h"
#include "protocol/header_reception.h"
#include "test_clock.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

using namespace zantrel;
using namespace zantrel::bench;

namespace {

// Plays text in deliveries of `piece` bytes until the phase ends; the processor time of each
// quarter of the bytes sent, in ms.
std::vector<double> Quarters(Engine& engine, TestClock& clock, const QByteArray& text, int piece) {
    State& s = engine.state();
    engine.ClearBuffer();
    s.Startloadingheader.tick();
    HeaderReception reception(s, clock);
    std::vector<double> quarters(4, 0.0);
    qsizetype sent = 0;
    while (!s.Errorindata.checked() && !s.Headerloaded.checked()) {
        QByteArray delivery;
        while (delivery.size() < std::max(piece, 2))
            delivery += text.at((sent + delivery.size()) % text.size());
        const double before = ThreadCpuMs();
        reception.receive(delivery, false);
        const auto quarter =
            static_cast<std::size_t>(std::min<qsizetype>(3, sent * 4 / kMaxHeaderBytes));
        quarters[quarter] += ThreadCpuMs() - before;
        sent += delivery.size();
    }
    return quarters;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QFile port(dir.filePath("COMPORT.DAT"));
    if (port.open(QIODevice::WriteOnly)) port.write("NA");
    port.close();
    TestClock clock;
    FakeHost host;
    Engine engine(clock, host);
    engine.FormCreate(dir.path().toLocal8Bit(), {});

    const struct {
        const char* name;
        QByteArray text;
    } lines[] = {{"text without line ends", "?0Model ZL-T100 Serial 0047 "},
                 {"lines that never end a header", "001\r\nModel ZL-T100\r\nSerial 0047\r\n"}};
    for (const auto& line : lines) {
        for (int piece : {1, 50}) {
            const std::vector<double> q = Quarters(engine, clock, line.text, piece);
            std::printf("%-30s %2d-byte deliveries: %6.2f ms in all, %.3f ms/KB in the first "
                        "quarter, %.3f ms/KB in the last\n",
                        line.name, piece, q[0] + q[1] + q[2] + q[3], q[0] / 4, q[3] / 4);
        }
    }
    return 0;
}
