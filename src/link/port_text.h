#pragma once

#include <QByteArray>

namespace zantrel {

// Rules for the port text kept in the port slot. The text is either "NA", "COMn" with an
// optional fast-rate tail (":" and a decimal baud rate, e.g. COM3:38400), or an absolute
// device path with an optional ":digits" tail (/dev/ttyUSB0:57600). A path's tail is what
// follows its last ":" when that is only digits, since by-path names contain colons of their
// own; trailing blanks and line breaks are never part of a path.

// "COMn" (n without leading zeros), the device path without its tail, or "NA".
QByteArray PortName(const QByteArray& portText);

// The digits of the fast-rate tail, or empty when there is none.
QByteArray FastBaudFromPort(const QByteArray& portText);

// Whether the fast-rate tail, when there is one, names a speed the line can run.
bool FastBaudSupported(const QByteArray& portText);

// The "Problem" message for a port text whose fast-rate tail is not such a speed.
QByteArray UnsupportedSpeedMessage(const QByteArray& portText);

// The device to open: COMn -> /dev/ttyS{n-1}, a path -> the path, anything else -> "NA".
QByteArray DeviceForPort(const QByteArray& portText);

// The text to store when newPort is chosen while oldText is the port text: the new port
// keeping the old fast-rate tail.
QByteArray PortWithTail(const QByteArray& newPort, const QByteArray& oldText);

// Why a device could not be opened, with the fix where there is one; err is the errno of the
// failure, 0 when no device was named.
QByteArray OpenFailureReason(const QByteArray& deviceName, int err);

// The "Problem" message for a port that cannot be opened; err is the errno of the failure
// (0 when unknown), which adds a line with the reason and, where there is one, the fix.
QByteArray OpenFailureMessage(const QByteArray& deviceName, int err);

} // namespace zantrel
