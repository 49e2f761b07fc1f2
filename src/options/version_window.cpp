#include "options/version_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "res/strings.h"
#include "skin/skin_artwork.h"

namespace kestrel {

namespace {

constexpr int kStringVersion = 113;
constexpr int kStringSecondLine = 114;
constexpr int kIconPixels = 48;

QString StringText(int id) {
    const std::string_view text = LoadString(id);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

VersionWindow::VersionWindow(QWidget* parent, MainWindow& window)
    : CChildDlg(parent, window, 0, QStringLiteral("Version information of TRN for Kestrel")),
      version_(new QLabel(StringText(kStringVersion), this)),
      second_(new QLabel(StringText(kStringSecondLine), this)) {
    setModal(true);
    auto* icon = new QLabel(this);
    const qreal ratio = devicePixelRatioF();
    QPixmap picture =
        QPixmap::fromImage(DrawAppIconImage(static_cast<int>(kIconPixels * ratio + 0.5)));
    picture.setDevicePixelRatio(ratio);
    icon->setPixmap(picture);
    icon->setAlignment(Qt::AlignTop);

    auto* lines = new QVBoxLayout;
    lines->addWidget(version_);
    lines->addWidget(second_);
    lines->addStretch();
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* side = new QVBoxLayout;
    side->addWidget(ok);
    side->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(icon);
    layout->addLayout(lines, 1);
    layout->addLayout(side);
    setMinimumWidth(410);
}

}  // namespace kestrel
