#pragma once

#include <QDialog>
#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <set>

#include "app/display_updates.h"
#include "app/panel_painter.h"
#include "platform/main_window.h"
#include "platform/message.h"
#include "window/sharing_host.h"

class QMenuBar;
class QVBoxLayout;

namespace kestrel {

class CSplashPanelDlg;
class PanelClient;
class PanelView;
class WindowTimers;

// The main window: the front panel picture for the whole run. Workers reach it through the
// MainWindow interface from any thread; everything else runs on the user-interface thread.
// Posted messages are handled one at a time in posting order, the numbered timers are Qt timers
// of this window, and a send from a worker waits for the user-interface thread unless the window
// is closing, when it returns 0 at once.
class CMainPanelDlg final : public QDialog, public MainWindow, public SharingHost {
    Q_OBJECT
  public:
    // Shows a start-up failure or settings box with the string-table text (modal by default).
    using BoxRunner = std::function<void(int stringId)>;

    // Makes the window; skinFolder (may be empty) holds images that replace the built-in skin's.
    explicit CMainPanelDlg(QString skinFolder = {}, QWidget* parent = nullptr);
    ~CMainPanelDlg() override;

    bool PostMessage(uint32_t id, uint64_t wParam, int64_t lParam) override;
    int64_t SendMessage(uint32_t id, uint64_t wParam, int64_t lParam) override;
    void SetTimer(int timerId, int64_t ms) override;
    void KillTimer(int timerId) override;
    uint8_t WindowWaiting() const override {
        return windowWaiting_.load(std::memory_order_relaxed);
    }
    void SetWindowWaiting(uint8_t value) override {
        windowWaiting_.store(value, std::memory_order_relaxed);
    }
    uint8_t ReadingRunning() const override {
        return readingRunning_.load(std::memory_order_relaxed);
    }
    void SetReadingRunning(uint8_t value) override {
        readingRunning_.store(value, std::memory_order_relaxed);
    }

    // Runs the start-up sequence: splash and timer 15, the engine (store and menu loader, mirror
    // defaults, serial settings, port, the four workers; beforePortOpens runs once the settings
    // are known), the skin, timers 6, 7 and 11. The window must be installed with SetMainWindow.
    // Reports whether every worker started.
    bool OnInitDialog(const std::function<void()>& beforePortOpens = {});
    // Loads the skin and sets timers 6, 7 and 11: the panel's share of the start-up.
    void InitPanel();
    // Starts closing: refuses new messages, kills every timer and releases every waiting send.
    void BeginClosing();
    // Reports whether the window is closing.
    bool Closing() const { return closing_.load(std::memory_order_relaxed); }

    // Handles one window message on the user-interface thread and returns its result.
    int64_t WindowProc(const Message& message);
    // Dispatches the tick of a numbered timer.
    void OnTimer(int timerId);
    // Shows the start-up failure box of message 0x8109 (mode, row).
    void ShowStartupMessage(uint64_t mode, int64_t row);
    // Acts on a power event: the suspend and resume events close the serial port.
    void OnPowerBroadcast(uint64_t code);
    // Sends the one-shot full refresh of every display to the window itself.
    void FullRefresh();

    // Installs the panel controller, which the window owns from now on (nullptr removes it).
    void SetPanelClient(std::unique_ptr<PanelClient> client);
    // Returns the panel controller, or nullptr.
    PanelClient* Controller() const { return client_.get(); }
    // Puts a menu bar above the panel picture.
    void SetMenuBar(QMenuBar* menuBar);
    // Sets the radio sharing that the "Share the radio..." window controls (not owned).
    void SetSharing(RadioSharing* sharing) { sharing_ = sharing; }
    RadioSharing* Sharing() const override { return sharing_; }
    void SetTitleSummary(const QString& summary) override;
    // Replaces how boxes are shown (tests answer them at once).
    void SetBoxRunner(BoxRunner runner) { boxRunner_ = std::move(runner); }

    // Returns the painter of the panel picture.
    PanelPainter& Painter() { return painter_; }
    // Returns the display updates.
    DisplayUpdates& Display() { return display_; }
    // Returns the widget that shows the panel picture (parent for panel-level child windows).
    QWidget* PanelWidget() const;
    // Returns the splash window, or nullptr once it is gone.
    CSplashPanelDlg* Splash() const { return m_splash; }
    // Reports whether the numbered timer is set.
    bool HasTimer(int timerId) const;
    // Returns the numbered timer's period in ms, or 0 when it is not set.
    int64_t TimerPeriod(int timerId) const;
    // Returns how many sends from workers wait for the window now.
    size_t PendingSends();
    // Reports whether a mode-0 start-up failure box is open.
    bool BoxShown() const { return m_bBoxShown != 0; }
    // Returns the highlighted digit of the main frequency display, 0 for none.
    int DigitCursor() const { return m_nDigitCursor; }

    // Does nothing: Enter never ends the main window.
    void accept() override {}
    // Ends the window with the given result and starts closing.
    void done(int result) override;

  protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    struct PendingSend;
    void RunBox(int stringId);
    void RemoveSplash();
    int64_t HandleMessage(const Message& message);

    bool frequencyTimersResting_ = false;
    uint8_t m_bBoxShown = 0;
    int m_nDigitCursor = 0;
    CSplashPanelDlg* m_splash = nullptr;
    std::unique_ptr<PanelClient> client_;
    std::atomic<uint8_t> windowWaiting_{0};
    std::atomic<uint8_t> readingRunning_{0};

    QString skinFolder_;
    PanelPainter painter_;
    DisplayUpdates display_;
    QVBoxLayout* layout_ = nullptr;
    PanelView* view_ = nullptr;
    WindowTimers* timers_ = nullptr;
    BoxRunner boxRunner_;
    RadioSharing* sharing_ = nullptr;

    std::atomic<bool> closing_{false};
    std::mutex sendMutex_;
    std::set<std::shared_ptr<PendingSend>> pendingSends_;
};

// The main window, set once before its modal loop begins and valid until the program ends.
extern CMainPanelDlg* g_pMainDlg;

}  // namespace kestrel
