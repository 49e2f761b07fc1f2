#pragma once

#include <QFont>
#include <string_view>

class QBoxLayout;
class QKeyEvent;
class QPushButton;
class QWidget;

namespace kestrel {

// Offers a key press of an option window to the main window's shortcut keys; reports whether
// they took it. Only keys that can carry a shortcut are offered, never Escape or Enter.
bool OfferShortcut(QWidget* dialog, QKeyEvent* event);

// Leaves an option window without a default button: Enter then clicks only the button that has
// the focus, and elsewhere (a text box, say) does nothing.
void NoDefaultButton(QWidget* dialog);
// Handles Enter in a window without a default button; reports whether the key was Enter.
bool HandleEnter(QWidget* dialog, QKeyEvent* event);

// Queues a raw command text for the line; when the engine does not take it, tells the operator
// why in a box over parent and reports false.
bool QueueRawOrReport(QWidget* parent, std::string_view text);

// The OK and CANCEL buttons of a dialog's last row.
struct OkCancelRow {
    QPushButton* ok;
    QPushButton* cancel;
};
// Adds a row of OK (the default button) and CANCEL (never a default) to the dialog's layout.
OkCancelRow AddOkCancelRow(QWidget* dialog, QBoxLayout* layout);

// Returns the large read-out font of the option windows (Arial, normal weight).
QFont ReadoutFont(int pixelSize);

}  // namespace kestrel
