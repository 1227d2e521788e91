#pragma once

namespace zantrel {

// The pauses that only let a chart repaint: 500 ms after emptying each series in ClearBuffer
// (at start, before an upload or a load; never at exit). The window keeps them; a run without a
// chart (the command-line tool) skips them. No wait the logger needs depends on this.
enum class ChartPauses { Keep, Skip };

} // namespace zantrel
