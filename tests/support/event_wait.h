#pragma once

#include <functional>

namespace zantrel {

// Runs the event loop until condition holds, at most timeoutMs; true when it held. The wait
// is the event loop's own, so a reader hand-off, a timer or a socket wakes it at once instead
// of after a fixed sleep; a 1 ms timer also wakes it for what no event announces (another
// thread's state, a child process's file).
bool WaitForEvents(const std::function<bool()>& condition, int timeoutMs);

} // namespace zantrel
