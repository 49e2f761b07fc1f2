#pragma once

#include <QImage>

class QPainter;

#include "skin/skin_layout.h"

namespace kestrel {

// The pure green that marks transparent pixels in every skin image.
inline constexpr QRgb kSkinTransparent = 0xff00ff00;

// The pictures below are drawn at `scale` device pixels per panel pixel (the screen's device
// pixel ratio), carry that ratio, and keep their size in panel pixels.

// Draws one element of a group in the built-in look, at the group's element size.
QImage DrawElementArt(SkinGroup group, int element, double scale = 1.0);
// Draws a dial or knob picture in the built-in look.
QImage DrawDialArt(DialImage image, double scale = 1.0);
// Draws the whole front panel with every element in its resting look and the key lamps dark
// or lit.
QImage DrawPanelArt(bool lampsLit, double scale = 1.0);
// Draws the splash picture shown while the program starts.
QImage DrawSplashArt();

// Draws the application icon into the square (0, 0, size, size) of the painter: the chassis, a
// lit display and the main dial of the built-in skin. Uses no conical gradient, so that a
// scalable picture can hold it.
void DrawAppIcon(QPainter& p, double size);
// Returns the application icon as a size x size picture on a transparent ground.
QImage DrawAppIconImage(int size);

}  // namespace kestrel
