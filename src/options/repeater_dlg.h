#pragma once

#include <QDialog>
#include <QListWidget>
#include <QString>
#include <array>
#include <cstdint>

#include "window/child_dlg.h"

class QKeyEvent;
class QLabel;

namespace kestrel {

class ColorStatic;

// The 50 standard CTCSS tones in tenths of a hertz, by tone number 0-49, five to a line as the
// tone window's grid rows show them.
// clang-format off
inline constexpr std::array<int, 50> kToneTenthsHz{
     670,  693,  719,  744,  770,
     797,  825,  854,  885,  915,
     948,  974, 1000, 1035, 1072,
    1109, 1148, 1188, 1230, 1273,
    1318, 1365, 1413, 1462, 1514,
    1567, 1598, 1622, 1655, 1679,
    1713, 1738, 1773, 1799, 1835,
    1862, 1899, 1928, 1966, 1995,
    2035, 2065, 2107, 2181, 2257,
    2291, 2336, 2418, 2503, 2541,
};
// clang-format on

// The tone window's grid: 10 rows of five neighbouring tones.
inline constexpr int kToneRows = 10;

// Returns the read-out of a tone number ("100.0 Hz"), "?????" for none.
QString ToneName(int32_t tone);
// Returns the read-out of a CTCSS mode (0 "OFF", 1 "Tone Squelch", 2 "Tone Encoder").
QString CtcssModeName(int32_t mode);
// Returns the read-out of a repeater shift (0 "Simplex", 1 "Plus Shift", 2 "Minus Shift").
QString ShiftName(int32_t shift);
// Returns the tone number the tone list shows at an item index (the list runs down the columns).
int ToneAtItem(int item);

// The tone list: five columns of ten tones, the current tone's text in red.
class ToneListBox : public QListWidget {
    Q_OBJECT
  public:
    // Makes the list with its 50 tones.
    explicit ToneListBox(QWidget* parent = nullptr);
    // Draws the item of a tone number in red (no item when the number has none).
    void SetHighlightedTone(int32_t tone);
    // Returns the item drawn in red.
    int HighlightedItem() const { return highlighted_; }

  private:
    int highlighted_ = 0;
};

// The CTCSS Tone Frequency window: a modal list of the 50 tones; OK (or a double click) sets
// the chosen tone for the VFO the Repeater window addresses.
class CToneDlg : public QDialog {
    Q_OBJECT
  public:
    // Makes the window for a VFO (1 = VFO-B) with the current tone highlighted.
    CToneDlg(QWidget* parent, int vfoB, int32_t currentTone);
    // Returns the list.
    ToneListBox& List() { return *list_; }

    // OK: requests the selected tone, if any, and closes.
    void accept() override;

  private:
    ToneListBox* list_;
    int vfoB_;
};

// The Repeater window: the CTCSS mode, tone and repeater shift of the VFO selected when it
// opened, read from the transceiver's reports, and the buttons that set them.
class CRepeaterDlg : public CChildDlg {
    Q_OBJECT
  public:
    // The three read-outs.
    enum Readout { kMode, kTone, kShift, kReadoutCount };

    // Makes the hidden window.
    CRepeaterDlg(QWidget* parent, MainWindow& window);

    // Opens the window for the VFO selected now and asks the transceiver for that VFO's settings.
    void Open() override;
    // Refreshes the read-outs that a CN, CT, OS, IF or OI report of the window's VFO carries.
    void OnNotification(uint32_t id, uint64_t wParam, int64_t lParam) override;

    // Returns the VFO the window addresses (1 = VFO-B).
    int VfoB() const { return vfoB_; }
    // Returns a read-out.
    ColorStatic& ReadoutLabel(Readout n) { return *readouts_[n]; }
    // Returns the VFO label's text.
    QString VfoLabel() const;

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void Show(Readout n, int32_t value);
    void OpenToneWindow();

    QLabel* vfoLabel_;
    std::array<ColorStatic*, kReadoutCount> readouts_{};
    std::array<int32_t, kReadoutCount> shown_{};
    int vfoB_ = 0;
};

}  // namespace kestrel
