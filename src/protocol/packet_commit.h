#pragma once

namespace zantrel {

struct PacketStage;
struct ReadingsStore;
struct ChartModel;

// Appends a verified packet to the store and draws its readings as they arrive: temperatures on
// Series1 (red, silver after a temperature gap), humidities on Series2 (blue, silver after a
// humidity gap) carrying the event marks, or a null point on Series2 that carries them when
// the channel has no humidity. The first reading of a session clears both series and is
// marked "ns"; fahrenheit selects the units drawn (the store keeps Celsius).
void CommitPacket(const PacketStage& stage, ReadingsStore& store, ChartModel& chart,
                  bool fahrenheit);

} // namespace zantrel
