#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "protocol/radio_state.h"

namespace kestrel {

// Finds a RadioState field by its name ("FA", "MD0", "IFp18", "IDX"); "RM2" to "RM9" name the
// field that every RM selector other than 0 feeds.
std::optional<Field> FieldByName(std::string_view name);
// Reads a value of the store by name and writes it as text. Names: every field name, "IFp13" and
// "OIp13" (clarifier offsets, one decimal), "PE" and the three selector digits ("PE120"),
// "EX" and a three-digit menu number (the item's value as a whole number) and "KM" and a channel
// digit 1 to 5 (the keyer text). Reports false for an unknown name.
bool GetFieldByName(std::string_view name, std::string& valueText);

}  // namespace kestrel
