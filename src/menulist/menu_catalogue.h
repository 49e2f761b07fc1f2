#pragma once

#include <cstdint>

#include "menulist/menu_item.h"

namespace kestrel {

// The number of menu settings the transceiver has, numbered 1 to 118.
inline constexpr int kMenuCatalogueSize = 118;

// Builds the record of menu item `number` (1 to 118) from the built-in catalogue, every other
// byte 0; an unknown number gives an empty record.
MenuItem CatalogueMenuItem(int number);

}  // namespace kestrel
