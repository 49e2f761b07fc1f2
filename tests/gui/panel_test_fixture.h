#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>
#include <QWheelEvent>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "app/panel_controller_client.h"
#include "engine/request_table.h"
#include "option_test_support.h"
#include "panel/panel_controller.h"
#include "platform/main_window.h"
#include "protocol/control_mirror.h"
#include "protocol/radio_state.h"
#include "window/panel_messages.h"

namespace kestrel::testing {

// A main window that records what the controller sends it and the timers it sets, and hands
// the messages meant for the controller straight back, as the real main window does.
class RecordingWindow final : public MainWindow {
  public:
    struct Sent {
        uint32_t id;
        uint64_t wParam;
        int64_t lParam;
    };

    bool PostMessage(uint32_t id, uint64_t wParam, int64_t lParam) override {
        return SendMessage(id, wParam, lParam), true;
    }
    int64_t SendMessage(uint32_t id, uint64_t wParam, int64_t lParam) override {
        sent.push_back({id, wParam, lParam});
        if (client != nullptr) {
            client->OnWindowMessage(Message{id, wParam, lParam});
        }
        return 0;
    }
    void SetTimer(int timerId, int64_t ms) override { timers[timerId] = ms; }
    void KillTimer(int timerId) override { timers.erase(timerId); }
    uint8_t WindowWaiting() const override { return windowWaiting; }
    void SetWindowWaiting(uint8_t value) override { windowWaiting = value; }
    uint8_t ReadingRunning() const override { return readingRunning; }
    void SetReadingRunning(uint8_t value) override { readingRunning = value; }

    // Returns the period of a running timer, or nothing.
    std::optional<int64_t> Timer(int timerId) const {
        auto it = timers.find(timerId);
        return it == timers.end() ? std::nullopt : std::optional<int64_t>(it->second);
    }
    // Returns the wParam of every send of one message number, in order.
    std::vector<uint64_t> SentOf(uint32_t id) const {
        std::vector<uint64_t> out;
        for (const Sent& s : sent) {
            if (s.id == id) {
                out.push_back(s.wParam);
            }
        }
        return out;
    }

    PanelClient* client = nullptr;
    std::vector<Sent> sent;
    std::map<int, int64_t> timers;
    uint8_t windowWaiting = 0;
    uint8_t readingRunning = 0;
};

// A 1024 x 320 widget that hands its mouse input to the panel client, like the main window's
// panel picture does.
class PanelSurface final : public QWidget {
  public:
    PanelSurface() {
        resize(1024, 320);
        setMouseTracking(true);
    }
    PanelClient* client = nullptr;

  protected:
    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton) {
            client->OnLeftButtonDown(e);
        } else if (e->button() == Qt::RightButton) {
            client->OnRightButtonDown(e);
        }
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton) {
            client->OnLeftButtonUp(e);
        } else if (e->button() == Qt::RightButton) {
            client->OnRightButtonUp(e);
        }
    }
    void mouseMoveEvent(QMouseEvent* e) override { client->OnMouseMove(e); }
    void wheelEvent(QWheelEvent* e) override { client->OnMouseWheel(e); }
    // The main window hands keys to the client first, as child windows offer them.
    void keyPressEvent(QKeyEvent* e) override {
        if (!client->OnKeyPress(e)) {
            QWidget::keyPressEvent(e);
        }
    }
};

// Runs fn on the first widget that find returns, once one is on screen; polls the event loop
// every 10 ms, so it can answer a modal box or pop-up menu that a handler runs. Gives up after
// five seconds, so that a window that never came cannot be answered in a later test.
inline void WhenShown(std::function<QWidget*()> find, std::function<void(QWidget*)> fn) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    auto ticks = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, ticks, find, fn] {
        QWidget* w = find();
        if (w != nullptr || ++*ticks > 500) {
            timer->stop();
            timer->deleteLater();
        }
        if (w != nullptr) {
            fn(w);
        }
    });
    timer->start();
}

// Answers the next modal window (a box or the reading window) with fn.
inline void WhenModal(std::function<void(QWidget*)> fn) {
    WhenShown([] { return QApplication::activeModalWidget(); }, std::move(fn));
}

// Answers the next pop-up menu with fn.
inline void WhenPopup(std::function<void(QMenu*)> fn) {
    WhenShown([] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); },
              [fn](QWidget* w) { fn(static_cast<QMenu*>(w)); });
}

// One request as the controller posted it.
struct Posted {
    int number;
    int vfoB;
    int32_t value;
    bool operator==(const Posted&) const = default;
};

// A fresh controller on a fresh surface and recording window, with the requests captured and
// the store at its defaults.
class PanelFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetRadioState();
        InitControlMirror();
        surface = std::make_unique<PanelSurface>();
        client = std::make_unique<PanelControllerClient>(surface.get(), window);
        surface->client = client.get();
        surface->show();
        window.client = client.get();
        controller().SetRequestSink([this](int number, int vfoB, int32_t value) {
            posted.push_back({number, vfoB, value});
            return true;
        });
        controller().SetMessageSink([this](uint32_t message) {
            threadMessages.push_back(message);
            return true;
        });
    }
    void TearDown() override {
        window.client = nullptr;
        client.reset();
        surface.reset();
        ResetRadioState();
    }

    PanelController& controller() { return client->Controller(); }

    void Press(int x, int y, Qt::MouseButton button = Qt::LeftButton) {
        MouseAt(surface.get(), QEvent::MouseButtonPress, QPointF(x, y), button, button);
    }
    void Release(int x, int y, Qt::MouseButton button = Qt::LeftButton) {
        MouseAt(surface.get(), QEvent::MouseButtonRelease, QPointF(x, y), button, Qt::NoButton);
    }
    void Click(int x, int y, Qt::MouseButton button = Qt::LeftButton) {
        Press(x, y, button);
        Release(x, y, button);
    }
    void Move(int x, int y) {
        MouseAt(surface.get(), QEvent::MouseMove, QPointF(x, y), Qt::NoButton, Qt::LeftButton);
    }
    void Wheel(int x, int y, int delta) {
        QWheelEvent wheel(QPointF(x, y), surface->mapToGlobal(QPointF(x, y)), QPoint(),
                          QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(surface.get(), &wheel);
    }
    // Fires a controller timer as the main window's timer dispatch would.
    void Tick(int timerId) { client->OnTimer(timerId); }

    // Returns the request number of a request message.
    static int Req(uint32_t message) { return RequestNumberOfMessage(message); }

    RecordingWindow window;
    std::unique_ptr<PanelSurface> surface;
    std::unique_ptr<PanelControllerClient> client;
    std::vector<Posted> posted;
    std::vector<uint32_t> threadMessages;
};

}  // namespace kestrel::testing
