#pragma once

#include <Qt>

#include "window/shortcut_keys.h"

namespace kestrel {

// Returns the shortcut key of a Qt key code, or ShortcutKey::Other.
ShortcutKey ShortcutKeyOf(int qtKey);
// Returns the shortcut table a key event's modifiers pick: Shift, then Ctrl, then Alt, else none.
ShortcutModifier ShortcutModifierOf(Qt::KeyboardModifiers modifiers);

}  // namespace kestrel
