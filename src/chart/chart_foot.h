#pragma once

#include <QByteArray>
#include <QList>
#include <optional>

namespace zantrel {

// What the chart's foot says about the readings shown.
struct FootFacts {
    bool fahrenheit = false;
    QByteArray samplesPerHour; // decimal text of the readings stored per hour
    QByteArray storageText;    // how the logger stores temperatures
    bool humidity = false;     // the channel carries relative humidity
    bool iirHumidity = false;  // the humidity is IIR-filtered (newer loggers), else averaged
    float humidityIirPercent = 0;
    QByteArray userName, userLocation, unitId;
    QByteArray incomplete; // the mark of an aborted upload, or empty
};

// The shortest decimal text that reads back as the same 32-bit float: 15 gives "15", 12.5
// gives "12.5". Plain digits for every magnitude a person would write that way.
QByteArray ShortestDecimal(float value);

// The foot's lines: units, storage rate and recorded values; the user line when there is
// anything to say; the mark of an aborted upload when there is one; an empty line. Empty when the
// rate text is not a number.
std::optional<QList<QByteArray>> ChartFootLines(const FootFacts& facts);

} // namespace zantrel
