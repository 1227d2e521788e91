// libFuzzer target: the packet decoder and the redraw fed with whatever a device might send.
// The first four input bytes choose the logger generation, the humidity channel, the block
// size, the field width and the calibration; the rest is appended to the packet slot in pieces.
#include "chart/chart_presenter.h"
#include "core/channel_header.h"
#include "core/state.h"
#include "fuzz_engine.h"
#include "protocol/upload_blocks.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

using namespace zantrel;

namespace {

Engine& SharedEngine() {
    static Engine& engine = []() -> Engine& {
        Engine& e = FuzzEngine::instance().engine;
        // The block loop is not the target: "<>" is only written, never acted on.
        e.state().Memo1.onChange = nullptr;
        return e;
    }();
    return engine;
}

// Calibrations a header can give, the last ones dividing by zero.
void SetCalibration(Engine& e, bool channel1, uint8_t choice) {
    ChannelHeader& c = e.header().channel(channel1);
    SensorHeader& t = c.Sensors[0];
    static constexpr int kBits[] = {16, 16, 8, 0, 40, -3};
    t.Bits = kBits[(choice & 0x07) % 6];
    t.Signed = choice & 0x08;
    t.Raw1 = (choice & 0x10) ? 1600 : 0x7FFFFFFF;
    t.Raw2 = (choice & 0x20) ? t.Raw1 : -0x7FFFFFFF - 1;
    t.Value1 = 100;
    t.Value2 = (choice & 0x40) ? 1e38f : -40;
    c.Raw1Text = (choice & 0x10) ? "2010" : "0011";
    c.Raw2Text = (choice & 0x20) ? "2010" : "0001";
    c.Value1 = 256;
    c.Value2 = 0;
    c.Sensors[1].IirPercent = 12.5f;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 5) return 0;
    Engine& e = SharedEngine();
    State& s = e.state();
    e.ClearBuffer();

    const uint8_t mode = data[0];
    const bool version1 = mode & 0x01;
    const bool humidity = mode & 0x02;
    const bool channel1 = !(mode & 0x04);
    s.RadioButton1.setChecked(channel1);
    s.RadioButton2.setChecked(!channel1);
    s.TempInF.setChecked(mode & 0x08);
    s.Samplesperhour.setText((mode & 0x10) ? "0" : "240");
    s.LoggerVersion = version1 ? 1 : 2;
    e.header().channel(channel1).SensorCount = humidity ? 2 : 1;
    s.RHZL.set(humidity);

    e.blocks().BlockCount = data[1] % 64;
    static constexpr int kNewerWidths[] = {4, 4, 2, 0, 6, 3};
    e.header().SampleHexDigits = version1 ? data[2] % 9 : kNewerWidths[data[2] % 6];
    SetCalibration(e, channel1, data[3]);

    s.Startloadingdata.tick();
    const qsizetype piece = std::max(1, data[4] % 97);
    const char* text = reinterpret_cast<const char*>(data + 5);
    const qsizetype length = static_cast<qsizetype>(size - 5);
    for (qsizetype at = 0; at < length; at += piece)
        s.Memo5.append(QByteArray(text + at, std::min(piece, length - at)));

    if (mode & 0x20) e.presenter().RedrawChart();
    return 0;
}
