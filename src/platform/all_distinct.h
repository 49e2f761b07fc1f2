#pragma once

namespace kestrel {

// True when no two of the values are equal: numbers that select a handler must never collide.
template <typename... T>
constexpr bool AllDistinct(T... values) {
    const long long list[] = {static_cast<long long>(values)...};
    for (unsigned i = 0; i < sizeof...(values); ++i) {
        for (unsigned j = i + 1; j < sizeof...(values); ++j) {
            if (list[i] == list[j]) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace kestrel
