#pragma once

namespace zantrel {

// Conversions between a logger's storage rate in samples per hour and its sample interval, a
// date-time span in days; both round the interval to whole seconds.

// The interval of a rate: (86400 / (24 rate) + 0.5) truncated, in seconds, as days; 15 seconds
// for 240 per hour. A rate of 0, a negative or non-finite rate, or one so high that the interval
// rounds to no second, gives 0.
double IntervalFromSamplesPerHour(double rate);

// 3600 divided by the interval in whole seconds ((86400 interval + 0.5) truncated); 240 for 15
// seconds. An interval that rounds to 0 seconds or less, or is not finite, gives 0.
double SamplesPerHourFromInterval(double intervalDays);

} // namespace zantrel
