#include "app/splash_panel_dlg.h"

#include <QEvent>
#include <QPainter>

#include "app/panel_skin.h"

namespace kestrel {

// A disabled child would hand its mouse events on to the panel under it, so the splash stays
// enabled, takes the input itself and holds the keyboard focus while it is shown.
CSplashPanelDlg::CSplashPanelDlg(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_NoMousePropagation);
    setFocusPolicy(Qt::StrongFocus);
    if (parent != nullptr) {
        setGeometry(parent->rect());
    }
}

void CSplashPanelDlg::SetPicture(const QImage& picture) {
    picture_ = KeyOutGreen(picture);
    update();
}

bool CSplashPanelDlg::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:  // accepted, so that no shortcut fires either
        case QEvent::ContextMenu:
            event->accept();
            return true;
        default:
            return QWidget::event(event);
    }
}

void CSplashPanelDlg::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    setFocus(Qt::OtherFocusReason);
}

void CSplashPanelDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // The picture is stretched over the whole panel, whatever its own size, so that none of it
    // is cut off below the panel's 320 rows.
    painter.drawImage(rect(), picture_);
}

}  // namespace kestrel
