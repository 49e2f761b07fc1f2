#include "options/color_static.h"

#include <QPalette>

namespace kestrel {

ColorStatic::ColorStatic(QWidget* parent)
    : QLabel(parent), background_(palette().color(QPalette::Button)), text_(Qt::black) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setAlignment(Qt::AlignCenter);
    setAutoFillBackground(true);
    ApplyColours();
}

void ColorStatic::SetBackground(const QColor& colour) {
    background_ = colour;
    ApplyColours();
}

void ColorStatic::SetTextColour(const QColor& colour) {
    text_ = colour;
    ApplyColours();
}

void ColorStatic::ApplyColours() {
    QPalette colours = palette();
    colours.setColor(QPalette::Window, background_);
    colours.setColor(QPalette::WindowText, text_);
    setPalette(colours);
}

}  // namespace kestrel
