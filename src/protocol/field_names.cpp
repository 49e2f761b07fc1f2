#include "protocol/field_names.h"

#include <cstdio>

namespace kestrel {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool AllDigits(std::string_view text) {
    for (char c : text) {
        if (!IsDigit(c)) {
            return false;
        }
    }
    return !text.empty();
}

int DigitsValue(std::string_view digits) {
    int value = 0;
    for (char c : digits) {
        value = value * 10 + (c - '0');
    }
    return value;
}

std::optional<RealField> RealFieldByName(std::string_view name) {
    if (name == "IFp13") {
        return RealField::IFp13;
    }
    if (name == "OIp13") {
        return RealField::OIp13;
    }
    return std::nullopt;
}

}  // namespace

std::optional<Field> FieldByName(std::string_view name) {
    for (int i = 0; i < kFieldCount; ++i) {
        const auto field = static_cast<Field>(i);
        if (FieldName(field) == name) {
            return field;
        }
    }
    if (name.size() == 3 && name.substr(0, 2) == "RM" && name[2] >= '2' && name[2] <= '9') {
        return Field::RM1;
    }
    return std::nullopt;
}

bool GetFieldByName(std::string_view name, std::string& valueText) {
    if (const auto field = FieldByName(name)) {
        valueText = std::to_string(GetField(*field));
        return true;
    }
    if (const auto real = RealFieldByName(name)) {
        char text[32];
        std::snprintf(text, sizeof text, "%.1f", GetReal(*real));
        valueText = text;
        return true;
    }
    if (name.size() == 5 && name.substr(0, 2) == "PE" && AllDigits(name.substr(2))) {
        const int p1 = name[2] - '0';
        const int p2 = name[3] - '0';
        const int p3 = name[4] - '0';
        if (p1 > 1 || p2 > 2 || p3 > 2) {
            return false;
        }
        valueText = std::to_string(GetPE(p1, p2, p3));
        return true;
    }
    if (name.size() == 5 && name.substr(0, 2) == "EX" && AllDigits(name.substr(2))) {
        MenuItem item;
        if (!GetMenuItem(DigitsValue(name.substr(2)), &item)) {
            return false;
        }
        valueText = std::to_string(MenuValueToWhole(item.value));
        return true;
    }
    if (name.size() == 3 && name.substr(0, 2) == "KM" && name[2] >= '1' && name[2] <= '5') {
        char text[kKeyerTextSize];
        if (!FetchKeyerText(name[2] - '0', kKeyerTextSize, text)) {
            return false;
        }
        valueText = text;
        return true;
    }
    return false;
}

}  // namespace kestrel
