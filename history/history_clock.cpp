#include "history/history_clock.h"

#include <ctime>

namespace {

class CSystemHistoryClock : public CHistoryClock {
public:
    std::int64_t Now() const override { return static_cast<std::int64_t>(std::time(nullptr)); }
};

} // namespace

const CHistoryClock& SystemHistoryClock() {
    static const CSystemHistoryClock clock;
    return clock;
}
