#include "app/splash_panel_dlg.h"

#include <QPainter>

#include "app/panel_skin.h"

namespace kestrel {

CSplashPanelDlg::CSplashPanelDlg(QWidget* parent) : QWidget(parent) {
    setEnabled(false);
    if (parent != nullptr) {
        setGeometry(parent->rect());
    }
}

void CSplashPanelDlg::SetPicture(const QImage& picture) {
    picture_ = KeyOutGreen(picture);
    update();
}

void CSplashPanelDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // The picture is stretched over the whole panel, whatever its own size, so that none of it
    // is cut off below the panel's 320 rows.
    painter.drawImage(rect(), picture_);
}

}  // namespace kestrel
