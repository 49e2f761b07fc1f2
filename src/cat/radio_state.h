#pragma once

#include <cstdint>

#include "cat/store_flags.h"

namespace kestrel {

// Returns the number of menu items the loader put into the store (1 to 500, 118 by default).
int32_t GetMenuItemCount();
// Returns the value width of an "EX" answer for menu item `number` after the menu-width
// correction, or -1 when `number` lies outside 1..GetMenuItemCount().
int MenuAnswerWidth(int32_t number);

}  // namespace kestrel
