#pragma once

class QDialog;

namespace kestrel {

// Lays out a status box without a title bar: a raised frame around the centred text of a
// string-table entry, at the size of the connecting and reading windows.
void BuildStatusBox(QDialog& dialog, int stringId);

}  // namespace kestrel
