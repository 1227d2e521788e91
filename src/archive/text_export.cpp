#include "archive/text_export.h"

#include <charconv>

namespace zantrel {

void AppendFloat(QByteArray& out, float value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    out.append(text, end - text);
}

double ShortestDouble(float value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    double shortest = value;
    std::from_chars(text, end, shortest);
    return shortest;
}

} // namespace zantrel
