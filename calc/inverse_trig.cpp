#include "inverse_trig.h"

#include <cmath>

namespace ionvane::calc {

double ArcCos(double x) {
    if (x >= 1) {
        return 0.0;
    }
    if (x <= -1) {
        return 4 * std::atan(1.0);
    }
    return std::atan(-x / std::sqrt(-x * x + 1)) + 2 * std::atan(1.0);
}

double ArcSin(double x) {
    if (x >= 1) {
        return 2 * std::atan(1.0);
    }
    if (x <= -1) {
        return -2 * std::atan(1.0);
    }
    return std::atan(x / std::sqrt(-x * x + 1));
}

double ArcTan2(double y, double x, double pi) {
    if (x > 0) {
        return std::atan(y / x);
    }
    if (x < 0) {
        return y >= 0 ? std::atan(y / x) + pi : std::atan(y / x) - pi;
    }
    return y > 0 ? pi / 2 : -pi / 2;
}

} // namespace ionvane::calc
