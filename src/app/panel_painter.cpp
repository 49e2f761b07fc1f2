#include "app/panel_painter.h"

namespace kestrel {

PanelPainter::PanelPainter() : picture_(kPanelWidth, kPanelHeight, QImage::Format_RGB32) {
    picture_.fill(Qt::black);
}

void PanelPainter::LoadSkin(const QString& folder) {
    skin_.Load(folder);
}
void PanelPainter::SetChangeCallback(std::function<void(const QRect&)> onChange) {
    onChange_ = std::move(onChange);
}
void PanelPainter::SetStoreRedraw(std::function<void()> redraw) {
    storeRedraw_ = std::move(redraw);
}
void PanelPainter::SetHoldTimerHooks(std::function<void(int, int)> start,
                                     std::function<void(int)> stop) {
    startTimer_ = std::move(start);
    stopTimer_ = std::move(stop);
}
void PanelPainter::DrawSkinElement(const QImage&, int, int, int, int, int, int) {}
void PanelPainter::DrawGroup(SkinGroup, int) {}
void PanelPainter::DrawPanelPicture(PanelPicture) {}
void PanelPainter::DrawFrequency(int32_t, int) {}
void PanelPainter::DrawOffset(double) {}
void PanelPainter::DrawMainDial(int angle) {
    mainDialAngle_ = angle;
}
void PanelPainter::DrawDial2(int) {}
void PanelPainter::DrawDial3(int) {}
void PanelPainter::DrawKnobNeedle(Knob, int32_t) {}
void PanelPainter::DrawAfRfKnob(int32_t, int32_t) {}
int PanelPainter::KnobAngle(Knob, int32_t) {
    return 0;
}
void PanelPainter::DrawUpperBar(int32_t) {}
void PanelPainter::DrawLowerBar(int32_t) {}
void PanelPainter::ShowMeterReading(MeterBar, int32_t) {}
void PanelPainter::OnHoldTimer(MeterBar) {}
void PanelPainter::ResetHold(MeterBar) {}
void PanelPainter::RedrawBar(MeterBar) {}
int32_t PanelPainter::HeldValue(MeterBar bar) const {
    return Slot(bar).held;
}
int32_t PanelPainter::CurrentValue(MeterBar bar) const {
    return Slot(bar).current;
}
int PanelPainter::HoldTimeMs(double) {
    return 0;
}
void PanelPainter::DrawShift(int32_t) {}
void PanelPainter::DrawWidth(int32_t) {}
void PanelPainter::DrawNotch(int32_t) {}
void PanelPainter::DrawContour(int32_t) {}
void PanelPainter::DrawApf(int32_t) {}
void PanelPainter::DrawTuningBar() {}
void PanelPainter::DrawKeyLamp(bool on, int lampIndex) {
    lastLampOn_ = on;
    lastLampIndex_ = lampIndex;
}
void PanelPainter::RepaintAll() {}
void PanelPainter::Changed(const QRect& area) {
    if (onChange_) {
        onChange_(area);
    }
}
void PanelPainter::DrawNeedle(const KnobLayout&, int) {}
void PanelPainter::DrawHeldSegment(MeterBar) {}
void PanelPainter::DrawRowColumns(SkinGroup, int, const bool*) {}

}  // namespace kestrel
