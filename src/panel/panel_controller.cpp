#include "panel/panel_controller.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QWidget>

#include "engine_api/radio_engine.h"
#include "options/option_placeholder_dlg.h"
#include "options/vfo_set_dlg.h"
#include "panel/connecting_dlg.h"
#include "panel/panel_messages.h"
#include "panel/reading_dlg.h"
#include "platform/message.h"
#include "platform/timer_numbers.h"
#include "protocol/notifications.h"
#include "protocol/radio_state.h"
#include "protocol/requests.h"
#include "res/strings.h"

namespace kestrel {

namespace {

constexpr int kKeyHoldMs = 100;
constexpr int kDragSampleMs = 30;
constexpr int kRepeatFirstMs = 1000;
constexpr int kRepeatHeldMs = 200;
constexpr int kDialRestMs = 200;
constexpr int kConnectTimeoutMs = 5000;
constexpr int kRotatorReadMs = 100;

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
      post_([](int number, int vfoB, int32_t value) {
          return RadioEngine::Request(number, vfoB, value);
      }),
      postMessage_([](uint32_t message) { return RadioEngine::RequestMessage(message); }),
      choice_([mainWidget](const ChoiceMenu& menu, QPoint pos) {
          return DefaultChoice(mainWidget, menu, pos);
      }) {
    auto make = [&](uint32_t message, const char* title) {
        return new COptionPlaceholderDlg(mainWidget, window, message, QString::fromLatin1(title));
    };
    entry_ = new CVfoSetDlg(mainWidget, window);
    connecting_ = new CConnectingDlg(mainWidget);
    menuList_ = make(kMsgMenuListClosed, "MENU LIST");
    comSelect_ = make(kMsgComSelectClosed, "COM Select");
    baudRate_ = make(kMsgBaudRateClosed, "Baud rate");
    commandSend_ = make(kMsgCommandSendClosed, "Command Send");
    playback_ = make(kMsgPlaybackClosed, "Playback");
    rotator_ = make(kMsgRotatorClosed, "Rotator");
    cw_ = make(kMsgCwClosed, "CW");
    repeater_ = make(kMsgRepeaterClosed, "Repeater");
    equalizer_ = make(kMsgEqualizerClosed, "Parametric Equalizer");
}

PanelController::~PanelController() {
    // A window that went with the main widget has left its QPointer null.
    QWidget* const windows[] = {entry_,    connecting_,  menuList_, comSelect_,
                                baudRate_, commandSend_, playback_, rotator_,
                                cw_,       repeater_,    equalizer_};
    for (QWidget* window : windows) {
        delete window;
    }
}

CVfoSetDlg& PanelController::EntryWindow() {
    return *entry_;
}

void PanelController::SetRequestSink(RequestSink sink) {
    post_ = std::move(sink);
}

void PanelController::SetMessageSink(MessageSink sink) {
    postMessage_ = std::move(sink);
}

void PanelController::SetChoiceRunner(ChoiceRunner runner) {
    choice_ = std::move(runner);
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
    const std::pair<uint8_t, QWidget*> order[] = {
        {menuListOpen, menuList_},       {entryOpen, entry_},
        {comSelectOpen, comSelect_},     {baudRateOpen, baudRate_},
        {commandSendOpen, commandSend_}, {cwOpen, cw_},
        {playbackOpen, playback_},       {rotatorOpen, rotator_},
        {repeaterOpen, repeater_},       {eqOpen, equalizer_},
        {connectingOpen, connecting_},
    };
    for (const auto& [open, window] : order) {
        if (open != 0) {
            window->activateWindow();
            window->setFocus();
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
    return comSelectOpen || baudRateOpen || commandSendOpen || cwOpen || playbackOpen ||
           rotatorOpen || repeaterOpen || eqOpen || connectingOpen;
}

void PanelController::PressKey(int key) {
    if (OtherChildOpen()) {
        return;
    }
    if (menuListOpen != 0 && currentKey == 0) {
        return;
    }
    if (key == kKeyMenuList && currentKey == 0 && entryOpen == 0) {
        ShowKey(key, true);
        RunReadingWindow();
        menuListOpen = 1;
        UpdateMenuItems();
        menuList_->Open();
        ShowKey(key, false);
        // The reading window took the button's release.
        leftDown_ = false;
        return;
    }
    if (entryOpen != 0 && currentKey == 0) {
        if (key >= kKeyDigitZero && key <= kKeyDigitNine) {
            entry_->AppendDigit(key - kKeyDigitZero);
        } else if (key == kKeyEnter) {
            entry_->Accept();
        } else {
            return;
        }
    } else if (key == kKeyEnter && currentKey == 0 && entryOpen == 0) {
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
    if (entryOpen == 0) {
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
    const int id = choice_(*menu, corner + QPoint(menu->offsetX, menu->offsetY));
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
        action->setEnabled(id == kMenuExit || enable);
    }
}

bool PanelController::ChildWindowOpen() const {
    return comSelectOpen || baudRateOpen || commandSendOpen || cwOpen || playbackOpen ||
           rotatorOpen || repeaterOpen || eqOpen || menuListOpen || connectingOpen || entryOpen;
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
    switch (id) {
        case kMenuCommandSend:
            commandSendOpen = 1;
            UpdateMenuItems();
            commandSend_->Open();
            break;
        case kMenuComSelect:
            comSelectOpen = 1;
            UpdateMenuItems();
            comSelect_->Open();
            break;
        case kMenuBaudRate:
            baudRateOpen = 1;
            UpdateMenuItems();
            baudRate_->Open();
            break;
        case kMenuPlayback:
            playback_->Open();
            playbackOpen = 1;
            UpdateMenuItems();
            break;
        case kMenuRotator:
            rotator_->Open();
            rotatorOpen = 1;
            UpdateMenuItems();
            window_.SetTimer(kTimerRotatorRead, kRotatorReadMs);
            postMessage_(kMsgRotatorRead);
            break;
        case kMenuCw:
            cw_->Open();
            cwOpen = 1;
            UpdateMenuItems();
            break;
        case kMenuRepeater:
            repeater_->Open();
            repeaterOpen = 1;
            UpdateMenuItems();
            break;
        case kMenuPrmtrc:
            OpenEqualizer(0);
            break;
        case kMenuPPrmtrc:
            OpenEqualizer(1);
            break;
        case kMenuVersion:
            RunVersionWindow();
            break;
        default:
            break;
    }
}

void PanelController::OpenEqualizer(int mode) {
    if (GetField(Field::IDX) == 0) {
        RunReadingWindow();
    }
    eqOpen = 1;
    UpdateMenuItems();
    equalizer_->SetMode(mode);
    equalizer_->Open();
}

void PanelController::RunReadingWindow() {
    CReadingDlg dlg(widget_, window_);
    reading_ = &dlg;
    dlg.Run();
    reading_ = nullptr;
}

void PanelController::RunVersionWindow() {
    QMessageBox box(QMessageBox::Information, QStringLiteral("Version"),
                    ToQString(LoadString(113)) + QLatin1Char('\n') + ToQString(LoadString(114)),
                    QMessageBox::Ok, widget_);
    box.exec();
}

void PanelController::OpenEntryWindow() {
    if (ChildWindowOpen()) {
        return;
    }
    vfoB = GetField(Field::VS) == 1 ? 1 : 0;
    vfoBAtEntry = vfoB;
    entryOpen = 1;
    UpdateMenuItems();
    entry_->Open();
}

void PanelController::OpenConnectingWindow() {
    connectingOpen = 1;
    UpdateMenuItems();
    connecting_->Open();
    window_.SetTimer(kTimerConnecting, kConnectTimeoutMs);
}

void PanelController::CloseConnectingWindow() {
    if (connectingOpen == 0) {
        return;
    }
    window_.KillTimer(kTimerConnecting);
    connectingOpen = 0;
    UpdateMenuItems();
    connecting_->Destroy();
}

void PanelController::OnEntryClosed(uint64_t wParam) {
    entryOpen = 0;
    UpdateMenuItems();
    entry_->Destroy();
    if (wParam == 0) {
        return;
    }
    frequency = static_cast<int32_t>(wParam);
    Post(vfoBAtEntry == 0 ? kReqMsgFrequencyA : kReqMsgFrequencyB, RequestBits::Bit20, frequency);
}

void PanelController::CloseChild(uint8_t& flag, CChildDlg& dlg) {
    flag = 0;
    UpdateMenuItems();
    dlg.Destroy();
}

void PanelController::ForwardTo(uint8_t open, CChildDlg& dlg, uint32_t id, uint64_t wParam,
                                int64_t lParam) {
    if (open != 0) {
        dlg.HandleNotification(id, wParam, lParam);
    }
}

void PanelController::ShowMenuChangedBox() {
    busyBoxShown = 1;
    QMessageBox::information(widget_, widget_->windowTitle(),
                             ToQString(LoadString(kStringMenuChanged)));
    busyBoxShown = 0;
}

bool PanelController::HandleWindowMessage(uint32_t id, uint64_t wParam, int64_t lParam) {
    switch (id) {
        case kMsgConnectionUp:
            CloseConnectingWindow();
            return true;
        case kMsgCloseReadingWindow:
            if (reading_ != nullptr) {
                reading_->OnReadingDone();
            }
            return true;
        case kMsgEntryClosed:
            OnEntryClosed(wParam);
            return true;
        case kMsgComSelectClosed:
            CloseChild(comSelectOpen, *comSelect_);
            return true;
        case kMsgBaudRateClosed:
            CloseChild(baudRateOpen, *baudRate_);
            return true;
        case kMsgCommandSendClosed:
            CloseChild(commandSendOpen, *commandSend_);
            return true;
        case kMsgMenuListClosed:
            CloseChild(menuListOpen, *menuList_);
            return true;
        case kMsgPlaybackClosed:
            CloseChild(playbackOpen, *playback_);
            return true;
        case kMsgCwClosed:
            CloseChild(cwOpen, *cw_);
            return true;
        case kMsgRepeaterClosed:
            CloseChild(repeaterOpen, *repeater_);
            return true;
        case kMsgRotatorClosed:
            window_.KillTimer(kTimerRotatorRead);
            CloseChild(rotatorOpen, *rotator_);
            return true;
        case kMsgEqualizerClosed:
            CloseChild(eqOpen, *equalizer_);
            return true;
        default:
            break;
    }
    if (id == kNotifyRI) {
        ForwardTo(playbackOpen, *playback_, id, wParam, lParam);
    } else if (id == kNotifyCN || id == kNotifyCT || id == kNotifyOS) {
        ForwardTo(repeaterOpen, *repeater_, id, wParam, lParam);
    } else if (id == kNotifyRO) {
        ForwardTo(rotatorOpen, *rotator_, id, wParam, lParam);
    } else if (id == kNotifyKM) {
        ForwardTo(cwOpen, *cw_, id, wParam, lParam);
    } else if (id == kNotifyPE || id == kNotifyAI) {
        ForwardTo(eqOpen, *equalizer_, id, wParam, lParam);
    } else if (id == kNotifyEX) {
        if (menuListOpen != 0) {
            if (busyBoxShown == 0) {
                ShowMenuChangedBox();
            }
        } else {
            ForwardTo(eqOpen, *equalizer_, id, wParam, lParam);
        }
    } else {
        return false;
    }
    return true;
}

bool PanelController::WindowOpen(uint32_t closeMessage) const {
    switch (closeMessage) {
        case kMsgConnectionUp:
            return connectingOpen != 0;
        case kMsgEntryClosed:
            return entryOpen != 0;
        case kMsgComSelectClosed:
            return comSelectOpen != 0;
        case kMsgBaudRateClosed:
            return baudRateOpen != 0;
        case kMsgCommandSendClosed:
            return commandSendOpen != 0;
        case kMsgMenuListClosed:
            return menuListOpen != 0;
        case kMsgPlaybackClosed:
            return playbackOpen != 0;
        case kMsgCwClosed:
            return cwOpen != 0;
        case kMsgRepeaterClosed:
            return repeaterOpen != 0;
        case kMsgRotatorClosed:
            return rotatorOpen != 0;
        case kMsgEqualizerClosed:
            return eqOpen != 0;
        default:
            return false;
    }
}

COptionPlaceholderDlg* PanelController::Placeholder(uint32_t closeMessage) const {
    switch (closeMessage) {
        case kMsgComSelectClosed:
            return comSelect_.data();
        case kMsgBaudRateClosed:
            return baudRate_.data();
        case kMsgCommandSendClosed:
            return commandSend_.data();
        case kMsgMenuListClosed:
            return menuList_.data();
        case kMsgPlaybackClosed:
            return playback_.data();
        case kMsgCwClosed:
            return cw_.data();
        case kMsgRepeaterClosed:
            return repeater_.data();
        case kMsgRotatorClosed:
            return rotator_.data();
        case kMsgEqualizerClosed:
            return equalizer_.data();
        default:
            return nullptr;
    }
}

}  // namespace kestrel
