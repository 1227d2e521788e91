#pragma once

#include <QByteArray>
#include <array>

namespace zantrel {

// The eight date formats of the Date Format menu, in menu order.
inline constexpr std::array<const char*, 8> kDateFormats = {
    "mm/dd/yyyy hh:mm:ss",  "mm/dd/yyyy hh:mm:ss AM/PM", "dd/mm/yyyy hh:mm:ss",
    "yyyy/mm/dd hh:mm:ss",  "mm/dd/yyyy, hh:mm:ss",      "mm/dd/yyyy, hh:mm:ss AM/PM",
    "dd/mm/yyyy, hh:mm:ss", "yyyy/mm/dd, hh:mm:ss"};

// Menu-item names of the eight formats.
inline constexpr std::array<const char*, 8> kDateFormatItemNames = {
    "mmddyy", "mmddyyap", "ddmmyy", "yyyymmdd", "mmddyyc", "mmddyyapc", "ddmmyyc", "yyyymmddc"};

// The menu item whose format equals the text exactly, or -1.
int DateFormatItem(const QByteArray& format);

} // namespace zantrel
