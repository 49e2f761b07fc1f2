#pragma once

#include <QImage>
#include <QString>
#include <array>
#include <vector>

#include "skin/skin_layout.h"

namespace kestrel {

// One skin element: its image and the rectangle of the panel it is drawn at.
struct CSkinElement {
    QImage bitmap;
    SkinRect rect{};
};

// The panel skin: one image per element of every group, the panel pictures and the dial
// pictures. The built-in artwork fills it; a skin folder may replace any of the images.
class CPanelSkin {
  public:
    // Fills every image from the built-in artwork drawn at `scale` device pixels per panel pixel,
    // then replaces those the folder holds (files are panel-sized; an empty folder name loads the
    // built-in skin alone). Returns how many files were used.
    int Load(const QString& folder = {}, double scale = 1.0);
    // Writes every image as loaded (panel-sized when loaded at scale 1) to the folder under its
    // skin file name, transparent pixels as pure green; returns how many files were written.
    int Save(const QString& folder) const;
    // Returns one element's image (a null image draws nothing).
    const QImage& Element(SkinGroup group, int element) const;
    // Returns one element with its rectangle, or nullptr outside the group.
    const CSkinElement* SkinElement(SkinGroup group, int element) const;
    // Returns a panel picture.
    const QImage& Picture(PanelPicture picture) const;
    // Returns a dial or knob picture.
    const QImage& Dial(DialImage image) const;

  private:
    std::array<std::vector<CSkinElement>, kSkinGroupCount> elements_;
    std::array<QImage, 3> pictures_;
    std::array<QImage, static_cast<int>(DialImage::Count)> dials_;
};

// Turns the pure-green key into transparency once, so that drawing is a plain blend of fully
// opaque and fully transparent pixels.
QImage KeyOutGreen(const QImage& image);

}  // namespace kestrel
