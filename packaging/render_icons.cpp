// Renders the application icon for the desktop's icon theme, drawn by the panel's own artwork
// code: PNG pictures at the theme's sizes and one scalable SVG picture, laid out as the theme
// keeps them (hicolor/NxN/apps/kestrel-panel.png, hicolor/scalable/apps/kestrel-panel.svg).

#include <QDir>
#include <QPainter>
#include <QString>
#include <QSvgGenerator>
#include <array>
#include <cstdio>

#include "skin/skin_artwork.h"

namespace {

constexpr std::array<int, 8> kSizes{16, 24, 32, 48, 64, 128, 256, 512};
constexpr int kSvgSize = 256;
const QString kName = QStringLiteral("kestrel-panel");

bool RenderPng(const QDir& theme, int size) {
    const QString folder = QStringLiteral("%1x%1/apps").arg(size);
    return theme.mkpath(folder) &&
           kestrel::DrawAppIconImage(size).save(theme.filePath(folder + "/" + kName + ".png"));
}

bool RenderSvg(const QDir& theme) {
    const QString folder = QStringLiteral("scalable/apps");
    if (!theme.mkpath(folder)) {
        return false;
    }
    QSvgGenerator svg;
    svg.setFileName(theme.filePath(folder + "/" + kName + ".svg"));
    svg.setSize(QSize(kSvgSize, kSvgSize));
    svg.setViewBox(QRect(0, 0, kSvgSize, kSvgSize));
    svg.setTitle(QStringLiteral("Kestrel Panel"));
    QPainter painter;
    if (!painter.begin(&svg)) {
        return false;
    }
    kestrel::DrawAppIcon(painter, kSvgSize);
    return painter.end();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: render_icons THEME_FOLDER\n");
        return 2;
    }
    const QDir theme(QString::fromLocal8Bit(argv[1]));
    bool ok = RenderSvg(theme);
    for (const int size : kSizes) {
        ok = RenderPng(theme, size) && ok;
    }
    if (!ok) {
        std::fprintf(stderr, "render_icons: cannot write the icons below %s\n", argv[1]);
        return 1;
    }
    return 0;
}
