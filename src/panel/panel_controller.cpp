#include "panel/panel_controller.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QWidget>
#include <algorithm>
#include <utility>

#include "engine_api/radio_engine.h"
#include "options/vfo_set_dlg.h"
#include "panel/child_window_table.h"
#include "panel/reading_dlg.h"
#include "platform/message.h"
#include "platform/timer_numbers.h"
#include "protocol/radio_state.h"
#include "protocol/requests.h"
#include "res/strings.h"
#include "window/panel_messages.h"

namespace kestrel {

namespace {

constexpr int kKeyHoldMs = 100;
constexpr int kDragSampleMs = 30;
constexpr int kRepeatFirstMs = 1000;
constexpr int kRepeatHeldMs = 200;
constexpr int kDialRestMs = 200;

// The box shown when the transceiver reports a menu setting while the MENU LIST window shows
// the values it read before.
constexpr int kStringMenuChanged = 112;

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

int DefaultChoice(QWidget* parent, const ChoiceMenu& menu, QPoint screenPos) {
    QMenu popup(parent);
    for (const ChoiceItem& item : menu.items) {
        QAction* action = popup.addAction(ToQString(item.text));
        action->setData(item.id);
    }
    QAction* chosen = popup.exec(screenPos);
    return chosen ? chosen->data().toInt() : 0;
}

bool IsRotary(int key) {
    return key == kKeyMainDial || key == kKeyRightDial || key == kKeyCentreKnob;
}

bool IsDigitKey(int key) {
    return key >= kKeyDigitLowA && key <= kKeyDigitHighB;
}

}  // namespace

PanelController::PanelController(QWidget* mainWidget, MainWindow& window)
    : widget_(mainWidget),
      window_(window),
      post_([](int number, int onVfoB, int32_t value) {
          return RadioEngine::Request(number, onVfoB, value);
      }),
      postMessage_([](uint32_t message) { return RadioEngine::RequestMessage(message); }) {
    for (const ChildWindowRow& row : ChildWindowTable()) {
        children_.push_back({.row = &row, .dlg = row.make(mainWidget, window, row)});
    }
}

PanelController::~PanelController() {
    // A window that went with the main widget has left its QPointer null.
    for (Child& child : children_) {
        delete child.dlg.data();
    }
}

CVfoSetDlg& PanelController::EntryWindow() {
    return *qobject_cast<CVfoSetDlg*>(ChildOfClose(kMsgEntryClosed)->dlg.data());
}

void PanelController::SetRequestSink(RequestSink sink) {
    post_ = std::move(sink);
}

void PanelController::SetMessageSink(MessageSink sink) {
    postMessage_ = std::move(sink);
}

// ---------------------------------------------------------------------------------------------
// Mouse input

void PanelController::OnLeftButtonDown(int x, int y) {
    leftDown_ = true;
    cursor_ = QPoint(x, y);
    FocusOpenChild();
    vfoB = GetField(Field::VS) == 1 ? 1 : 0;

    const bool childOpen = ChildWindowOpen();
    const PanelHit hit = HitTest(x, y, childOpen);
    if (hit.zone == 0) {
        if (IsKnobSelected()) {
            StartRepeat(true);
        }
        return;
    }
    if (hit.zone == 2) {
        if (childOpen) {
            return;
        }
        if (hit.hotspot != nullptr) {
            digitIndex = hit.digitIndex;
            DeselectKnob();
            SelectDigit(hit.hotspot->key);
        } else if (IsKnobSelected()) {
            StartRepeat(true);
        }
        return;
    }
    if (hit.hotspot != nullptr) {
        DeselectKnobOrDigit();
        if (hit.hotspot->value == KeyValue::Choice) {
            RunChoiceMenu(*hit.hotspot);
        } else {
            PressKey(hit.hotspot->key);
        }
        return;
    }
    if (hit.disc != nullptr) {
        const int key = hit.disc->key;
        if (ValueKnobOfKey(key) != nullptr) {
            if (currentKey != key && (IsKnobSelected() || IsDigitSelected())) {
                DeselectKnobOrDigit();
            }
            if (currentKey != key) {
                SelectKnob(key);
            } else {
                StartRepeat(true);
            }
        } else if (currentKey != key) {
            DeselectKnobOrDigit();
            StartDrag(key);
        }
        return;
    }
    if (IsKnobSelected()) {
        StartRepeat(true);
    }
}

void PanelController::OnLeftButtonUp() {
    leftDown_ = false;
    if (IsRotary(currentKey)) {
        EndDrag();
    } else if (IsKnobSelected()) {
        window_.KillTimer(kTimerKnobRepeat);
        if (repeatFast == 0) {
            ChangeKnob(ValueKnobOfKey(currentKey)->clickStep, true);
        } else {
            repeatFast = 0;
        }
    } else if (IsDigitSelected()) {
        return;
    } else if (currentKey != 0) {
        PressKey(currentKey);
    }
}

void PanelController::OnRightButtonDown() {
    rightDown_ = true;
    if (IsKnobSelected()) {
        StartRepeat(false);
    }
}

void PanelController::OnRightButtonUp() {
    rightDown_ = false;
    if (IsKnobSelected()) {
        window_.KillTimer(kTimerKnobRepeat);
        if (repeatFast == 0) {
            ChangeKnob(ValueKnobOfKey(currentKey)->clickStep, false);
        } else {
            repeatFast = 0;
        }
    }
}

void PanelController::OnMouseMove(int x, int y) {
    cursor_ = QPoint(x, y);
}

// A knob's repeat stops at once, without the click step of a release seen on the panel; a drag
// and a held key end at their next tick, which finds the button up.
void PanelController::OnInputLost() {
    leftDown_ = false;
    rightDown_ = false;
    window_.KillTimer(kTimerKnobRepeat);
    repeatFast = 0;
}

void PanelController::OnMouseWheel(int delta, int x, int y) {
    const bool up = delta > 0;
    if (IsKnobSelected()) {
        if (repeatFast == 0) {
            ChangeKnob(ValueKnobOfKey(currentKey)->wheelStep, !up);
        }
        return;
    }
    if (IsDigitSelected()) {
        TuneDigit(up);
        return;
    }
    if (currentKey != 0 || ChildWindowOpen()) {
        return;
    }
    const PanelHit hit = HitTest(x, y, false);
    if (hit.disc != nullptr && IsRotary(hit.disc->key)) {
        WheelRotary(hit.disc->key, up);
    }
}

void PanelController::OnTimer(int timerId) {
    switch (timerId) {
        case kTimerKeyHold:
            if (IsRotary(currentKey)) {
                DragSample();
            } else {
                KeyHoldTest();
            }
            break;
        case kTimerKnobRepeat:
            KnobRepeatTick();
            break;
        case kTimerDragSteps:
            PostDragSteps();
            break;
        case kTimerDialRest:
            window_.KillTimer(kTimerDialRest);
            Send(kMsgDrawDial2, kAngleAtRest, 0);
            Send(kMsgRestDial4, kAngleAtRest, 0);
            Send(kMsgRestDial5, kAngleAtRest, 0);
            Send(kMsgDrawDial3, kAngleAtRest, 0);
            break;
        case kTimerConnecting:
            CloseConnectingWindow();
            QMessageBox::warning(widget_, widget_->windowTitle(), ToQString(LoadString(111)));
            break;
        default:
            break;
    }
}

// ---------------------------------------------------------------------------------------------
// Keys

void PanelController::FocusOpenChild() {
    for (const Child& child : children_) {
        if (child.open) {
            child.dlg->activateWindow();
            child.dlg->setFocus();
            return;
        }
    }
}

bool PanelController::IsKnobSelected() const {
    return ValueKnobOfKey(currentKey) != nullptr;
}

bool PanelController::IsDigitSelected() const {
    return IsDigitKey(currentKey);
}

void PanelController::DeselectKnob() {
    if (const ValueKnob* knob = ValueKnobOfKey(currentKey)) {
        // A repeat started by the selecting press must not step a knob that is no longer chosen.
        window_.KillTimer(kTimerKnobRepeat);
        repeatFast = 0;
        Send(kMsgDrawKeyLamp, 0, knob->lamp);
        currentKey = 0;
    }
}

void PanelController::DeselectKnobOrDigit() {
    if (IsKnobSelected()) {
        DeselectKnob();
    } else if (IsDigitSelected()) {
        Send(currentKey <= kKeyDigitHighA ? kMsgSelectDigitA : kMsgSelectDigitB, 0, 0);
        currentKey = 0;
    }
}

bool PanelController::OtherChildOpen() const {
    // The panel keys still reach the MENU LIST and VFO SET windows (PressKey).
    return std::ranges::any_of(children_, [](const Child& child) {
        return child.open && child.row->closeMessage != kMsgMenuListClosed &&
               child.row->closeMessage != kMsgEntryClosed;
    });
}

bool PanelController::MenuListOpen() const {
    return WindowOpen(kMsgMenuListClosed);
}

bool PanelController::EntryOpen() const {
    return WindowOpen(kMsgEntryClosed);
}

void PanelController::PressKey(int key) {
    if (OtherChildOpen()) {
        return;
    }
    if (MenuListOpen() && currentKey == 0) {
        return;
    }
    if (key == kKeyMenuList && currentKey == 0 && !EntryOpen()) {
        ShowKey(key, true);
        OpenChild(*ChildOfClose(kMsgMenuListClosed));
        ShowKey(key, false);
        // The reading window took the button's release.
        leftDown_ = false;
        return;
    }
    if (EntryOpen() && currentKey == 0) {
        if (key >= kKeyDigitZero && key <= kKeyDigitNine) {
            EntryWindow().AppendDigit(key - kKeyDigitZero);
        } else if (key == kKeyEnter) {
            EntryWindow().Accept();
        } else {
            return;
        }
    } else if (key == kKeyEnter && currentKey == 0 && !EntryOpen()) {
        OpenEntryWindow();
    }
    if (key == currentKey) {
        ShowKey(key, false);
        window_.KillTimer(kTimerKeyHold);
        currentKey = 0;
        if (key == kKeyTxWatch) {
            Post(kReqMsgTxWatchOff, RequestBits::Bit20, 0);
        }
        return;
    }
    currentKey = key;
    ShowKey(key, true);
    if (!EntryOpen()) {
        if (const Hotspot* hotspot = HotspotOfKey(key)) {
            PostKeyRequest(*hotspot);
        }
    }
    window_.SetTimer(kTimerKeyHold, kKeyHoldMs);
    if (key == kKeyConnect && GetField(Field::AI) == 0) {
        OpenConnectingWindow();
    }
}

void PanelController::RunChoiceMenu(const Hotspot& hotspot) {
    if (ChildWindowOpen()) {
        PressKey(hotspot.key);
        return;
    }
    const ChoiceMenu* menu = ChoiceMenuOfKey(hotspot.key);
    if (menu == nullptr) {
        return;
    }
    ShowKey(hotspot.key, true);
    const QPoint corner = widget_->window()->frameGeometry().topLeft();
    const int id = DefaultChoice(widget_, *menu, corner + QPoint(menu->offsetX, menu->offsetY));
    ShowKey(hotspot.key, false);
    // The pop-up menu took the button's release.
    leftDown_ = false;
    if (id > 0) {
        choiceIndex = id - 1;
        PostKeyRequest(hotspot);
    }
}

void PanelController::KeyHoldTest() {
    const Hotspot* held = HotspotOfKey(currentKey);
    if (held == nullptr) {
        window_.KillTimer(kTimerKeyHold);
        return;
    }
    const Hotspot* under = FindHotspot(held->zone, cursor_.x(), cursor_.y());
    if (under == held && leftDown_) {
        return;
    }
    PressKey(currentKey);
}

// ---------------------------------------------------------------------------------------------
// Value knobs

void PanelController::SelectKnob(int key) {
    const ValueKnob* knob = ValueKnobOfKey(key);
    if (key == currentKey) {
        Send(kMsgDrawKeyLamp, 0, knob->lamp);
        currentKey = 0;
        return;
    }
    repeatFast = 0;
    currentKey = key;
    Send(kMsgDrawKeyLamp, 1, knob->lamp);
    repeatDown = 1;
    window_.SetTimer(kTimerKnobRepeat, kRepeatFirstMs);
}

void PanelController::StartRepeat(bool down) {
    repeatDown = down ? 1 : 0;
    repeatFast = 0;
    window_.SetTimer(kTimerKnobRepeat, kRepeatFirstMs);
}

void PanelController::KnobRepeatTick() {
    const ValueKnob* knob = ValueKnobOfKey(currentKey);
    const bool held = repeatDown != 0 ? leftDown_ : rightDown_;
    if (knob == nullptr || !held) {
        window_.KillTimer(kTimerKnobRepeat);
        repeatFast = 0;
        return;
    }
    if (repeatFast == 0) {
        repeatFast = 1;
        window_.SetTimer(kTimerKnobRepeat, kRepeatHeldMs);
    }
    ChangeKnob(knob->heldStep, repeatDown != 0);
}

void PanelController::ChangeKnob(int32_t step, bool down) {
    const ValueKnob* knob = ValueKnobOfKey(currentKey);
    if (knob == nullptr) {
        return;
    }
    knobValue = SteppedKnobValue(*knob, GetField(knob->field), step, down);
    Post(knob->request, RequestBits::Bit20, knobValue);
}

// ---------------------------------------------------------------------------------------------
// Frequency digits

void PanelController::SelectDigit(int key) {
    if (currentKey == key) {
        Send(kMsgSelectDigitA, 0, 0);
        currentKey = 0;
        return;
    }
    if (currentKey >= kKeyDigitLowB && currentKey <= kKeyDigitHighB) {
        Send(kMsgSelectDigitB, 0, 0);
    }
    Send(kMsgSelectDigitA, static_cast<uint64_t>(digitIndex), 0);
    currentKey = key;
}

void PanelController::TuneDigit(bool up) {
    vfoB = GetField(Field::VS) == 1 ? 1 : 0;
    const int32_t base = GetField(vfoB != 0 ? Field::FB : Field::FA);
    const std::optional<int32_t> tuned = TunedFrequency(base, digitIndex, up);
    if (!tuned) {
        return;
    }
    frequency = *tuned;
    Post(vfoB != 0 ? kReqMsgFrequencyB : kReqMsgFrequencyA, RequestBits::Bit20, frequency);
}

// ---------------------------------------------------------------------------------------------
// Rotary controls

int32_t& PanelController::AngleOf(int key) {
    return key == kKeyMainDial    ? dialAngle
           : key == kKeyRightDial ? rightDialAngle
                                  : centreKnobAngle;
}

int32_t& PanelController::RestOf(int key) {
    return key == kKeyMainDial ? dialRest : key == kKeyRightDial ? rightDialRest : centreKnobRest;
}

int32_t& PanelController::StepsOf(int key) {
    return key == kKeyMainDial    ? dialSteps
           : key == kKeyRightDial ? rightDialSteps
                                  : centreKnobSteps;
}

int32_t PanelController::DrawnAngle(int key) const {
    return key == kKeyMainDial    ? dialAngle
           : key == kKeyRightDial ? rightDialAngle
                                  : centreKnobAngle;
}

void PanelController::SendAngle(const RotaryControl& rotary, int angle) {
    Send(rotary.angleMessage, static_cast<uint64_t>(angle), 0);
}

void PanelController::StartDrag(int key) {
    const RotaryControl* rotary = RotaryOfKey(key);
    currentKey = key;
    const int angle = CursorAngle(cursor_.x(), cursor_.y(), rotary->cx, rotary->cy);
    lastAngle = angle;
    AngleOf(key) = angle;
    RestOf(key) = 0;
    window_.SetTimer(kTimerDragSteps, kDragSampleMs);
    window_.SetTimer(kTimerKeyHold, kDragSampleMs);
    SendAngle(*rotary, angle);
}

void PanelController::DragSample() {
    if (!leftDown_) {
        EndDrag();
        return;
    }
    const RotaryControl* rotary = RotaryOfKey(currentKey);
    const int angle = CursorAngle(cursor_.x(), cursor_.y(), rotary->cx, rotary->cy);
    const int delta = AngleDelta(lastAngle, angle);
    lastAngle = angle;
    StepsOf(currentKey) += TakeDialSteps(RestOf(currentKey), delta);
    if (angle != AngleOf(currentKey)) {
        AngleOf(currentKey) = angle;
        SendAngle(*rotary, angle);
    }
}

void PanelController::PostDragSteps() {
    const RotaryControl* rotary = RotaryOfKey(currentKey);
    if (rotary == nullptr) {
        window_.KillTimer(kTimerDragSteps);
        return;
    }
    // Posted every 30 ms while the control is held, 0 steps included: the request thread sends
    // nothing for 0.
    Post(rotary->request, RequestBits::Bit20, StepsOf(currentKey));
    StepsOf(currentKey) = 0;
}

void PanelController::EndDrag() {
    const int key = currentKey;
    const RotaryControl* rotary = RotaryOfKey(key);
    // Steps taken since the last 30 ms tick go out now rather than with the next drag.
    if (StepsOf(key) != 0) {
        Post(rotary->request, RequestBits::Bit20, StepsOf(key));
        StepsOf(key) = 0;
    }
    if (key != kKeyMainDial) {
        SendAngle(*rotary, kAngleAtRest);
    }
    currentKey = 0;
    window_.KillTimer(kTimerDragSteps);
    window_.KillTimer(kTimerKeyHold);
}

void PanelController::WheelRotary(int key, bool up) {
    const RotaryControl* rotary = RotaryOfKey(key);
    AngleOf(key) = WheelAngle(AngleOf(key), up);
    SendAngle(*rotary, AngleOf(key));
    StepsOf(key) += TakeDialSteps(RestOf(key), up ? 7 : -7);
    Post(rotary->request, RequestBits::Bit20, StepsOf(key));
    StepsOf(key) = 0;
    if (key != kKeyMainDial) {
        window_.SetTimer(kTimerDialRest, kDialRestMs);
    }
}

// ---------------------------------------------------------------------------------------------
// Outgoing

void PanelController::ShowKey(int key, bool pressed) {
    const Hotspot* hotspot = HotspotOfKey(key);
    if (hotspot != nullptr && hotspot->display != 0) {
        Send(hotspot->display, pressed ? 1 : 0, 0);
    }
}

void PanelController::PostKeyRequest(const Hotspot& hotspot) {
    if (hotspot.request == 0) {
        return;
    }
    int32_t value = 0;
    switch (hotspot.value) {
        case KeyValue::Zero:
            value = 0;
            break;
        case KeyValue::One:
            value = 1;
            break;
        case KeyValue::Choice:
            value = choiceIndex;
            break;
        case KeyValue::Frequency:
            value = frequency;
            break;
    }
    Post(hotspot.request, hotspot.bits, value);
}

void PanelController::Post(uint32_t requestMessage, RequestBits bits, int32_t value) {
    const int number = RequestNumberOfMessage(requestMessage);
    if (number == 0) {
        return;
    }
    // The request thread reads only bit 0 of wParam.
    post_(number, static_cast<int>(RequestWParam(bits, vfoB) & 1u), value);
}

int64_t PanelController::Send(uint32_t id, uint64_t wParam, int64_t lParam) {
    return window_.SendMessage(id, wParam, lParam);
}

// ---------------------------------------------------------------------------------------------
// Menu bar and child windows

QMenuBar* PanelController::CreateMenuBar(QWidget* parent) {
    auto* bar = new QMenuBar(parent);
    struct Item {
        const char* menu;
        const char* text;
        int id;
    };
    // clang-format off
    static constexpr Item kItems[] = {
        {"File",   "Command Send", kMenuCommandSend},
        {"File",   "Exit",         kMenuExit},
        {"Setup",  "COM Select",   kMenuComSelect},
        {"Setup",  "Baud rate",    kMenuBaudRate},
        {"Setup",  "Share the radio...", kMenuShare},
        {"Option", "Playback",     kMenuPlayback},
        {"Option", "Rotator",      kMenuRotator},
        {"Option", "CW",           kMenuCw},
        {"Option", "Repeater",     kMenuRepeater},
        {"Prmtrc", "Prmtrc",       kMenuPrmtrc},
        {"Prmtrc", "P-Prmtrc",     kMenuPPrmtrc},
        {"Help",   "Version",      kMenuVersion},
    };
    // clang-format on
    std::map<QString, QMenu*> menus;
    for (const Item& item : kItems) {
        const QString title = QString::fromLatin1(item.menu);
        QMenu*& menu = menus[title];
        if (menu == nullptr) {
            menu = bar->addMenu(title);
        }
        QAction* action = menu->addAction(QString::fromLatin1(item.text));
        const int id = item.id;
        QObject::connect(action, &QAction::triggered, bar, [this, id] { OnMenuCommand(id); });
        menuActions_[id] = action;
    }
    UpdateMenuItems();
    return bar;
}

QAction* PanelController::MenuAction(int id) const {
    auto it = menuActions_.find(id);
    return it == menuActions_.end() ? nullptr : it->second;
}

void PanelController::UpdateMenuItems() {
    const bool enable = !ChildWindowOpen();
    for (const auto& [id, action] : menuActions_) {
        // Only the items that open a window are greyed ("Exit" never is).
        const bool opensWindow = std::ranges::any_of(
            children_, [id](const Child& child) { return ModeOfMenu(*child.row, id) >= 0; });
        action->setEnabled(enable || !opensWindow);
    }
}

bool PanelController::ChildWindowOpen() const {
    return std::ranges::any_of(children_, [](const Child& child) { return child.open; });
}

void PanelController::OnMenuCommand(int id) {
    FocusOpenChild();
    DeselectKnobOrDigit();
    if (id == kMenuExit) {
        Send(kMsgExitProgram, 0, 0);
        return;
    }
    // The items are greyed while a window is open; a command that arrives anyway is dropped so
    // that one window never opens over another.
    if (ChildWindowOpen()) {
        return;
    }
    for (Child& child : children_) {
        if (const int mode = ModeOfMenu(*child.row, id); mode >= 0) {
            OpenChild(child, mode);
            return;
        }
    }
}

void PanelController::OpenChild(Child& child, int mode) {
    const ChildWindowRow& row = *child.row;
    if (row.readFirst == ReadFirst::Always ||
        (row.readFirst == ReadFirst::WhenIdUnknown && GetField(Field::IDX) == 0)) {
        RunReadingWindow();
    }
    child.dlg->SetMode(mode);
    if (row.modal) {
        child.dlg->RunModal();
        return;
    }
    // The menu is greyed before the window runs any code of its own, so that nothing it does
    // can open a second window.
    child.open = true;
    UpdateMenuItems();
    child.dlg->Open();
    if (row.timer.id != 0) {
        window_.SetTimer(row.timer.id, row.timer.ms);
    }
    if (row.openMessage != 0) {
        postMessage_(row.openMessage);
    }
}

bool PanelController::CloseChild(Child& child) {
    // A closing message for a window that is not open changes nothing.
    if (!child.open) {
        return false;
    }
    if (child.row->timer.id != 0) {
        window_.KillTimer(child.row->timer.id);
    }
    child.open = false;
    UpdateMenuItems();
    child.dlg->Destroy();
    return true;
}

PanelController::Child* PanelController::ChildOfClose(uint32_t closeMessage) {
    return const_cast<Child*>(std::as_const(*this).ChildOfClose(closeMessage));
}

const PanelController::Child* PanelController::ChildOfClose(uint32_t closeMessage) const {
    const auto found = std::ranges::find_if(children_, [closeMessage](const Child& child) {
        return !child.row->modal && child.row->closeMessage == closeMessage;
    });
    return found == children_.end() ? nullptr : &*found;
}

void PanelController::RunReadingWindow() {
    CReadingDlg dlg(widget_, window_);
    reading_ = &dlg;
    dlg.Run();
    reading_ = nullptr;
}

void PanelController::OpenEntryWindow() {
    if (ChildWindowOpen()) {
        return;
    }
    vfoB = GetField(Field::VS) == 1 ? 1 : 0;
    vfoBAtEntry = vfoB;
    OpenChild(*ChildOfClose(kMsgEntryClosed));
}

void PanelController::OpenConnectingWindow() {
    OpenChild(*ChildOfClose(kMsgConnectionUp));
}

void PanelController::CloseConnectingWindow() {
    CloseChild(*ChildOfClose(kMsgConnectionUp));
}

void PanelController::EnterFrequency(uint64_t wParam) {
    if (wParam == 0) {
        return;
    }
    frequency = static_cast<int32_t>(wParam);
    Post(vfoBAtEntry == 0 ? kReqMsgFrequencyA : kReqMsgFrequencyB, RequestBits::Bit20, frequency);
}

void PanelController::ShowMenuChangedBox() {
    busyBoxShown = 1;
    QMessageBox::information(widget_, widget_->windowTitle(),
                             ToQString(LoadString(kStringMenuChanged)));
    busyBoxShown = 0;
}

bool PanelController::HandleWindowMessage(uint32_t id, uint64_t wParam, int64_t lParam) {
    if (id == kMsgCloseReadingWindow) {
        if (reading_ != nullptr) {
            reading_->OnReadingDone();
        }
        return true;
    }
    if (Child* child = ChildOfClose(id)) {
        // The VFO SET window's closing message carries the frequency entered.
        if (CloseChild(*child) && id == kMsgEntryClosed) {
            EnterFrequency(wParam);
        }
        return true;
    }
    return HandOn(id, wParam, lParam);
}

bool PanelController::HandOn(uint32_t id, uint64_t wParam, int64_t lParam) {
    bool taken = false;
    for (Child& child : children_) {
        if (!Takes(*child.row, id)) {
            continue;
        }
        taken = true;
        if (!child.open) {
            continue;
        }
        // The first open window in the table's order takes it: "EX" shows the MENU LIST's box
        // and only reaches the equalizer while no MENU LIST is open.
        if (child.row->onNotify == OnNotify::MenuChangedBox) {
            if (busyBoxShown == 0) {
                ShowMenuChangedBox();
            }
        } else {
            child.dlg->TakeNotification(id, wParam, lParam);
        }
        return true;
    }
    return taken;
}

bool PanelController::WindowOpen(uint32_t closeMessage) const {
    const Child* child = ChildOfClose(closeMessage);
    return child != nullptr && child->open;
}

CChildDlg* PanelController::Window(const ChildWindowRow& row) const {
    const auto found =
        std::ranges::find_if(children_, [&row](const Child& child) { return child.row == &row; });
    return found == children_.end() ? nullptr : found->dlg.data();
}

}  // namespace kestrel
