#include "window/shortcut_key_events.h"

namespace kestrel {

ShortcutKey ShortcutKeyOf(int qtKey) {
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) {
        return static_cast<ShortcutKey>(static_cast<int>(ShortcutKey::F1) + (qtKey - Qt::Key_F1));
    }
    switch (qtKey) {
        case Qt::Key_PageUp:
            return ShortcutKey::PageUp;
        case Qt::Key_PageDown:
            return ShortcutKey::PageDown;
        case Qt::Key_Home:
            return ShortcutKey::Home;
        case Qt::Key_End:
            return ShortcutKey::End;
        default:
            return ShortcutKey::Other;
    }
}

ShortcutModifier ShortcutModifierOf(Qt::KeyboardModifiers modifiers) {
    if (modifiers & Qt::ShiftModifier) {
        return ShortcutModifier::Shift;
    }
    if (modifiers & Qt::ControlModifier) {
        return ShortcutModifier::Ctrl;
    }
    if (modifiers & Qt::AltModifier) {
        return ShortcutModifier::Alt;
    }
    return ShortcutModifier::None;
}

}  // namespace kestrel
