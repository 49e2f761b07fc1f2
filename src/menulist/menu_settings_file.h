#pragma once

#include <cstdint>
#include <ctime>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "menulist/menu_item.h"

namespace kestrel {

// A menu settings file keeps every menu setting of a station, to compare with the radio or
// restore later. UTF-8 text: a first line starting with "#" that names the program and the
// date, then one line per item "number,value,name", where value is the whole number the "EX"
// command carries (a set of bits as their sum) and the name is for people only. Blank lines and
// further "#" lines are skipped when reading.

// The largest file the reader takes.
inline constexpr size_t kMenuSettingsMaxBytes = 256 * 1024;
// The file dialogs' filter.
inline constexpr std::string_view kMenuSettingsFilter = "Menu settings (*.menu);;All files (*)";
// The extension a saved file gets when the operator gives none.
inline constexpr std::string_view kMenuSettingsExtension = "menu";

// One item where a file and the radio differ, as "EX" whole numbers.
struct MenuDifference {
    int number = 0;
    int64_t fileValue = 0;
    int64_t radioValue = 0;
};

// Returns the whole number the file keeps for an item: its shown value (the edit, if any) as the
// "EX" command carries it.
int64_t MenuSettingsValue(const MenuItem& item);
// Formats the file for the items (in item order), naming program and the local time `when`.
std::string FormatMenuSettings(std::span<const MenuItem> items, std::string_view program,
                               const std::tm& when);
// Parses a file against the items it must fit (numbers 1 to items.size(), in order). All or
// nothing: on success `values` holds one "EX" value per item, by number - 1; on failure `values`
// is untouched and `error` names the first bad line ("line 5: item 7 appears twice").
bool ParseMenuSettings(std::string_view text, std::span<const MenuItem> items,
                       std::vector<int64_t>& values, std::string& error);
// Reads and parses a file as ParseMenuSettings does; `error` also tells a file that cannot be
// read.
bool ReadMenuSettingsFile(const std::string& path, std::span<const MenuItem> items,
                          std::vector<int64_t>& values, std::string& error);
// Writes the file for the items through a temporary file renamed into place.
bool WriteMenuSettingsFile(const std::string& path, std::span<const MenuItem> items,
                           std::string_view program);

// Returns the items whose value in the file differs from the radio's value, in item order.
std::vector<MenuDifference> CompareMenuSettings(std::span<const MenuItem> items,
                                                std::span<const int64_t> values);
// Makes the file's values the items' edits: an item whose file value differs from the radio's
// value is marked edited with it, every other item loses its edit. Returns how many are edited.
int ApplyMenuSettings(std::span<MenuItem> items, std::span<const int64_t> values);

}  // namespace kestrel
