#include "app/splash_panel_dlg.h"

#include <QPainter>

namespace kestrel {

namespace {

// The picture is stretched into this rectangle of the window, whatever its own size.
constexpr QRect kSplashTarget(0, 0, 1024, 400);

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
    painter.drawImage(kSplashTarget, picture_);
}

}  // namespace kestrel
