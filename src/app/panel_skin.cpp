#include "app/panel_skin.h"

#include <QDir>
#include <QFileInfo>

#include "skin/skin_artwork.h"

namespace kestrel {
namespace {

// Reads an image of a skin folder; a missing file, an unreadable one or one of the wrong size
// leaves the built-in image in place.
bool ReadSkinFile(const QString& folder, const QString& stem, QSize size, QImage* out) {
    if (folder.isEmpty()) {
        return false;
    }
    const QString path = QDir(folder).filePath(stem + QStringLiteral(".png"));
    if (!QFileInfo::exists(path)) {
        return false;
    }
    QImage image(path);
    if (image.isNull() || image.size() != size) {
        return false;
    }
    *out = KeyOutGreen(image);
    return true;
}

// Puts the green key back where an image is transparent, so that a saved skin reads back the
// same.
QImage GreenForTransparent(const QImage& keyed) {
    QImage plain = keyed.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < plain.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(plain.scanLine(y));
        for (int x = 0; x < plain.width(); ++x) {
            line[x] = qAlpha(line[x]) == 0 ? kSkinTransparent : line[x];
        }
    }
    return plain.convertToFormat(QImage::Format_RGB32);
}

QString GroupStem(SkinGroup group) {
    const std::string_view name = GroupLayout(group).name;
    return QString::fromLatin1(name.data(), static_cast<int>(name.size()));
}

// clang-format off
constexpr std::array<int, static_cast<int>(DialImage::Count)> kDialNumbers{
    1249,  // main dial face
    1169,  // main dial dimple
    1248,  // CLAR/VFO-B dial face
    1250,  // SELECT knob face
    1174,  // dial dot
    1251,  // knob face
    1247,  // dual knob face
};
// clang-format on

}  // namespace

QImage KeyOutGreen(const QImage& image) {
    QImage keyed = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < keyed.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(keyed.scanLine(y));
        for (int x = 0; x < keyed.width(); ++x) {
            line[x] = (line[x] | 0xff000000u) == kSkinTransparent ? 0u : (line[x] | 0xff000000u);
        }
    }
    return keyed;
}

int CPanelSkin::Load(const QString& folder, double scale) {
    int used = 0;
    for (int g = 0; g < kSkinGroupCount; ++g) {
        const auto group = static_cast<SkinGroup>(g);
        const SkinGroupLayout& row = GroupLayout(group);
        const QString name = GroupStem(group);
        auto& elements = elements_[g];
        elements.assign(ElementCount(group), CSkinElement{});
        for (int e = 0; e < ElementCount(group); ++e) {
            elements[e].rect = ElementRect(group, e);
            if (ReadSkinFile(folder, name + QLatin1Char('_') + QString::number(e),
                             QSize(row.width, row.height), &elements[e].bitmap)) {
                ++used;
            } else {
                elements[e].bitmap = KeyOutGreen(DrawElementArt(group, e, scale));
            }
        }
    }
    const std::array<PanelPicture, 3> pictures{PanelPicture::LampsDark, PanelPicture::LampsLit,
                                               PanelPicture::Splash};
    for (const PanelPicture picture : pictures) {
        QImage& slot = pictures_[static_cast<int>(picture)];
        const QImage art = picture == PanelPicture::Splash
                               ? DrawSplashArt()
                               : DrawPanelArt(picture == PanelPicture::LampsLit, scale);
        if (ReadSkinFile(folder, QString::number(PanelPictureNumber(picture)),
                         art.deviceIndependentSize().toSize(), &slot)) {
            ++used;
        } else {
            slot = KeyOutGreen(art);
        }
    }
    for (int d = 0; d < static_cast<int>(DialImage::Count); ++d) {
        const auto image = static_cast<DialImage>(d);
        const int size = DialImageSize(image);
        if (ReadSkinFile(folder, QString::number(kDialNumbers[d]), QSize(size, size), &dials_[d])) {
            ++used;
        } else {
            dials_[d] = KeyOutGreen(DrawDialArt(image, scale));
        }
    }
    return used;
}

int CPanelSkin::Save(const QString& folder) const {
    if (!QDir().mkpath(folder)) {
        return 0;
    }
    const QDir dir(folder);
    int written = 0;
    auto save = [&](const QImage& image, const QString& stem) {
        if (!image.isNull() &&
            GreenForTransparent(image).save(dir.filePath(stem + QStringLiteral(".png")))) {
            ++written;
        }
    };
    for (int g = 0; g < kSkinGroupCount; ++g) {
        for (int e = 0; e < static_cast<int>(elements_[g].size()); ++e) {
            save(elements_[g][e].bitmap,
                 GroupStem(static_cast<SkinGroup>(g)) + QLatin1Char('_') + QString::number(e));
        }
    }
    for (const PanelPicture picture :
         {PanelPicture::LampsDark, PanelPicture::LampsLit, PanelPicture::Splash}) {
        save(pictures_[static_cast<int>(picture)], QString::number(PanelPictureNumber(picture)));
    }
    for (int d = 0; d < static_cast<int>(DialImage::Count); ++d) {
        save(dials_[d], QString::number(kDialNumbers[d]));
    }
    return written;
}

const QImage& CPanelSkin::Element(SkinGroup group, int element) const {
    static const QImage kNone;
    const CSkinElement* found = SkinElement(group, element);
    return found != nullptr ? found->bitmap : kNone;
}

const CSkinElement* CPanelSkin::SkinElement(SkinGroup group, int element) const {
    const auto& elements = elements_[static_cast<int>(group)];
    return element >= 0 && element < static_cast<int>(elements.size()) ? &elements[element]
                                                                       : nullptr;
}

const QImage& CPanelSkin::Picture(PanelPicture picture) const {
    return pictures_[static_cast<int>(picture)];
}

const QImage& CPanelSkin::Dial(DialImage image) const {
    return dials_[static_cast<int>(image)];
}

}  // namespace kestrel
