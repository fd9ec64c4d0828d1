#pragma once
// Runs the GUI thread's event loop from a test, where the component's messages and the link's
// events arrive.
#include <functional>

namespace vttest {

// Runs the event loop until pred() holds or limitMs has passed; returns pred().
bool pumpUntil(const std::function<bool()>& pred, int limitMs = 5000);
// Runs the event loop for ms milliseconds.
void pumpFor(int ms);

}  // namespace vttest
