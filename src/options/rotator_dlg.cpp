#include "options/rotator_dlg.h"

#include <QGridLayout>
#include <QLabel>

#include "engine_api/radio_engine.h"
#include "options/color_static.h"
#include "options/hold_button.h"
#include "protocol/notifications.h"
#include "protocol/requests.h"
#include "window/option_support.h"
#include "window/panel_messages.h"

namespace kestrel {

namespace {

// What one hold button does: the request made on pressing (value 1), whether releasing makes
// it again with value 0, and whether it repeats while held.
struct RotatorKey {
    const char* text;
    int request;
    bool requestOnRelease;
    bool repeats;
};

// clang-format off
constexpr std::array<RotatorKey, CRotatorDlg::kKeyCount> kRotatorKeys{{
    {"CCW",  kReqRotatorLeft,  true,  false},  // "RO1;", released "RO0;"
    {"CW",   kReqRotatorRight, true,  false},  // "RO2;", released "RO0;"
    {"SLOW", kReqRotatorSlow,  false, true},   // "RO3;"
    {"FAST", kReqRotatorFast,  false, true},   // "RO4;"
}};
// clang-format on

// The repeat of the speed keys (the window's timer 21).
constexpr int kSpeedRepeatMs = 100;
constexpr int kReadoutPixels = 50;

const QColor kReadoutText(255, 128, 0);
const QColor kPastNorthText(255, 0, 0);

}  // namespace

QString DirectionText(int32_t degrees) {
    return QString::number(degrees > 359 ? degrees - 360 : degrees);
}

CRotatorDlg::CRotatorDlg(QWidget* parent, MainWindow& window)
    : CChildDlg(parent, window, kMsgRotatorClosed, QStringLiteral("Rotator")),
      direction_(new ColorStatic(this)),
      speed_(new ColorStatic(this)) {
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("DIRECTION"), this), 0, 0, 1, 2, Qt::AlignCenter);
    grid->addWidget(new QLabel(QStringLiteral("SPEED"), this), 0, 2, 1, 2, Qt::AlignCenter);
    for (ColorStatic* readout : {direction_, speed_}) {
        readout->setFont(ReadoutFont(kReadoutPixels));
        readout->SetBackground(Qt::white);
        readout->setMinimumSize(150, 64);
    }
    grid->addWidget(direction_, 1, 0, 1, 2);
    grid->addWidget(speed_, 1, 2, 1, 2);
    for (int code = 0; code < kKeyCount; ++code) {
        const RotatorKey& key = kRotatorKeys[static_cast<size_t>(code)];
        auto* button = new HoldButton(QString::fromLatin1(key.text), code, this);
        button->SetRepeatInterval(key.repeats ? kSpeedRepeatMs : 0);
        connect(button, &HoldButton::HoldPressed, this, [this](int c) { OnHold(c, true); });
        connect(button, &HoldButton::HoldReleased, this, [this](int c) { OnHold(c, false); });
        connect(button, &HoldButton::HoldRepeated, this, [this](int c) { OnRepeat(c); });
        grid->addWidget(button, 2, code);
        buttons_[static_cast<size_t>(code)] = button;
    }
}

CRotatorDlg::~CRotatorDlg() {
    // The buttons outlive this part of the window while it is torn down: no report may come
    // back into it.
    for (HoldButton* button : buttons_) {
        button->disconnect(this);
    }
}

void CRotatorDlg::Open() {
    RefreshReadouts();
    CChildDlg::Open();
}

void CRotatorDlg::Destroy() {
    for (HoldButton* button : buttons_) {
        button->Release();
    }
    CChildDlg::Destroy();
}

void CRotatorDlg::OnNotification(uint32_t id, uint64_t, int64_t) {
    if (id == kNotifyRO) {
        RefreshReadouts();
    }
}

void CRotatorDlg::OnHold(int code, bool pressed) {
    if (code < 0 || code >= kKeyCount) {
        return;
    }
    const RotatorKey& key = kRotatorKeys[static_cast<size_t>(code)];
    if (pressed || key.requestOnRelease) {
        RadioEngine::Request(key.request, 0, pressed ? 1 : 0);
    }
}

void CRotatorDlg::OnRepeat(int code) {
    // A line that is gone or held stops the repeat; the operator presses the key again.
    if (!RadioEngine::IsConnected()) {
        buttons_[static_cast<size_t>(code)]->StopRepeat();
        return;
    }
    RadioEngine::Request(kRotatorKeys[static_cast<size_t>(code)].request, 0, 1);
}

void CRotatorDlg::RefreshReadouts() {
    const int32_t degrees = RadioEngine::Read(Field::ROp3);
    direction_->setText(DirectionText(degrees));
    direction_->SetTextColour(degrees > 359 ? kPastNorthText : kReadoutText);
    speed_->setText(QStringLiteral("%1%").arg(RadioEngine::Read(Field::ROp6)));
    speed_->SetTextColour(kReadoutText);
}

}  // namespace kestrel
