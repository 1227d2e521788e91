#pragma once

#include <QString>

#include <cstddef>

namespace zantrel {

// What an export took in, or why it wrote nothing.
struct ExportOutcome {
    std::size_t files = 0;
    std::size_t readings = 0; // readings with a value
    std::size_t gaps = 0;     // written as rows, or left out of the line protocol
    QString failure;          // empty when the export was written in full
    bool ok() const { return failure.isEmpty(); }
};

} // namespace zantrel
