#pragma once

#include <QString>
#include <cstdint>

#include "server/share_settings.h"
#include "window/child_dlg.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace kestrel {

class RadioSharing;

// The "Share the radio..." window: switches the rigctld and XML-RPC servers on and off while the
// panel runs, with their addresses, raw commands and the transmit time-out, and shows who is
// connected. Apply puts the choice into effect and saves it in "ShareSetting.csv". It works on
// the main window's radio sharing, found when it opens.
class CShareDlg : public CChildDlg {
    Q_OBJECT
  public:
    CShareDlg(QWidget* parent, MainWindow& window);

    // Opens the window showing the settings in effect.
    void Open() override;
    // Puts the choice into effect and saves it; false (with the reason shown) when an address is
    // bad, a server cannot listen or the file cannot be written.
    bool Apply();
    // Returns the text of the status line.
    QString StatusText() const;

  private:
    void ShowSettings(const ShareSettings& settings);
    void ShowStatus();

    RadioSharing* sharing_ = nullptr;
    QPushButton* apply_;
    QCheckBox* rigctlOn_;
    QLineEdit* rigctlAddress_;
    QCheckBox* xmlrpcOn_;
    QLineEdit* xmlrpcAddress_;
    QCheckBox* allowRaw_;
    QSpinBox* timeout_;
    QLabel* status_;
    QLabel* error_;
};

}  // namespace kestrel
