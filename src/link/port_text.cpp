#include "link/port_text.h"

#include "link/serial_port.h"

#include <grp.h>
#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <optional>
#include <system_error>
#include <vector>

namespace zantrel {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isPath(const QByteArray& text) {
    return text.startsWith('/');
}

QByteArray withoutTrailing(const QByteArray& text, bool lineBreaksToo) {
    qsizetype end = text.size();
    while (end > 0) {
        const char c = text[end - 1];
        if (!isBlank(c) && !(lineBreaksToo && (c == '\r' || c == '\n'))) break;
        --end;
    }
    return text.left(end);
}

bool allDigits(const QByteArray& text) {
    if (text.isEmpty()) return false;
    for (char c : text)
        if (!isDigit(c)) return false;
    return true;
}

struct PathParts {
    QByteArray path;
    QByteArray baud; // digits of the ":digits" tail, empty when there is none
};

PathParts splitPath(const QByteArray& text) {
    const QByteArray trimmed = withoutTrailing(text, true);
    const qsizetype colon = trimmed.lastIndexOf(':');
    if (colon >= 0) {
        const QByteArray tail = trimmed.mid(colon + 1);
        if (allDigits(tail)) return {withoutTrailing(trimmed.left(colon), false), tail};
    }
    return {trimmed, {}};
}

// The port number of a "COM" text (blanks allowed before it); none when the text is not one
// or the number does not fit an int.
std::optional<int> comNumber(const QByteArray& text) {
    if (!text.startsWith("COM")) return std::nullopt;
    qsizetype i = 3;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    if (i >= text.size() || !isDigit(text[i])) return std::nullopt;
    long long n = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        n = n * 10 + (text[i] - '0');
        if (n > INT_MAX) return std::nullopt;
    }
    return static_cast<int>(n);
}

QByteArray groupOwning(const QByteArray& device) {
    struct stat st {};
    if (::stat(device.constData(), &st) != 0) return {};
    std::vector<char> buffer(4096);
    group entry{};
    group* found = nullptr;
    if (::getgrgid_r(st.st_gid, &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
        return {};
    return QByteArray(found->gr_name);
}

} // namespace

QByteArray OpenFailureReason(const QByteArray& device, int err) {
    switch (err) {
    case 0:
        return "No serial device is named by the port.";
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return "The device does not exist or is not connected.";
    case EACCES:
    case EPERM: {
        const QByteArray group = groupOwning(device);
        const QByteArray which =
            group.isEmpty() ? QByteArray("the group") : "the group \"" + group + '"';
        return "Permission denied: the user must be a member of " + which +
               " that owns the device, then log in again.";
    }
    case EBUSY:
    case EWOULDBLOCK:
        return "The port is busy: it is in use by another program.";
    case EINVAL:
        return "The device does not support the requested line speed.";
    case ENOTTY:
        return "The device is not a serial port.";
    default:
        return "System error: " + QByteArray::fromStdString(std::system_category().message(err)) +
               '.';
    }
}

QByteArray PortName(const QByteArray& portText) {
    if (isPath(portText)) return splitPath(portText).path;
    if (const auto n = comNumber(portText)) return "COM" + QByteArray::number(*n);
    return "NA";
}

QByteArray FastBaudFromPort(const QByteArray& portText) {
    if (isPath(portText)) return splitPath(portText).baud;
    if (portText == "NA") return {};
    const qsizetype colon = portText.indexOf(':');
    if (colon < 0) return {};
    qsizetype i = colon + 1;
    while (i < portText.size() && isBlank(portText[i]))
        ++i;
    const qsizetype start = i;
    while (i < portText.size() && isDigit(portText[i]))
        ++i;
    return portText.mid(start, i - start);
}

bool FastBaudSupported(const QByteArray& portText) {
    const QByteArray digits = FastBaudFromPort(portText);
    bool ok = false;
    const int baud = digits.toInt(&ok);
    return digits.isEmpty() || (ok && LineSpeedSupported(baud));
}

QByteArray UnsupportedSpeedMessage(const QByteArray& portText) {
    return "Cannot use the port setting " + portText + ".\nThe speed " +
           FastBaudFromPort(portText) +
           " after the colon is not one the serial line can run.\nUse one of these speeds, or "
           "none for 57600:\n" +
           LineSpeedsText() + ".\nChoosing the port in the Setup menu leaves the speed out.";
}

QByteArray DeviceForPort(const QByteArray& portText) {
    if (isPath(portText)) return splitPath(portText).path;
    const auto n = comNumber(portText);
    if (!n || *n < 1) return "NA";
    return "/dev/ttyS" + QByteArray::number(*n - 1);
}

QByteArray PortWithTail(const QByteArray& newPort, const QByteArray& oldText) {
    if (oldText == "NA") return newPort;
    // A path only takes a ":digits" tail: anything else would become part of the device name.
    if (isPath(newPort)) {
        const QByteArray trimmed = withoutTrailing(newPort, true);
        const QByteArray fast = FastBaudFromPort(oldText);
        if (!splitPath(trimmed).baud.isEmpty() || fast.isEmpty()) return trimmed;
        return trimmed + ':' + fast;
    }
    if (isPath(oldText)) {
        const QByteArray fast = splitPath(oldText).baud;
        return fast.isEmpty() ? newPort : newPort + ':' + fast;
    }
    const qsizetype colon = oldText.indexOf(':');
    return colon < 0 ? newPort : newPort + oldText.mid(colon);
}

QByteArray OpenFailureMessage(const QByteArray& deviceName, int err) {
    QByteArray text = "Cannot open serial port: " + deviceName +
                      ".\nIt may be in use or does not exist.\nA different port may be selected\n"
                      "from the Setup menu.";
    if (err != 0) text += '\n' + OpenFailureReason(deviceName, err);
    return text;
}

} // namespace zantrel
