#pragma once

#include <QString>
#include <cstdint>

#include "window/child_dlg.h"

class QLineEdit;

namespace kestrel {

// The VFO SET window: the operator types a frequency in hertz, by keyboard or by the panel's
// digit keys, and the window reports it to the main window with its closing message (wParam the
// frequency, 0 when cancelled).
class CVfoSetDlg : public CChildDlg {
    Q_OBJECT
  public:
    // The lowest and highest frequency the window accepts.
    static constexpr int32_t kMinFrequency = 30000;
    static constexpr int32_t kMaxFrequency = 56000000;
    // The most digits the edit box takes.
    static constexpr int kMaxDigits = 8;

    // Makes the hidden window.
    CVfoSetDlg(QWidget* parent, MainWindow& window);

    // Opens the window with an empty edit box.
    void Open() override;
    // Appends a digit 0-9 as if typed, unless the text already has eight characters.
    void AppendDigit(int digit);
    // Accepts the text: empty cancels, out of range shows "The input range is incorrect." and
    // keeps the window, otherwise reports the frequency.
    void Accept();
    // Returns the edit box text.
    QString Text() const;

    // The OK button and Enter accept.
    void accept() override;

  protected:
    void focusInEvent(QFocusEvent* event) override;

  private:
    void FocusEdit();

    QLineEdit* edit_;
};

// Returns the frequency a VFO SET text stands for, or 0 when it lies outside 30000-56000000;
// the text holds digits only.
int32_t ParseEntryFrequency(const QString& text);

}  // namespace kestrel
