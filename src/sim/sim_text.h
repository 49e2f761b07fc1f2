#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel {

// Returns value as exactly `width` decimal digits, zero-filled on the left; a value with more
// digits keeps its lowest ones, a negative value counts as its magnitude.
inline std::string SimDigits(int64_t value, int width) {
    if (value < 0) {
        value = -value;
    }
    std::string text(static_cast<size_t>(width), '0');
    for (int i = width - 1; i >= 0 && value > 0; --i) {
        text[static_cast<size_t>(i)] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    return text;
}

// Parses a field made only of decimal digits; nothing for an empty field or any other character.
inline std::optional<int64_t> SimParseDigits(std::string_view text) {
    if (text.empty() || text.size() > 12) {
        return std::nullopt;
    }
    int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

// Parses one hexadecimal digit of either case.
inline std::optional<int> SimParseHex(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return std::nullopt;
}

// Returns the upper-case hexadecimal digit of 0 to 15.
inline char SimHexDigit(int value) {
    return "0123456789ABCDEF"[value & 15];
}

}  // namespace kestrel
