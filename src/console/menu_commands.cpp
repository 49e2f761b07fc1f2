#include "console/menu_commands.h"

#include <charconv>
#include <cstdio>
#include <string>
#include <vector>

#include "engine_api/radio_engine.h"
#include "menulist/menu_settings_file.h"
#include "menulist/menu_values.h"

namespace kestrel {

namespace {

constexpr char kProgram[] = "kestrel-console";

bool ParseWhole(std::string_view text, int64_t& out) {
    if (!text.empty() && text[0] == '+') {
        text.remove_prefix(1);
    }
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return !text.empty() && ec == std::errc{} && end == text.data() + text.size();
}

std::string ThreeDigits(int64_t number) {
    char text[24];
    std::snprintf(text, sizeof text, "%03lld", static_cast<long long>(number));
    return text;
}

}  // namespace

void RunMenuCommand(std::string_view arguments,
                    const std::function<void(std::string_view)>& print) {
    const auto error = [&print](std::string_view reason) {
        print("error: " + std::string(reason));
    };
    const size_t space = arguments.find_first_of(" \t");
    const std::string_view verb = arguments.substr(0, space);
    std::string_view rest =
        space == std::string_view::npos ? std::string_view{} : arguments.substr(space + 1);
    rest.remove_prefix(std::min(rest.find_first_not_of(" \t"), rest.size()));
    while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t')) {
        rest.remove_suffix(1);
    }
    std::vector<MenuItem> items = RadioEngine::MenuItems();

    if (verb == "save" || verb == "load" || verb == "compare") {
        if (rest.empty()) {
            error("usage: menu " + std::string(verb) + " PATH");
            return;
        }
        const std::string path(rest);
        if (verb == "save") {
            if (!WriteMenuSettingsFile(path, items, kProgram)) {
                error("cannot write " + path);
                return;
            }
            print("saved " + std::to_string(items.size()));
            return;
        }
        std::vector<int64_t> values;
        std::string reason;
        if (!ReadMenuSettingsFile(path, items, values, reason)) {
            error(reason);
            return;
        }
        if (verb == "compare") {
            const std::vector<MenuDifference> differences = CompareMenuSettings(items, values);
            for (const MenuDifference& d : differences) {
                print("differs " + ThreeDigits(d.number) + " file=" + std::to_string(d.fileValue) +
                      " radio=" + std::to_string(d.radioValue));
            }
            print("differences " + std::to_string(differences.size()));
            return;
        }
        ApplyMenuSettings(items, values);
        const int changed = RadioEngine::StoreMenuEdits(items);
        if (changed < 0) {
            error("the request thread does not run");
            return;
        }
        print("changed " + std::to_string(changed));
        return;
    }

    if (verb == "get" || verb == "set") {
        const size_t gap = rest.find_first_of(" \t");
        const std::string_view numberText = rest.substr(0, gap);
        const std::string_view valueText =
            gap == std::string_view::npos ? std::string_view{} : rest.substr(gap + 1);
        int64_t number = 0;
        if (!ParseWhole(numberText, number) || number < 1 ||
            number > static_cast<int64_t>(items.size())) {
            error("menu item must be 1 to " + std::to_string(items.size()));
            return;
        }
        const MenuItem& item = items[static_cast<size_t>(number - 1)];
        if (verb == "get") {
            if (!valueText.empty()) {
                error("usage: menu get NNN");
                return;
            }
            print("menu " + ThreeDigits(number) + "=" +
                  std::to_string(MenuWireValue(item, item.value)));
            return;
        }
        int64_t value = 0;
        if (!ParseWhole(valueText, value)) {
            error("usage: menu set NNN V");
            return;
        }
        if (!MenuTakesValue(item, value)) {
            error("item " + ThreeDigits(number) + " takes " + MenuAcceptedRange(item));
            return;
        }
        // An explicit setting goes out even when the radio already has it.
        if (!RadioEngine::SetMenuValue(static_cast<int>(number), value)) {
            error("the request thread does not run");
        }
        return;
    }
    error("usage: menu save|load|compare PATH, menu get NNN, menu set NNN V");
}

}  // namespace kestrel
