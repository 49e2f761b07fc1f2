#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "menulist/menu_item.h"

namespace kestrel {

// How the MENU LIST window shows, lists and edits menu values: plain functions on MenuItem
// records, shared by the window, its two setting dialogs, kestrel-console and the settings file.

// The choice a bit-set row shows when the window opens, before any bit-set item is met.
inline constexpr int kMenuBitIndexAtOpening = 12;
// The check boxes of the bits dialog: choice i is bit 0x1000 shifted right by i.
inline constexpr int kMenuBitBoxes = 12;
// The bits the "EX" field of a bit-set item carries (one character a bit, 0x1000 down to 0x1).
inline constexpr int64_t kMenuBitField = 0x1FFF;
// The most entries a setting dialog lists; a larger range is refused rather than built.
inline constexpr int kMaxMenuEntries = 10000;
// The setting text of a list value that has no choice.
inline constexpr const char* kMenuUnknownChoice = " ????????????";

// Returns the seconds a seconds-kind "EX" number stands for: 1-240 as they are, each number above
// 240 another 30 seconds (241 is 270, 255 is 690).
int64_t MenuSecondsOfCode(int64_t code);
// Returns the value the list shows: editedValue when edited is 1, otherwise value.
double MenuShownValue(const MenuItem& item);
// Returns the whole number the "EX" command carries for a value of the item. Only the seconds
// kind differs from the value as a whole number: the radio reports 270 to 690 seconds, which
// the command carries as the codes 241 to 255.
int64_t MenuWireValue(const MenuItem& item, double value);
// Reports whether the item takes a whole number as its "EX" value.
bool MenuTakesValue(const MenuItem& item, int64_t wire);
// Returns the range of values the item takes, for messages ("20 to 4000", "0 to 4").
std::string MenuAcceptedRange(const MenuItem& item);

// Reports whether the item is a set of bits (edited with check boxes, Left/Right pick the bit
// its row shows).
bool IsBitSetItem(const MenuItem& item);
// Returns the bit of choice i of a bit-set item (0x1000 shifted right by i), 0 beyond bit 0x1.
int64_t MenuChoiceBit(int choice);
// Returns the choice text at a position, "" when there is none.
std::string MenuChoiceText(const MenuItem& item, int64_t position);
// Returns the item's name, range text and unit, bounded by their fields.
std::string MenuItemName(const MenuItem& item);
std::string MenuItemUnit(const MenuItem& item);

// Returns the setting text of the SETTING column with the unit after it unless dropped; a
// bit-set item shows choice bitIndex with ON or OFF.
std::string MenuSettingText(const MenuItem& item, int bitIndex);
// Returns how an "EX" value of the item reads, as the SETTING column would show it without its
// leading space; a set of bits lists its ticked choices ("1.8/3.5/GEN") and its number.
std::string MenuValueText(const MenuItem& item, int64_t wire);
// Returns the text of the item's row: number, name padded to 21, range padded to 96, setting.
std::string MenuRowText(const MenuItem& item, int bitIndex);
// Returns the title of the bits dialog: "%03d  %s" of number and name.
std::string MenuItemTitle(const MenuItem& item);
// Returns the title of the drop-down dialog: as MenuItemTitle, with "  (unit)" when it has one.
std::string MenuChoiceTitle(const MenuItem& item);

// One entry of the drop-down dialog: its text and the value OK stores as editedValue.
struct MenuEntry {
    std::string text;
    int64_t value = 0;
};

// The entries of the drop-down dialog for an item.
struct MenuEntryList {
    std::vector<MenuEntry> entries;
    int current = -1;               // the entry of the radio's value, -1 when none
    bool rangeUnavailable = false;  // the numeric range cannot be listed (bad step, too long)
};

// Builds the drop-down dialog's entries. Numeric ranges are counted in whole units of the
// stored value (tenths, kilohertz), so a fractional step neither gains nor loses an entry.
MenuEntryList MenuEntriesOf(const MenuItem& item);
// Records a value the operator chose: edited becomes 1 and editedValue the value when it differs
// from the radio's value, compared as the numbers the "EX" command carries; otherwise edited
// becomes 0.
void ChooseMenuValue(MenuItem& item, int64_t value);
// Returns how many check boxes the bits dialog labels (choices, at most 12).
int MenuBitBoxCount(const MenuItem& item);
// Returns the bits the dialog's boxes start from: the shown value as a whole number.
int64_t MenuBitsShown(const MenuItem& item);
// Records the ticked boxes (bit i for box i) of the bits dialog: bits that have no box keep
// their shown state, and the result is chosen as ChooseMenuValue does.
void ChooseMenuBits(MenuItem& item, uint32_t tickedBoxes);

}  // namespace kestrel
