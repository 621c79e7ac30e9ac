// base/delay.h: waiting without freezing the window.
//
// DelayWithEvents sleeps on the event loop and dispatches every window event
// that arrives meanwhile, so other actions can run nested inside the wait.
#ifndef QUENBROOK_BASE_DELAY_H_
#define QUENBROOK_BASE_DELAY_H_

#include <optional>

namespace base {

// Waits `duration` units (unit: omitted or 0 ms, 1 s, 2 min, 3 h, any other
// value is milliseconds per unit). A duration of 0 or less returns at once.
// A wait keeps its length also once the application has begun to quit.
// Always returns true.
bool DelayWithEvents(int duration, std::optional<long long> unit = std::nullopt);

// Length in milliseconds of a wait of `duration` units as DelayWithEvents
// measures it: the exact product, cut to whole 100 ns and held to at most
// about a century. 0 when the wait is not positive.
double DelayLength(int duration, std::optional<long long> unit = std::nullopt);

// Dispatches the events waiting now, then returns.
void ProcessEvents();

// Number of DelayWithEvents calls now on the stack.
int DelayDepth();

}  // namespace base

#endif  // QUENBROOK_BASE_DELAY_H_
