#pragma once

#include <QPoint>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "panel/panel_tables.h"
#include "platform/main_window.h"

class QAction;
class QMenuBar;
class QWidget;

namespace kestrel {

class CChildDlg;
class CVfoSetDlg;
class CReadingDlg;
struct ChildWindowRow;

// Turns the operator's mouse input on the panel picture into requests and drawing messages, runs
// the menu bar's commands and owns every child window. Lives as long as the main window, which
// hands it its mouse, wheel, menu and timer input and the messages named below.
class PanelController {
  public:
    // Where requests go: RadioEngine::Request(number, vfoB, value) unless a test sets another.
    using RequestSink = std::function<bool(int number, int vfoB, int32_t value)>;
    // Where thread messages to Anl_Send_Thread go: RadioEngine::RequestMessage unless a test sets
    // another.
    using MessageSink = std::function<bool(uint32_t message)>;

    // Makes the controller for the main window's widget and its message interface; the child
    // windows of the child window table are made hidden, as children of the widget.
    PanelController(QWidget* mainWidget, MainWindow& window);
    ~PanelController();
    PanelController(const PanelController&) = delete;
    PanelController& operator=(const PanelController&) = delete;

    // Replaces where requests go.
    void SetRequestSink(RequestSink sink);
    // Replaces where thread messages go.
    void SetMessageSink(MessageSink sink);

    // Handles a left press or double click at a client position.
    void OnLeftButtonDown(int x, int y);
    // Handles the left button going up.
    void OnLeftButtonUp();
    // Handles a right press or double click (the point is not used).
    void OnRightButtonDown();
    // Handles the right button going up.
    void OnRightButtonUp();
    // Records the cursor's client position (drags and the key-hold test read it).
    void OnMouseMove(int x, int y);
    // Counts every held button as released: their release goes elsewhere once a modal box, a
    // focus change, hiding or deactivation takes the mouse.
    void OnInputLost();
    // Handles one wheel message at a client position; only the sign of delta counts.
    void OnMouseWheel(int delta, int x, int y);
    // Handles the ticks of timers 1, 2, 18, 19 and 22.
    void OnTimer(int timerId);

    // Builds the menu bar (File, Setup, Option, Prmtrc, Help) whose items run OnMenuCommand.
    QMenuBar* CreateMenuBar(QWidget* parent);
    // Carries out a menu command 32779-32789.
    void OnMenuCommand(int id);
    // Greys every menu item but "Exit" while a child window is open, enables them otherwise.
    void UpdateMenuItems();
    // Handles a message the main window passes on: the reading window's 0x8803, the closing
    // message of a child window (0x810A closes the connecting window) and the notifications,
    // which go to the open child window that takes them. Returns whether the message was one of
    // them.
    bool HandleWindowMessage(uint32_t id, uint64_t wParam, int64_t lParam);
    // Closes the connecting window, if it is open, and stops its timer.
    void CloseConnectingWindow();
    // Opens the frequency entry window for the VFO selected now (key 63, plain F1).
    void OpenEntryWindow();

    // Reports whether any child window is open (the controller is busy).
    bool IsBusy() const { return ChildWindowOpen(); }
    // Reports whether any child window is open.
    bool ChildWindowOpen() const;
    // Returns the key held or selected, 0 for none.
    int32_t CurrentKey() const { return currentKey; }
    // Returns the selected frequency digit (1-8).
    int32_t DigitIndex() const { return digitIndex; }
    // Returns the angle at which a rotary control was last drawn.
    int32_t DrawnAngle(int key) const;
    // Returns the frequency entry window.
    CVfoSetDlg& EntryWindow();
    // Returns the open flag of a child window by its closing message (0x85CC-0x85DB), or of the
    // connecting window for 0x810A.
    bool WindowOpen(uint32_t closeMessage) const;
    // Returns the window object of a row of the child window table.
    CChildDlg* Window(const ChildWindowRow& row) const;
    // Returns the menu bar's action of a command id, or nullptr before CreateMenuBar.
    QAction* MenuAction(int id) const;
    // Returns whether the menu-changed box is on screen.
    bool BusyBoxShown() const { return busyBoxShown != 0; }

  private:
    // Left-press paths.
    void FocusOpenChild();
    void DeselectKnobOrDigit();
    void DeselectKnob();
    void PressKey(int key);
    void RunChoiceMenu(const Hotspot& hotspot);
    void SelectKnob(int key);
    void StartRepeat(bool down);
    void ChangeKnob(int32_t step, bool down);
    void SelectDigit(int key);
    void TuneDigit(bool up);
    void StartDrag(int key);
    void DragSample();
    void EndDrag();
    void WheelRotary(int key, bool up);
    void KeyHoldTest();
    void KnobRepeatTick();
    void PostDragSteps();

    // Outgoing messages.
    void ShowKey(int key, bool pressed);
    void PostKeyRequest(const Hotspot& hotspot);
    void Post(uint32_t requestMessage, RequestBits bits, int32_t value);
    int64_t Send(uint32_t id, uint64_t wParam, int64_t lParam);
    void SendAngle(const RotaryControl& rotary, int angle);

    // Rotary control state by key.
    int32_t& AngleOf(int key);
    int32_t& RestOf(int key);
    int32_t& StepsOf(int key);

    // Child windows: one per row of the child window table, in its order.
    struct Child {
        const ChildWindowRow* row;
        // The windows are Qt children of the main widget; whichever of the two goes first, the
        // controller deletes only the windows still there.
        QPointer<CChildDlg> dlg;
        bool open = false;
    };
    Child* ChildOfClose(uint32_t closeMessage);
    const Child* ChildOfClose(uint32_t closeMessage) const;
    void OpenChild(Child& child, int mode = 0);
    bool CloseChild(Child& child);
    bool HandOn(uint32_t id, uint64_t wParam, int64_t lParam);
    void OpenConnectingWindow();
    void EnterFrequency(uint64_t frequency);
    void RunReadingWindow();
    void ShowMenuChangedBox();
    bool IsKnobSelected() const;
    bool IsDigitSelected() const;
    bool OtherChildOpen() const;
    bool MenuListOpen() const;
    bool EntryOpen() const;

    QWidget* widget_;
    MainWindow& window_;
    RequestSink post_;
    MessageSink postMessage_;

    int32_t currentKey = 0;
    uint8_t vfoB = 0;
    uint8_t vfoBAtEntry = 0;
    int32_t frequency = 0;
    int32_t dialAngle = 0, rightDialAngle = 0, centreKnobAngle = 0;
    int32_t lastAngle = 0;
    int32_t dialRest = 0, rightDialRest = 0, centreKnobRest = 0;
    int32_t dialSteps = 0, rightDialSteps = 0, centreKnobSteps = 0;
    int32_t choiceIndex = 0;
    uint8_t repeatDown = 0;
    uint8_t repeatFast = 0;
    int32_t knobValue = 0;
    int32_t digitIndex = 0;

    uint8_t busyBoxShown = 0;

    // The buttons as this controller saw them go down and up, and the cursor's last position.
    bool leftDown_ = false;
    bool rightDown_ = false;
    QPoint cursor_;

    std::vector<Child> children_;
    CReadingDlg* reading_ = nullptr;  // the reading window while it runs
    std::map<int, QAction*> menuActions_;
};

}  // namespace kestrel
