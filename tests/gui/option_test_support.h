#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QString>
#include <QWidget>

namespace kestrel::testing {

// Sends the left button going down (or up) in the middle of a widget, or at an offset from it.
inline void LeftButton(QWidget* widget, bool down, QPoint offset = {}) {
    const QPointF at = QPointF(widget->rect().center() + offset);
    QMouseEvent event(down ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease, at,
                      widget->mapToGlobal(at), Qt::LeftButton, down ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// Clicks a widget with the left button.
inline void ClickOn(QWidget* widget) {
    LeftButton(widget, true);
    LeftButton(widget, false);
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

// Shows a window and makes it the active one, so that focus moves as on a desktop.
inline void ShowActive(QWidget* window) {
    window->show();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    QCoreApplication::processEvents();
}

}  // namespace kestrel::testing
