#pragma once

#include <cstdint>

// Where the history takes "now" from: the system clock, or a test's own.
// Readings carry their own time, which a wrong capture or a clock fault can
// put years ahead; what is kept and thinned is judged against this clock.
class CHistoryClock {
public:
    virtual ~CHistoryClock() = default;
    // Seconds since 1970, UTC.
    virtual std::int64_t Now() const = 0;
};

// The system's clock.
const CHistoryClock& SystemHistoryClock();
