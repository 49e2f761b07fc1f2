#pragma once

#include <cstdint>

#include "equalizer/equalizer_tables.h"
#include "menulist/menu_item.h"
#include "protocol/cat_catalogue.h"

namespace kestrel {

// The equalizer's commands come in two families, chosen by the stored extended identification
// number: 0 speaks the menu command "EX" with the set's menu items 91-108, anything else the
// equalizer command "PE" with selector "0" (normal set) or "2" (processor set). A value is set by
// its set command followed at once by its read command.

// Builds the set command of value index i of the set `mode` (0 or 1) with value v. Length 0 when
// the mode, the index or the value is off its table, so nothing is queued.
CatCommand EqualizerSetCommand(int mode, int32_t extendedId, int valueIndex, int32_t value);
// Builds the read command of value index i of the set `mode`; length 0 for a bad mode or index.
CatCommand EqualizerReadCommand(int mode, int32_t extendedId, int valueIndex);

// Copies the store's menu record of value index i of the set `mode`, found by its kind; false
// when the store has no such record (the "EX" family then sends nothing for it).
bool FindEqualizerItem(int mode, int valueIndex, MenuItem* out);
// Reads the nine values of the set from the store: the stored "PE" values when extendedId is not
// 0, otherwise the menu records found by kind. A value that is missing or off its table keeps
// its previous value. Reports whether any value changed.
bool ReadEqualizerFromStore(int mode, int32_t extendedId, EqualizerValues& values);

}  // namespace kestrel
