#pragma once

#include "window/child_dlg.h"

class QLabel;

namespace kestrel {

// The Version window: the program's icon, its version (string 113, which carries the version of
// the build) and string 114, and OK. It runs modally; OK, Enter, Escape and the close box end it.
class VersionWindow : public CChildDlg {
    Q_OBJECT
  public:
    // Makes the hidden window.
    VersionWindow(QWidget* parent, MainWindow& window);

    // Returns the two lines of text.
    QLabel& VersionLine() { return *version_; }
    QLabel& SecondLine() { return *second_; }

  private:
    QLabel* version_;
    QLabel* second_;
};

}  // namespace kestrel
