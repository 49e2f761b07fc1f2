#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

#include "app/panel_skin.h"
#include "skin/skin_layout.h"

namespace kestrel {

// Which bar meter a reading or a peak hold belongs to.
enum class MeterBar : uint8_t { Upper, Lower };

// Paints the front panel into an off-screen 1024 x 320 picture, which the main window shows.
// Every drawing call replaces exactly the rectangle of what it draws, except where the drawn
// image is pure green, and reports that rectangle through the change callback. Coordinates are
// panel pixels; the picture itself holds `Scale()` device pixels per panel pixel, so that a
// screen with a device pixel ratio gets a sharp panel.
class PanelPainter {
  public:
    PanelPainter();

    // Loads the skin (the built-in one drawn at `scale` device pixels per panel pixel, with the
    // images of `folder` where it has them) and paints the panel picture with all key lamps dark.
    void LoadSkin(const QString& folder = {}, double scale = 1.0);
    // Returns the device pixels per panel pixel of the picture.
    double Scale() const { return picture_.devicePixelRatio(); }
    // Returns the skin in use.
    const CPanelSkin& Skin() const { return skin_; }
    // Returns the painted panel: what the window shows (its device pixel ratio is Scale()).
    const QImage& Picture() const { return picture_; }
    // Sets the function told about every changed rectangle (the window calls update() on it).
    void SetChangeCallback(std::function<void(const QRect&)> onChange);
    // Sets the redraw of every lamp, legend, display, knob and key cap from the radio state
    // store that RepaintAll runs (the main window's notification handlers).
    void SetStoreRedraw(std::function<void()> redraw);
    // Sets how the bars' peak-hold timers (14 upper, 30 lower) are started and stopped.
    void SetHoldTimerHooks(std::function<void(int timerId, int ms)> start,
                           std::function<void(int timerId)> stop);

    // Draws an image at a rectangle, green transparent; a source size of 0 means the
    // rectangle's own size, any other size is stretched to the rectangle.
    void DrawSkinElement(const QImage& image, int left, int top, int width, int height,
                         int sourceWidth = 0, int sourceHeight = 0);
    // Draws one element of a group at its own rectangle.
    void DrawGroup(SkinGroup group, int element);
    // Draws a whole panel picture over the window (the background, 917 by default).
    void DrawPanelPicture(PanelPicture picture = PanelPicture::LampsDark);

    // Draws the main frequency display; digitCursor 1 to 7 highlights a digit, 0 none. Reports
    // whether it drew: nothing is drawn while the display already shows exactly that.
    bool DrawFrequency(int32_t value, int digitCursor);
    // Reports whether the frequency display shows exactly what DrawFrequency would draw.
    bool ShowsFrequency(int32_t value, int digitCursor) const;
    // Draws the clarifier offset display and its sign marks.
    void DrawOffset(double value);
    // Draws the main tuning dial with its dimple at `angle` degrees and remembers the angle.
    void DrawMainDial(int angle);
    // Returns the main dial's remembered angle.
    int MainDialAngle() const { return mainDialAngle_; }
    // Draws the CLAR/VFO-B dial with its dot at `angle` degrees.
    void DrawDial2(int angle);
    // Draws the SELECT knob with its small dot at `angle` degrees.
    void DrawDial3(int angle);
    // Redraws a single knob's face and its needle at the knob value (AF and RF share one face:
    // for them this draws the face and both needles, the other at its last drawn value).
    void DrawKnobNeedle(Knob knob, int32_t value);
    // Redraws the dual knob's face with the AF needle inside and the RF needle outside.
    void DrawAfRfKnob(int32_t afValue, int32_t rfValue);
    // Returns the needle angle in degrees of a knob value.
    static int KnobAngle(Knob knob, int32_t value);

    // Draws the upper bar for a value 0 to 255 (receive or transmit table by the TX field).
    void DrawUpperBar(int32_t value);
    // Draws the lower bar for the meter selection of the MS field.
    void DrawLowerBar(int32_t value);
    // Takes a new reading of a bar: stores it, draws the bar, runs the peak-hold step (starting
    // or stopping the bar's timer) and draws the held segment.
    void ShowMeterReading(MeterBar bar, int32_t value);
    // Handles the expiry of a bar's hold timer: stops it, clears the held value, redraws.
    void OnHoldTimer(MeterBar bar);
    // Stops a bar's hold timer and clears its held and previous values.
    void ResetHold(MeterBar bar);
    // Redraws a bar from its stored reading, with its held segment.
    void RedrawBar(MeterBar bar);
    // Returns a bar's held value, or -1 when none is held.
    int32_t HeldValue(MeterBar bar) const;
    // Returns a bar's hold time in ms for the hold setting (0 none, 1 500, 2 1000, else 2000).
    static int HoldTimeMs(double setting);

    // Draws the shift row for the IS value in Hz.
    void DrawShift(int32_t value);
    // Draws the width row for the BG selector-0 value.
    void DrawWidth(int32_t value);
    // Draws both notch rows for the BP level.
    void DrawNotch(int32_t level);
    // Draws both contour rows for the CO level.
    void DrawContour(int32_t level);
    // Draws both contour rows as the APF position for the KP value.
    void DrawApf(int32_t value);
    // Draws the third (tuning) bar from the BG fields; nothing while a reading runs.
    void DrawTuningBar();

    // Lights or darkens a knob's lamp strip and remembers the call for RepaintAll.
    void DrawKeyLamp(bool on, int lampIndex);
    // Rebuilds the whole picture: panel, store redraw, dials, bars and their holds, key lamp.
    void RepaintAll();

  private:
    struct BarSlot {
        int32_t current = 0;
        int32_t previous = 0;
        int32_t held = -1;
    };
    // Reports one net change for a drawing made of several steps (a face, then its dot or
    // needle): redrawing the same picture then reports nothing, so a repaint never feeds itself.
    class ChangeScope {
      public:
        ChangeScope(PanelPainter& painter, const QRect& area);
        ~ChangeScope();
        ChangeScope(const ChangeScope&) = delete;
        ChangeScope& operator=(const ChangeScope&) = delete;

      private:
        PanelPainter& painter_;
        bool outermost_;
    };
    void Changed(const QRect& area);
    // Forgets what the frequency display shows when a drawing that is not its own covers it.
    void DrawingOver(const QRect& area);
    // Returns the picture's device pixels that a rectangle of panel pixels covers.
    QRect DeviceRect(const QRect& area) const;
    void DrawNeedle(const KnobLayout& place, int angle);
    void DrawHeldSegment(MeterBar bar);
    void DrawRowColumns(SkinGroup group, int firstPosition, const bool* lit);
    BarSlot& Slot(MeterBar bar) { return bar == MeterBar::Upper ? upper_ : lower_; }
    const BarSlot& Slot(MeterBar bar) const { return bar == MeterBar::Upper ? upper_ : lower_; }

    CPanelSkin skin_;
    QImage picture_;
    std::function<void(const QRect&)> onChange_;
    std::function<void()> storeRedraw_;
    std::function<void(int, int)> startTimer_;
    std::function<void(int)> stopTimer_;
    BarSlot upper_;
    BarSlot lower_;
    int mainDialAngle_ = 0;
    int32_t afValue_ = 0;
    int32_t rfValue_ = 0;
    // What the frequency display shows, until anything else draws over its area.
    struct ShownFrequency {
        int32_t value;  // pinned to the display's eight places
        int highlight;  // the highlighted place, 10 for none
        bool operator==(const ShownFrequency&) const = default;
    };
    static ShownFrequency FrequencyLook(int32_t value, int digitCursor);
    std::optional<ShownFrequency> shownFrequency_;
    QRect frequencyArea_;
    int scopeDepth_ = 0;
    QRect scopeArea_;
    QImage scopeBefore_;
    bool lastLampOn_ = false;
    int lastLampIndex_ = -1;
};

}  // namespace kestrel
