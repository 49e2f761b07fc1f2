#include "menulist/menu_item.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace kestrel {

int64_t MenuValueToWhole(double value) {
    // Values beyond what "%.6f" and a 64-bit integer can carry have no whole-number meaning for a
    // menu setting; they are clamped rather than printed into an overflowing buffer.
    if (std::isnan(value)) {
        return 0;
    }
    constexpr double kLimit = 9.0e15;
    if (value > kLimit) {
        return static_cast<int64_t>(kLimit);
    }
    if (value < -kLimit) {
        return -static_cast<int64_t>(kLimit);
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.6f", value);
    return std::strtoll(text, nullptr, 10);
}

}  // namespace kestrel
