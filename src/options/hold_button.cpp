#include "options/hold_button.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

namespace kestrel {

HoldButton::HoldButton(const QString& text, int code, QWidget* parent)
    : QPushButton(text, parent), code_(code), repeat_(new QTimer(this)) {
    // Enter belongs to the button that has the focus, never to a default button of the dialog.
    setAutoDefault(false);
    connect(repeat_, &QTimer::timeout, this, [this] { emit HoldRepeated(code_); });
}

void HoldButton::SetRepeatInterval(int ms) {
    repeatMs_ = ms;
}

bool HoldButton::IsRepeating() const {
    return repeat_->isActive();
}

void HoldButton::StopRepeat() {
    repeat_->stop();
}

void HoldButton::Press() {
    if (held_) {
        return;
    }
    held_ = true;
    emit HoldPressed(code_);
    // The owner may have ended the hold while it handled the press (a box it showed, say).
    if (held_ && repeatMs_ > 0) {
        repeat_->start(repeatMs_);
    }
}

void HoldButton::Release() {
    mouseHold_ = false;
    if (!held_) {
        return;
    }
    held_ = false;
    repeat_->stop();
    setDown(false);
    emit HoldReleased(code_);
}

void HoldButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        mouseHold_ = true;
        Press();
    }
    QPushButton::mousePressEvent(event);
}

void HoldButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        Release();
    }
    QPushButton::mouseReleaseEvent(event);
}

void HoldButton::mouseMoveEvent(QMouseEvent* event) {
    // A hold by the mouse lasts until the button goes up, wherever the pointer is; the plain
    // push button would let go when the pointer leaves it.
    if (mouseHold_) {
        event->accept();
        return;
    }
    QPushButton::mouseMoveEvent(event);
}

void HoldButton::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Space:
            if (!event->isAutoRepeat()) {
                Press();
                setDown(true);
            }
            event->accept();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (!event->isAutoRepeat()) {
                Press();
                Release();
            }
            event->accept();
            return;
        case Qt::Key_Escape:
            Release();
            break;
        default:
            break;
    }
    QPushButton::keyPressEvent(event);
}

void HoldButton::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space) {
        // Auto-repeat comes as release and press pairs: only the last real release counts.
        if (!event->isAutoRepeat()) {
            Release();
        }
        event->accept();
        return;
    }
    QPushButton::keyReleaseEvent(event);
}

void HoldButton::focusOutEvent(QFocusEvent* event) {
    Release();
    QPushButton::focusOutEvent(event);
}

void HoldButton::hideEvent(QHideEvent* event) {
    Release();
    QPushButton::hideEvent(event);
}

void HoldButton::showEvent(QShowEvent* event) {
    // A modal box blocks the whole window without always taking the focus from the button.
    if (window() != watchedWindow_) {
        if (watchedWindow_ != nullptr) {
            watchedWindow_->removeEventFilter(this);
        }
        watchedWindow_ = window();
        watchedWindow_->installEventFilter(this);
    }
    QPushButton::showEvent(event);
}

void HoldButton::changeEvent(QEvent* event) {
    if ((event->type() == QEvent::EnabledChange && !isEnabled()) ||
        (event->type() == QEvent::ActivationChange && !isActiveWindow())) {
        Release();
    }
    QPushButton::changeEvent(event);
}

bool HoldButton::eventFilter(QObject* watched, QEvent* event) {
    if (watched == watchedWindow_ &&
        (event->type() == QEvent::WindowBlocked || event->type() == QEvent::Close)) {
        Release();
    }
    return QPushButton::eventFilter(watched, event);
}

}  // namespace kestrel
