#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine_api/radio_engine.h"
#include "platform/com_links.h"
#include "window/child_dlg.h"

class QComboBox;
class QPushButton;

namespace kestrel {

// One entry of a setting window's list: its text and the value it stands for.
struct SettingEntry {
    QString text;
    int32_t value;
};

// A window that changes one serial setting: a drop-down list with no entry chosen at first (the
// current setting in red), OK and CANCEL. OK with nothing chosen only closes; otherwise the
// engine takes the transceiver off the link when the setting really changes, stores and saves
// it and closes the port, and the window closes once that is done. The waiting runs in the
// engine on a timer; the window stays responsive and ignores closing meanwhile.
class SerialSettingWindow : public CChildDlg {
    Q_OBJECT
  public:
    // Shows a string-table text in a message box.
    using BoxRunner = std::function<void(int stringId)>;

    // Opens the window with the list filled afresh and nothing chosen.
    void Open() override;
    // Replaces how boxes show.
    void SetBoxRunner(BoxRunner runner) { boxes_ = std::move(runner); }

    // Returns the value chosen in the list, 0 for none.
    int32_t ChosenValue() const { return chosenValue; }
    // Returns the list.
    QComboBox& List() { return *list_; }
    // Returns the OK button.
    QPushButton& OkButton() { return *ok_; }
    // Reports whether a change is under way.
    bool Busy() const { return busy_; }

    // OK and Enter carry out the choice; CANCEL, Escape and the close box close while no change
    // is under way.
    void accept() override;
    void reject() override;

  protected:
    SerialSettingWindow(QWidget* parent, MainWindow& window, uint32_t closeMessage,
                        const QString& title, std::vector<SettingEntry> entries);

    // Returns the setting in force.
    virtual int32_t CurrentValue() const = 0;
    // Returns the text shown after an entry's own (what a port leads to), or "".
    virtual QString EntryNote(int32_t) const { return {}; }
    // What became of OK.
    enum class Start : uint8_t {
        Close,    // nothing to change: the window only closes
        Stay,     // the change could not start (the operator has been told why)
        Started,  // the engine runs the change and reports its outcome
    };
    // Starts the change for OK.
    virtual Start StartChange(RadioEngine::SettingDone done) = 0;
    // Takes the outcome of a change before the window reacts to it.
    virtual void ChangeEnded(RadioEngine::SettingChange) {}

    void closeEvent(QCloseEvent* event) override;
    void ShowBox(int stringId) { boxes_(stringId); }

    int32_t chosenValue = 0;

  private:
    void FillList();
    void OnChangeDone(RadioEngine::SettingChange outcome);

    std::vector<SettingEntry> entries_;
    QComboBox* list_;
    QPushButton* ok_;
    QPushButton* cancel_;
    BoxRunner boxes_;
    bool busy_ = false;
};

// The COM Select window: COM1 to COM20, each with the device it leads to, and the serial
// adapters plugged in by their stable names. Choosing an adapter points the chosen COM port (or
// the current one) at it through its "CommoFiles/COMn" link. A new port is probed before
// anything changes.
class ComSelectWindow : public SerialSettingWindow {
    Q_OBJECT
  public:
    // Makes the hidden window; adapters are listed from the folder given.
    ComSelectWindow(QWidget* parent, MainWindow& window,
                    std::string byIdFolder = std::string(kSerialByIdFolder));

    // Opens the window with both lists filled afresh.
    void Open() override;
    // Returns the adapter list.
    QComboBox& Adapters() { return *adapters_; }

  protected:
    int32_t CurrentValue() const override;
    QString EntryNote(int32_t value) const override;
    Start StartChange(RadioEngine::SettingDone done) override;
    void ChangeEnded(RadioEngine::SettingChange outcome) override;

  private:
    std::string byIdFolder_;
    QComboBox* adapters_;
    std::vector<SerialAdapter> found_;
    int32_t linkedPort_ = 0;  // the port relinked by the change under way, 0 for none
    std::string linkBefore_;  // what that port's link named before, "" when it had none
};

// The Baud rate window: the four speeds of the transceiver.
class BaudRateWindow : public SerialSettingWindow {
    Q_OBJECT
  public:
    // Makes the hidden window.
    BaudRateWindow(QWidget* parent, MainWindow& window);

  protected:
    int32_t CurrentValue() const override;
    Start StartChange(RadioEngine::SettingDone done) override;
};

}  // namespace kestrel
