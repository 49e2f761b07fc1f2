#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QString>
#include <QWidget>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/paths.h"

namespace kestrel::testing {

// Sends one mouse event to a widget at a point of its own.
inline void MouseAt(QWidget* widget, QEvent::Type type, QPointF at, Qt::MouseButton button,
                    Qt::MouseButtons buttons) {
    QMouseEvent event(type, at, widget->mapToGlobal(at), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// Sends the left button going down (or up) in the middle of a widget, or at an offset from it.
inline void LeftButton(QWidget* widget, bool down, QPoint offset = {}) {
    MouseAt(widget, down ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease,
            QPointF(widget->rect().center() + offset), Qt::LeftButton,
            down ? Qt::LeftButton : Qt::NoButton);
}

// Presses and releases the left button on a widget at a point, or double-clicks there.
inline void ClickAt(QWidget* widget, QPoint at, bool twice = false) {
    for (int click = 0; click < (twice ? 2 : 1); ++click) {
        const auto down = click == 0 ? QEvent::MouseButtonPress : QEvent::MouseButtonDblClick;
        MouseAt(widget, down, QPointF(at), Qt::LeftButton, Qt::LeftButton);
        MouseAt(widget, QEvent::MouseButtonRelease, QPointF(at), Qt::LeftButton, Qt::NoButton);
    }
}

// Clicks a widget in its middle with the left button.
inline void ClickOn(QWidget* widget) {
    ClickAt(widget, widget->rect().center());
}

// Sends one key going down or up.
inline void KeyTo(QWidget* widget, bool down, int key, Qt::KeyboardModifiers modifiers = {},
                  const QString& text = {}, bool autoRepeat = false) {
    QKeyEvent event(down ? QEvent::KeyPress : QEvent::KeyRelease, key, modifiers, text, autoRepeat);
    QApplication::sendEvent(widget, &event);
}

// Types a text into a widget, a key press and release per character.
inline void TypeInto(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        const int key = c.toUpper().unicode();
        KeyTo(widget, true, key, {}, QString(c));
        KeyTo(widget, false, key, {}, QString(c));
    }
}

// A private working directory with its "CommoFiles" folder, the program's base while it lives.
struct WorkingFolder {
    WorkingFolder() {
        char pattern[] = "/tmp/kestrel-gui-test-XXXXXX";
        path = ::mkdtemp(pattern);
        std::filesystem::create_directories(path + "/CommoFiles");
        SetWorkingDirectoryBase(path);
    }
    ~WorkingFolder() {
        SetWorkingDirectoryBase("");
        std::filesystem::remove_all(path);
    }
    // Returns the text of a file in the folder ("" if there is none).
    std::string Read(const std::string& name) const {
        std::stringstream text;
        text << std::ifstream(path + "/" + name).rdbuf();
        return text.str();
    }
    std::string path;
};

// Shows a window and makes it the active one, so that focus moves as on a desktop.
inline void ShowActive(QWidget* window) {
    window->show();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    QCoreApplication::processEvents();
}

}  // namespace kestrel::testing
