#include "menulist/menu_settings_file.h"

#include <charconv>
#include <cstdio>

#include "menulist/menu_values.h"
#include "platform/text_file.h"

namespace kestrel {

namespace {

// No value of any item needs more characters; the limit keeps the conversion far from overflow.
constexpr size_t kMaxNumberLength = 12;

std::string_view Trim(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Parses a decimal whole number, a sign allowed in front when `sign` is set.
bool ParseWhole(std::string_view text, bool sign, int64_t& out) {
    if (text.empty() || text.size() > kMaxNumberLength) {
        return false;
    }
    size_t start = 0;
    if (sign && (text[0] == '+' || text[0] == '-')) {
        start = 1;
    }
    if (start == text.size()) {
        return false;
    }
    for (size_t i = start; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
    }
    int64_t magnitude = 0;
    std::from_chars(text.data() + start, text.data() + text.size(), magnitude);
    out = text[0] == '-' ? -magnitude : magnitude;
    return true;
}

std::string LineError(size_t line, std::string_view what) {
    return "line " + std::to_string(line) + ": " + std::string(what);
}

}  // namespace

int64_t MenuSettingsValue(const MenuItem& item) {
    return MenuWireValue(item, MenuShownValue(item));
}

std::string FormatMenuSettings(std::span<const MenuItem> items, std::string_view program,
                               const std::tm& when) {
    char date[64];
    std::snprintf(date, sizeof date, "%04lld-%02d-%02d %02d:%02d:%02d",
                  static_cast<long long>(when.tm_year) + 1900, when.tm_mon + 1, when.tm_mday,
                  when.tm_hour, when.tm_min, when.tm_sec);
    std::string text = "# " + std::string(program) + " menu settings, " + date + "\n";
    for (const MenuItem& item : items) {
        text += std::to_string(item.number) + "," + std::to_string(MenuSettingsValue(item)) + "," +
                MenuItemName(item) + "\n";
    }
    return text;
}

bool ParseMenuSettings(std::string_view text, std::span<const MenuItem> items,
                       std::vector<int64_t>& values, std::string& error) {
    if (text.size() > kMenuSettingsMaxBytes) {
        error = "the file is too large to be a menu settings file";
        return false;
    }
    std::vector<int64_t> read(items.size(), 0);
    std::vector<bool> seen(items.size(), false);
    size_t lineNumber = 0;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (lineNumber == 1) {
            if (line.empty() || line[0] != '#') {
                error = LineError(1, "a menu settings file starts with a \"#\" line");
                return false;
            }
            continue;
        }
        if (Trim(line).empty() || line[0] == '#') {
            continue;
        }
        // The name is free text and may hold commas of its own: only the first two separate.
        const size_t comma1 = line.find(',');
        const size_t comma2 =
            comma1 == std::string_view::npos ? comma1 : line.find(',', comma1 + 1);
        if (comma2 == std::string_view::npos) {
            error = LineError(lineNumber, "expected number,value,name");
            return false;
        }
        int64_t number = 0;
        int64_t value = 0;
        if (!ParseWhole(Trim(line.substr(0, comma1)), false, number) || number < 1 ||
            number > static_cast<int64_t>(items.size()) ||
            items[static_cast<size_t>(number - 1)].number != static_cast<uint32_t>(number)) {
            error = LineError(lineNumber,
                              "no menu item \"" + std::string(Trim(line.substr(0, comma1))) + "\"");
            return false;
        }
        const size_t index = static_cast<size_t>(number - 1);
        const MenuItem& item = items[index];
        if (seen[index]) {
            error = LineError(lineNumber, "item " + std::to_string(number) + " appears twice");
            return false;
        }
        const std::string_view valueText = Trim(line.substr(comma1 + 1, comma2 - comma1 - 1));
        if (!ParseWhole(valueText, true, value) || !MenuTakesValue(item, value)) {
            error = LineError(lineNumber, "value \"" + std::string(valueText) + "\" of item " +
                                              std::to_string(number) + " is not " +
                                              MenuAcceptedRange(item));
            return false;
        }
        seen[index] = true;
        read[index] = value;
    }
    if (lineNumber == 0) {
        error = "the file is empty";
        return false;
    }
    for (size_t i = 0; i < items.size(); ++i) {
        if (!seen[i]) {
            error = "the file has no line for item " + std::to_string(i + 1);
            return false;
        }
    }
    values = std::move(read);
    return true;
}

bool ReadMenuSettingsFile(const std::string& path, std::span<const MenuItem> items,
                          std::vector<int64_t>& values, std::string& error) {
    std::string text;
    if (!ReadTextFile(path, kMenuSettingsMaxBytes, text)) {
        error = "the file cannot be read or is too large";
        return false;
    }
    return ParseMenuSettings(text, items, values, error);
}

bool WriteMenuSettingsFile(const std::string& path, std::span<const MenuItem> items,
                           std::string_view program) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return ReplaceTextFile(path, FormatMenuSettings(items, program, local));
}

std::vector<MenuDifference> CompareMenuSettings(std::span<const MenuItem> items,
                                                std::span<const int64_t> values) {
    std::vector<MenuDifference> differences;
    for (size_t i = 0; i < items.size() && i < values.size(); ++i) {
        const int64_t radio = MenuWireValue(items[i], items[i].value);
        if (values[i] != radio) {
            differences.push_back({static_cast<int>(items[i].number), values[i], radio});
        }
    }
    return differences;
}

int ApplyMenuSettings(std::span<MenuItem> items, std::span<const int64_t> values) {
    int edited = 0;
    for (size_t i = 0; i < items.size() && i < values.size(); ++i) {
        ChooseMenuValue(items[i], values[i]);
        edited += items[i].edited == 1 ? 1 : 0;
    }
    return edited;
}

}  // namespace kestrel
