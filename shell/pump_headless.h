// The worker's pump without windows, for native builds and tests: QEL_DoEvents
// runs this hook when one is set, so a test can play the events a window
// would deliver while framework code waits.
#pragma once

#include <functional>

extern std::function<void()> headless_pump_hook;
