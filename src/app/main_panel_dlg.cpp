#include "app/main_panel_dlg.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QThread>
#include <QVBoxLayout>
#include <array>

#include "app/key_cap_table.h"
#include "app/panel_client.h"
#include "app/panel_view.h"
#include "app/power_events.h"
#include "app/splash_panel_dlg.h"
#include "app/window_timers.h"
#include "engine_api/radio_engine.h"
#include "platform/runtime.h"
#include "platform/startup_box.h"
#include "platform/startup_messages.h"
#include "protocol/notifications.h"
#include "res/strings.h"
#include "window/panel_messages.h"

namespace kestrel {

CMainPanelDlg* g_pMainDlg = nullptr;

namespace {

// The window's title, as the transceiver's own software names it.
constexpr const char* kWindowTitle = "TRN for Kestrel";

// Periods of the main window's own timers at start-up, in milliseconds.
constexpr int kSplashMs = 3000;
constexpr int kFrequencyRedrawMs = 30;
constexpr int kFullRefreshMs = 10;
constexpr int kRepaintMs = 30;

const QEvent::Type kPostedMessageEvent = static_cast<QEvent::Type>(QEvent::registerEventType());
const QEvent::Type kSentMessageEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

// The key-display messages that the full refresh sends with every key released, in order:
// spans of messages numbered like the keys' requests.
struct MessageSpan {
    uint32_t first;
    uint32_t last;
};
// clang-format off
constexpr std::array<MessageSpan, 5> kRefreshKeySpans{{
    {0x857A, 0x857A},
    {0x857D, 0x8591},
    {0x85B6, 0x85BD},
    {0x85AB, 0x85B5},
    {0x85AA, 0x85AA},
}};
// clang-format on

bool InRefreshSpans(uint32_t message) {
    for (const MessageSpan& span : kRefreshKeySpans) {
        if (message >= span.first && message <= span.last) {
            return true;
        }
    }
    return false;
}

class PostedMessageEvent final : public QEvent {
  public:
    explicit PostedMessageEvent(const Message& message)
        : QEvent(kPostedMessageEvent), message_(message) {}
    const Message& Get() const { return message_; }

  private:
    Message message_;
};

}  // namespace

struct CMainPanelDlg::PendingSend {
    Message message;
    std::shared_ptr<Signal> done;
    std::atomic<int64_t> result{0};
};

namespace {

class SentMessageEvent final : public QEvent {
  public:
    explicit SentMessageEvent(std::weak_ptr<void> pending)
        : QEvent(kSentMessageEvent), pending_(std::move(pending)) {}
    std::shared_ptr<void> Lock() const { return pending_.lock(); }

  private:
    std::weak_ptr<void> pending_;
};

}  // namespace

void CMainPanelDlg::SetTitleSummary(const QString& summary) {
    setWindowTitle(summary.isEmpty() ? QString(kWindowTitle)
                                     : QString(kWindowTitle) + " - " + summary);
}

CMainPanelDlg::CMainPanelDlg(QString skinFolder, QWidget* parent)
    : QDialog(parent),
      skinFolder_(std::move(skinFolder)),
      display_(painter_, [this] { return m_nDigitCursor; }) {
    setWindowTitle(kWindowTitle);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
    layout_->setSizeConstraint(QLayout::SetFixedSize);
    view_ = new PanelView(
        painter_, [this] { return client_.get(); }, this);
    layout_->addWidget(view_);
    timers_ = new WindowTimers([this](int timerId) { OnTimer(timerId); }, this);

    painter_.SetChangeCallback([this](const QRect& area) { view_->update(area); });
    // On a screen of another scale the picture is drawn anew from the skin and the store.
    view_->SetRatioChange([this](double ratio) {
        painter_.LoadSkin(skinFolder_, ratio);
        FullRefresh();
        painter_.RepaintAll();
    });
    painter_.SetHoldTimerHooks([this](int timerId, int ms) { SetTimer(timerId, ms); },
                               [this](int timerId) { KillTimer(timerId); });
    painter_.SetStoreRedraw([this] {
        display_.RedrawFromStore();
        for (const uint32_t message : {kNotifyMD, kNotifySF, kNotifyVS, kNotifyBG}) {
            SendMessage(message, 0, 0);
        }
    });
    boxRunner_ = [this](int stringId) {
        QMessageBox box(QMessageBox::Warning, kWindowTitle,
                        QString::fromUtf8(LoadString(stringId).data(),
                                          static_cast<qsizetype>(LoadString(stringId).size())),
                        QMessageBox::Ok, this);
        box.exec();
    };
}

CMainPanelDlg::~CMainPanelDlg() {
    BeginClosing();
    client_.reset();
    if (TheMainWindow() == this) {
        SetMainWindow(nullptr);
    }
    if (g_pMainDlg == this) {
        g_pMainDlg = nullptr;
    }
}

bool CMainPanelDlg::PostMessage(uint32_t id, uint64_t wParam, int64_t lParam) {
    if (Closing()) {
        return false;
    }
    QCoreApplication::postEvent(this, new PostedMessageEvent({id, wParam, lParam}));
    return true;
}

int64_t CMainPanelDlg::SendMessage(uint32_t id, uint64_t wParam, int64_t lParam) {
    // Qt cannot block on a queued call to its own thread, so a send from the user-interface
    // thread runs at once, as the desktop's own send does.
    if (QThread::currentThread() == thread()) {
        return Closing() ? 0 : WindowProc({id, wParam, lParam});
    }
    auto pending = std::make_shared<PendingSend>();
    pending->message = {id, wParam, lParam};
    pending->done = Rt().MakeSignal();
    {
        std::lock_guard lock(sendMutex_);
        if (Closing()) {
            return 0;
        }
        pendingSends_.insert(pending);
    }
    QCoreApplication::postEvent(this, new SentMessageEvent(std::weak_ptr<void>(pending)));
    Rt().Wait(*pending->done, kLongestWaitMs);
    std::lock_guard lock(sendMutex_);
    pendingSends_.erase(pending);
    return pending->result.load();
}

void CMainPanelDlg::SetTimer(int timerId, int64_t ms) {
    if (!Closing()) {
        timers_->Set(timerId, ms);
    }
}

void CMainPanelDlg::KillTimer(int timerId) {
    timers_->Kill(timerId);
}

bool CMainPanelDlg::HasTimer(int timerId) const {
    return timers_->IsSet(timerId);
}

int64_t CMainPanelDlg::TimerPeriod(int timerId) const {
    return timers_->Period(timerId);
}

QWidget* CMainPanelDlg::PanelWidget() const {
    return view_;
}

size_t CMainPanelDlg::PendingSends() {
    std::lock_guard lock(sendMutex_);
    return pendingSends_.size();
}

void CMainPanelDlg::BeginClosing() {
    std::lock_guard lock(sendMutex_);
    closing_.store(true, std::memory_order_relaxed);
    timers_->Close();
    for (const auto& pending : pendingSends_) {
        pending->done->Set();
    }
}

void CMainPanelDlg::done(int result) {
    BeginClosing();
    QDialog::done(result);
}

bool CMainPanelDlg::OnInitDialog(const std::function<void()>& beforePortOpens) {
    m_nDigitCursor = 0;
    m_splash = new CSplashPanelDlg(view_);
    m_splash->show();
    SetTimer(kTimerSplash, kSplashMs);
    const bool started =
        RadioEngine::Start([this](int stringId) { RunBox(stringId); }, beforePortOpens);
    InitPanel();
    m_bBoxShown = 0;
    StartupBoxShown.store(0, std::memory_order_relaxed);
    return started;
}

void CMainPanelDlg::InitPanel() {
    painter_.LoadSkin(skinFolder_, view_->devicePixelRatioF());
    if (m_splash != nullptr) {
        m_splash->SetPicture(painter_.Skin().Picture(PanelPicture::Splash));
    }
    view_->update();
    SetTimer(kTimerFrequencyA, kFrequencyRedrawMs);
    SetTimer(kTimerFrequencyB, kFrequencyRedrawMs);
    SetTimer(kTimerFullRefresh, kFullRefreshMs);
}

bool CMainPanelDlg::event(QEvent* event) {
    if (event->type() == kPostedMessageEvent) {
        if (!Closing()) {
            WindowProc(static_cast<PostedMessageEvent*>(event)->Get());
        }
        return true;
    }
    if (event->type() == kSentMessageEvent) {
        const auto pending =
            std::static_pointer_cast<PendingSend>(static_cast<SentMessageEvent*>(event)->Lock());
        if (pending && !Closing() && !pending->done->IsSet()) {
            pending->result = WindowProc(pending->message);
            pending->done->Set();
        }
        return true;
    }
    switch (event->type()) {
        case QEvent::WindowBlocked:
        case QEvent::WindowDeactivate:
        case QEvent::Hide:
        case QEvent::FocusOut:
            if (client_) {
                client_->OnInputLost();
            }
            break;
        default:
            break;
    }
    return QDialog::event(event);
}

// What the frequency display shows changes only with the store or the digit cursor, and each of
// those changes comes with a window message after it (an answer's notification, the cursor's own
// message). So the redraw timers rest once a tick finds nothing to draw, and wake when a message
// leaves the display behind, instead of waking the program 33 times a second.
int64_t CMainPanelDlg::WindowProc(const Message& message) {
    const int64_t result = HandleMessage(message);
    if (frequencyTimersResting_ && !display_.FrequencyUpToDate()) {
        frequencyTimersResting_ = false;
        SetTimer(kTimerFrequencyA, kFrequencyRedrawMs);
        SetTimer(kTimerFrequencyB, kFrequencyRedrawMs);
    }
    return result;
}

int64_t CMainPanelDlg::HandleMessage(const Message& message) {
    const uint32_t id = message.id;
    if (id == kMsgTimer) {
        OnTimer(static_cast<int>(message.wParam));
        return 0;
    }
    if (id == kMsgStartupFailure) {
        ShowStartupMessage(message.wParam, message.lParam);
        return 0;
    }
    if (id == kMsgPowerBroadcast) {
        OnPowerBroadcast(message.wParam);
        return 1;
    }
    if (id >= kFirstNotification && id <= kLastNotification) {
        display_.HandleNotification(id);
        // The controller hands it on to the open child window that takes it, if any.
        if (client_) {
            client_->OnWindowMessage(message);
        }
        return 0;
    }
    switch (id) {
        case kMsgDrawMainDial:
            painter_.DrawMainDial(static_cast<int>(message.wParam));
            return 0;
        case kMsgDrawDial2:
            painter_.DrawDial2(static_cast<int>(message.wParam));
            return 0;
        case kMsgDrawDial3:
            painter_.DrawDial3(static_cast<int>(message.wParam));
            return 0;
        case kMsgSelectDigitA:
            m_nDigitCursor = static_cast<int>(message.wParam);
            display_.ShowFrequency();
            return 0;
        case kMsgDrawKeyLamp:
            painter_.DrawKeyLamp(message.wParam != 0, static_cast<int>(message.lParam));
            return 0;
        case kMsgExitProgram:
            reject();
            return 0;
        case kMsgSelectDigitB:
        case kMsgRestDial4:
        case kMsgRestDial5:
            return 0;
        default:
            break;
    }
    if (IsKeyCapMessage(id)) {
        DrawKeyCapMessage(painter_, id, message.wParam);
        return 0;
    }
    return client_ ? client_->OnWindowMessage(message) : 0;
}

void CMainPanelDlg::OnTimer(int timerId) {
    switch (timerId) {
        case kTimerFrequencyA:
        case kTimerFrequencyB:
            // Rests the timers while nothing changes (see WindowProc).
            if (!display_.ShowFrequency()) {
                KillTimer(kTimerFrequencyA);
                KillTimer(kTimerFrequencyB);
                frequencyTimersResting_ = true;
            }
            return;
        case kTimerFullRefresh:
            KillTimer(kTimerFullRefresh);
            FullRefresh();
            return;
        case kTimerRepaint:
            KillTimer(kTimerRepaint);
            painter_.RepaintAll();
            return;
        case kTimerUpperPeak:
            painter_.OnHoldTimer(MeterBar::Upper);
            return;
        case kTimerLowerPeak:
            painter_.OnHoldTimer(MeterBar::Lower);
            return;
        case kTimerSplash:
            KillTimer(kTimerSplash);
            RemoveSplash();
            return;
        default:
            break;
    }
    if (!RadioEngine::DispatchTimer(timerId) && client_) {
        client_->OnTimer(timerId);
    }
}

void CMainPanelDlg::FullRefresh() {
    for (const uint32_t message : FullRefreshFirstNotifications()) {
        SendMessage(message, 0, 0);
    }
    SendMessage(kMsgDrawMainDial, 0, 0);
    SendMessage(kMsgDrawDial2, kAngleAtRest, 0);
    SendMessage(kMsgDrawDial3, kAngleAtRest, 0);
    for (const MessageSpan& span : kRefreshKeySpans) {
        for (uint32_t message = span.first; message <= span.last; ++message) {
            SendMessage(message, 0, 0);
        }
    }
    painter_.DrawGroup(SkinGroup::KeyCom, 0);
    painter_.DrawGroup(SkinGroup::KeyOnOff, 0);
    // The remaining caps show their released look from the store.
    for (const KeyCap& cap : KeyCapTable) {
        if (!InRefreshSpans(cap.message) && cap.on != CapOnRule::AiIs1 &&
            cap.on != CapOnRule::PsIs1) {
            SendMessage(cap.message, 0, 0);
        }
    }
    for (const uint32_t message : FullRefreshLastNotifications()) {
        SendMessage(message, 0, 0);
    }
}

void CMainPanelDlg::ShowStartupMessage(uint64_t mode, int64_t row) {
    const auto stringId = StartupMessageToShow(mode, row, m_bBoxShown != 0);
    if (!stringId) {
        return;
    }
    if (mode != 0) {
        RunBox(*stringId);
        return;
    }
    m_bBoxShown = 1;
    StartupBoxShown.store(1, std::memory_order_relaxed);
    RunBox(*stringId);
    m_bBoxShown = 0;
    StartupBoxShown.store(0, std::memory_order_relaxed);
}

void CMainPanelDlg::OnPowerBroadcast(uint64_t code) {
    if (PowerEventClosesPort(code)) {
        RadioEngine::ClosePort();
    }
}

void CMainPanelDlg::SetPanelClient(std::unique_ptr<PanelClient> client) {
    client_ = std::move(client);
}

void CMainPanelDlg::SetMenuBar(QMenuBar* menuBar) {
    layout_->setMenuBar(menuBar);
}

void CMainPanelDlg::RunBox(int stringId) {
    if (boxRunner_) {
        boxRunner_(stringId);
    }
}

void CMainPanelDlg::RemoveSplash() {
    delete m_splash;
    m_splash = nullptr;
}

void CMainPanelDlg::keyPressEvent(QKeyEvent* event) {
    if (client_ && client_->OnKeyPress(event)) {
        return;
    }
    QDialog::keyPressEvent(event);
}

// The picture lives in the painter's buffer, so nothing is lost while the window is hidden;
// the full repaint from the store runs once when the window comes (back) on screen, not after
// every paint, which with a buffer would repaint for ever.
void CMainPanelDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    SetTimer(kTimerRepaint, kRepaintMs);
}

void CMainPanelDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && !isMinimized()) {
        SetTimer(kTimerRepaint, kRepaintMs);
    }
}

}  // namespace kestrel
