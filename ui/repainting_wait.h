#pragma once

#include <chrono>

class CChildProcess;

// Waits for child to end while the windows keep repainting and timers keep
// running; user input is held back and handled once the wait is over. A busy
// cursor shows meanwhile. What a capturing child writes is drained as it comes. A child still
// running after bound is asked to end, then killed after grace, and reaped. True when it ended by
// itself in time.
bool WaitWhileRepainting(CChildProcess& child, std::chrono::milliseconds bound,
                         std::chrono::milliseconds grace);
