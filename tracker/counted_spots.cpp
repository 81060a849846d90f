#include "counted_spots.h"

namespace ionvane::tracker {

bool CountedSpots::Seen(UnixSeconds now, const SpotKey &key) {
    Forget(now);
    return Keys.contains(key);
}

void CountedSpots::Count(UnixSeconds now, const SpotKey &key) {
    Forget(now);
    const auto [at, added] = Keys.insert(key);
    if (!added) {
        return;
    }
    Order.emplace_back(now, at);
    if (Order.size() > MaxCountedSpots) {
        Keys.erase(Order.front().second);
        Order.pop_front();
    }
}

// Times come in order but for a clock stepping back a second in a capture: an entry a little
// younger than one behind it only goes a little late.
void CountedSpots::Forget(UnixSeconds now) {
    while (!Order.empty() && now - Order.front().first >= CountedOnceS) {
        Keys.erase(Order.front().second);
        Order.pop_front();
    }
}

CountedSpots &CountedSpots::operator=(const CountedSpots &other) {
    if (this != &other) {
        Keys = other.Keys;
        Order.clear();
        for (const auto &[when, key] : other.Order) {
            Order.emplace_back(when, Keys.find(*key));
        }
    }
    return *this;
}

} // namespace ionvane::tracker
