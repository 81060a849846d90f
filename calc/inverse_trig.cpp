#include "inverse_trig.h"

#include "earth.h"

#include <cmath>

namespace ionvane::calc {

double ArcCos(double x) {
    if (x >= 1) {
        return 0.0;
    }
    if (x <= -1) {
        return Pi;
    }
    return std::atan(-x / std::sqrt(-x * x + 1)) + Pi / 2;
}

double ArcSin(double x) {
    if (x >= 1) {
        return Pi / 2;
    }
    if (x <= -1) {
        return -Pi / 2;
    }
    return std::atan(x / std::sqrt(-x * x + 1));
}

double ArcTan2(double y, double x) {
    if (x > 0) {
        return std::atan(y / x);
    }
    if (x < 0) {
        return y >= 0 ? std::atan(y / x) + Pi : std::atan(y / x) - Pi;
    }
    return y > 0 ? Pi / 2 : -Pi / 2;
}

} // namespace ionvane::calc
