#include "options/playback_dlg.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <array>

#include "engine_api/radio_engine.h"
#include "options/color_static.h"
#include "protocol/notifications.h"
#include "protocol/requests.h"
#include "window/option_support.h"
#include "window/panel_messages.h"

namespace kestrel {

namespace {

// One row of buttons: five channels and STOP.
struct VoiceRow {
    const char* label;
    int channel1Request;  // channel n makes this request + n - 1
    int stopRequest;
};

// clang-format off
constexpr std::array<VoiceRow, 2> kVoiceRows{{
    {"REC",  kReqVoiceRecord1, kReqVoiceRecordStop},  // "LM0n;", "LM00;"
    {"PLAY", kReqVoicePlay1,   kReqVoicePlayStop},    // "PB0n;", "PB00;"
}};
// clang-format on

constexpr int kChannels = 5;

const QColor kLampOff(255, 255, 255);
const QColor kRecording(255, 0, 0);
const QColor kPlaying(0, 255, 0);
const QColor kLinkDown(192, 192, 192);
const QColor kLinkDownText(128, 128, 128);

}  // namespace

CPlaybackDlg::CPlaybackDlg(QWidget* parent, MainWindow& window)
    : CChildDlg(parent, window, kMsgPlaybackClosed, QStringLiteral("Playback")),
      rec_(new ColorStatic(this)),
      play_(new ColorStatic(this)) {
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Voice Memory"), this), 0, 0, 1, kChannels + 2);
    for (int row = 0; row < static_cast<int>(kVoiceRows.size()); ++row) {
        const VoiceRow& voice = kVoiceRows[static_cast<size_t>(row)];
        grid->addWidget(new QLabel(QString::fromLatin1(voice.label), this), row + 1, 0);
        for (int column = 0; column <= kChannels; ++column) {
            const bool stop = column == kChannels;
            auto* button = new QPushButton(
                stop ? QStringLiteral("STOP") : QStringLiteral("Ch-%1").arg(column + 1), this);
            const int request = stop ? voice.stopRequest : voice.channel1Request + column;
            connect(button, &QPushButton::clicked, this,
                    [request] { RadioEngine::Request(request); });
            grid->addWidget(button, row + 1, column + 1);
        }
    }
    rec_->setText(QStringLiteral("REC"));
    play_->setText(QStringLiteral("PLAY"));
    rec_->setMinimumSize(64, 28);
    play_->setMinimumSize(64, 28);
    grid->addWidget(rec_, 1, kChannels + 2);
    grid->addWidget(play_, 2, kChannels + 2);
    NoDefaultButton(this);
}

void CPlaybackDlg::Open() {
    RefreshLamps();
    CChildDlg::Open();
}

void CPlaybackDlg::OnNotification(uint32_t id, uint64_t, int64_t) {
    if (id == kNotifyRI || id == kNotifyAI) {
        RefreshLamps();
    }
}

void CPlaybackDlg::RefreshLamps() {
    if (!RadioEngine::IsConnected()) {
        for (ColorStatic* lamp : {rec_, play_}) {
            lamp->SetBackground(kLinkDown);
            lamp->SetTextColour(kLinkDownText);
        }
        return;
    }
    rec_->SetTextColour(Qt::black);
    play_->SetTextColour(Qt::black);
    rec_->SetBackground(RadioEngine::Read(Field::RI3) != 0 ? kRecording : kLampOff);
    play_->SetBackground(RadioEngine::Read(Field::RI4) != 0 ? kPlaying : kLampOff);
}

void CPlaybackDlg::keyPressEvent(QKeyEvent* event) {
    if (!HandleEnter(this, event) && !OfferShortcut(this, event)) {
        CChildDlg::keyPressEvent(event);
    }
}

}  // namespace kestrel
