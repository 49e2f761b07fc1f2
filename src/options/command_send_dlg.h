#pragma once

#include <QString>

#include "window/child_dlg.h"

class QLineEdit;

namespace kestrel {

// The Command Send window: the operator types any command text, which goes to the line exactly
// as typed (upper case, no ";" added). Only printable ASCII can be typed or pasted; a text the
// engine does not take is reported and the window stays open with it.
class CCommandSendDlg : public CChildDlg {
    Q_OBJECT
  public:
    // The most characters the edit box takes.
    static constexpr int kMaxLength = 500;

    // Makes the hidden window.
    CCommandSendDlg(QWidget* parent, MainWindow& window);

    // Opens the window with an empty edit box.
    void Open() override;
    // Sends the text, if any, and closes; a text the engine refuses keeps the window open.
    void Send();
    // Returns the edit box.
    QLineEdit& Edit() { return *edit_; }

    // The OK button and Enter send.
    void accept() override;

  protected:
    void focusInEvent(QFocusEvent* event) override;

  private:
    void FocusEdit();

    QLineEdit* edit_;
};

// Reports whether a text may go to the line as a command: printable ASCII, at most 500
// characters.
bool IsCommandText(const QString& text);

}  // namespace kestrel
