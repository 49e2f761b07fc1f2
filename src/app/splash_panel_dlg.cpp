#include "app/splash_panel_dlg.h"

#include <QPainter>

namespace kestrel {

namespace {

QImage WithGreenTransparent(const QImage& picture) {
    QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((line[x] & 0xFFFFFF) == 0x00FF00) {
                line[x] = 0;
            }
        }
    }
    return image;
}

}  // namespace

CSplashPanelDlg::CSplashPanelDlg(QWidget* parent) : QWidget(parent) {
    setEnabled(false);
    if (parent != nullptr) {
        setGeometry(parent->rect());
    }
}

void CSplashPanelDlg::SetPicture(const QImage& picture) {
    picture_ = WithGreenTransparent(picture);
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
