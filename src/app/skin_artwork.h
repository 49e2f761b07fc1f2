#pragma once

#include <QImage>

#include "app/skin_layout.h"

namespace kestrel {

// The pure green that marks transparent pixels in every skin image.
inline constexpr QRgb kSkinTransparent = 0xff00ff00;

// Draws one element of a group in the built-in look, at the group's element size.
QImage DrawElementArt(SkinGroup group, int element);
// Draws a dial or knob picture in the built-in look.
QImage DrawDialArt(DialImage image);
// Draws the whole front panel with every element in its resting look and the key lamps dark
// or lit.
QImage DrawPanelArt(bool lampsLit);
// Draws the splash picture shown while the program starts.
QImage DrawSplashArt();

}  // namespace kestrel
