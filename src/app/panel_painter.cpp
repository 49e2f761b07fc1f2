#include "app/panel_painter.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "platform/main_window.h"
#include "platform/timer_numbers.h"
#include "protocol/radio_state.h"

namespace kestrel {
namespace {

// Degrees to radians with pi taken as 3.141592, as the panel's geometry was laid out with.
constexpr double kRadiansPerDegree = 0.01745328888888889;

constexpr int kColumns = 11;
constexpr int kCentreColumn = 5;

bool Transmitting() {
    return GetField(Field::TX) != 0;
}

// The bars light only while automatic information is on and the transceiver is switched on.
bool MetersLive() {
    return GetField(Field::AI) == 1 && GetField(Field::PS) == 1;
}

int Truncate(double v) {
    return static_cast<int>(v);
}

// The column of the shift row that marks an IF shift in Hz.
int ShiftColumn(int32_t hz) {
    if (hz == 0) {
        return kCentreColumn;
    }
    // clang-format off
    constexpr std::array<std::pair<int32_t, int>, 9> kBelow{{
        {-599, 0}, {-399, 1}, {-199, 2}, {-99, 3}, {0, 4}, {100, 6}, {200, 7}, {400, 8}, {600, 9},
    }};
    // clang-format on
    for (const auto& [below, column] : kBelow) {
        if (hz < below) {
            return column;
        }
    }
    return kColumns - 1;
}

// The column at the centre of the notch for a BP level.
int NotchColumn(int32_t level) {
    constexpr std::array<int32_t, kColumns> kFrom{1, 20, 50, 80, 110, 140, 160, 190, 220, 250, 280};
    int k = 0;
    for (int c = 0; c < kColumns; ++c) {
        if (level >= kFrom[c]) {
            k = c;
        }
    }
    return k;
}

const QRect kPanelRect(0, 0, kPanelWidth, kPanelHeight);

// Both edges are rounded, so that neighbouring rectangles share their device pixel edge at any
// scale, as the painter's own drawing of them does.
QRect ToDevice(const QRect& area, double scale) {
    const int left = static_cast<int>(std::lround(area.left() * scale));
    const int top = static_cast<int>(std::lround(area.top() * scale));
    const int right = static_cast<int>(std::lround((area.left() + area.width()) * scale));
    const int bottom = static_cast<int>(std::lround((area.top() + area.height()) * scale));
    return QRect(left, top, right - left, bottom - top);
}

void Light(bool* row, int column) {
    if (column >= 0 && column < kColumns) {
        row[column] = true;
    }
}

}  // namespace

PanelPainter::PanelPainter() : picture_(kPanelWidth, kPanelHeight, QImage::Format_RGB32) {
    picture_.fill(Qt::black);
}

void PanelPainter::LoadSkin(const QString& folder, double scale) {
    skin_.Load(folder, scale);
    shownFrequency_.reset();
    if (scale != Scale()) {
        picture_ = QImage(ToDevice(kPanelRect, scale).size(), QImage::Format_RGB32);
        picture_.setDevicePixelRatio(scale);
        picture_.fill(Qt::black);
    }
    DrawPanelPicture(PanelPicture::LampsDark);
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

void PanelPainter::DrawSkinElement(const QImage& image, int left, int top, int width, int height,
                                   int sourceWidth, int sourceHeight) {
    if (image.isNull() || width <= 0 || height <= 0) {
        return;
    }
    const QRect target = QRect(left, top, width, height).intersected(kPanelRect);
    if (target.isEmpty()) {
        return;
    }
    DrawingOver(target);
    // Timers redraw the same pictures many times a second; only a real change of pixels is
    // reported, so that the window repaints only what moved. The compared area has a pixel to
    // spare on each side for the rounding of fractional scales.
    const bool compare = scopeDepth_ == 0;
    const QRect device = DeviceRect(target).adjusted(-1, -1, 1, 1).intersected(picture_.rect());
    const QImage before = compare ? picture_.copy(device) : QImage();
    {
        QPainter p(&picture_);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        // The source is in the image's own pixels: a skin file is panel-sized, the built-in
        // artwork is drawn at the picture's scale.
        const double ratio = image.devicePixelRatio();
        const QRectF source(0, 0, (sourceWidth > 0 ? sourceWidth : width) * ratio,
                            (sourceHeight > 0 ? sourceHeight : height) * ratio);
        if (ratio != Scale()) {
            p.setRenderHint(QPainter::SmoothPixmapTransform);
        }
        p.drawImage(QRectF(left, top, width, height), image, source);
    }
    if (compare && picture_.copy(device) != before) {
        Changed(target);
    }
}

PanelPainter::ChangeScope::ChangeScope(PanelPainter& painter, const QRect& area)
    : painter_(painter), outermost_(painter.scopeDepth_ == 0) {
    if (outermost_) {
        painter_.scopeArea_ = area.intersected(kPanelRect);
        painter_.scopeBefore_ = painter_.picture_.copy(painter_.DeviceRect(painter_.scopeArea_));
    }
    ++painter_.scopeDepth_;
}

PanelPainter::ChangeScope::~ChangeScope() {
    --painter_.scopeDepth_;
    if (outermost_ &&
        painter_.picture_.copy(painter_.DeviceRect(painter_.scopeArea_)) != painter_.scopeBefore_) {
        painter_.Changed(painter_.scopeArea_);
    }
}

void PanelPainter::DrawGroup(SkinGroup group, int element) {
    const CSkinElement* found = skin_.SkinElement(group, element);
    if (found == nullptr) {
        return;
    }
    const SkinRect& r = found->rect;
    DrawSkinElement(found->bitmap, r.left, r.top, r.width, r.height);
}

void PanelPainter::DrawPanelPicture(PanelPicture picture) {
    DrawSkinElement(skin_.Picture(picture), 0, 0, kPanelWidth, kPanelHeight);
}

PanelPainter::ShownFrequency PanelPainter::FrequencyLook(int32_t value, int digitCursor) {
    // The field has eight places: anything wider could not be shown, so it is pinned to the
    // field's range rather than overrunning it.
    return {std::clamp<int32_t>(value, 0, 99999999),
            digitCursor >= 1 && digitCursor <= 8 ? 8 - digitCursor : 10};
}

bool PanelPainter::ShowsFrequency(int32_t value, int digitCursor) const {
    return shownFrequency_ == FrequencyLook(value, digitCursor);
}

bool PanelPainter::DrawFrequency(int32_t value, int digitCursor) {
    // The redraw timers ask many times a second; redrawing an unchanged display would only
    // cost the pixel comparison of every digit.
    const ShownFrequency look = FrequencyLook(value, digitCursor);
    if (shownFrequency_ == look) {
        return false;
    }
    char text[16];
    std::snprintf(text, sizeof text, "%8d", static_cast<int>(look.value));
    auto image = [&](int i) {
        if (text[i] == ' ') {
            return 10;
        }
        const int d = text[i] - '0';
        return i == look.highlight ? d + 11 : d;
    };
    // Its own drawing forgets what the display showed (DrawingOver) until the end below.
    QRect area;
    auto draw = [&](SkinGroup group, int element) {
        if (const CSkinElement* found = skin_.SkinElement(group, element)) {
            const SkinRect& r = found->rect;
            area |= QRect(r.left, r.top, r.width, r.height);
        }
        DrawGroup(group, element);
    };
    const int states = GroupLayout(SkinGroup::MainDigits).states;
    for (int i = 0; i < 7; ++i) {
        draw(SkinGroup::MainDigits, states * i + image(i));
    }
    draw(SkinGroup::LastDigit, image(7));
    draw(SkinGroup::FreqPoints, text[1] == ' ' ? 2 : 0);
    draw(SkinGroup::FreqPoints, 1);
    frequencyArea_ = area;
    shownFrequency_ = look;
    return true;
}

void PanelPainter::DrawOffset(double value) {
    // The clarifier reaches +-9999 Hz; the field holds a sign place and four digits.
    const int hz = std::clamp(Truncate(value), -9999, 9999);
    char text[16];
    std::snprintf(text, sizeof text, "%05d", hz);
    const int states = GroupLayout(SkinGroup::OffsetDigits).states;
    for (int i = 1; i <= 4; ++i) {
        DrawGroup(SkinGroup::OffsetDigits, states * (i - 1) + (text[i] - '0'));
    }
    DrawGroup(SkinGroup::OffsetPoint, 0);
    // The marks follow the shown whole hertz, so a fraction never shows "-0000".
    DrawGroup(SkinGroup::OffsetPlus, hz > 0 ? 1 : 0);
    DrawGroup(SkinGroup::OffsetMinus, hz < 0 ? 1 : 0);
}

void PanelPainter::DrawMainDial(int angle) {
    mainDialAngle_ = angle;
    const ChangeScope scope(*this, QRect(487, 131, 177, 177));
    const double a = angle * kRadiansPerDegree;
    DrawSkinElement(skin_.Dial(DialImage::MainFace), 487, 131, 177, 177);
    DrawSkinElement(skin_.Dial(DialImage::MainDimple), Truncate(553 + 36 * std::sin(a)),
                    Truncate(197 - 36 * std::cos(a)), 45, 45);
}

void PanelPainter::DrawDial2(int angle) {
    const ChangeScope scope(*this, QRect(884, 203, 101, 101));
    const double a = angle * kRadiansPerDegree;
    DrawSkinElement(skin_.Dial(DialImage::Dial2Face), 884, 203, 101, 101);
    DrawSkinElement(skin_.Dial(DialImage::Dot), Truncate(925 + 21 * std::sin(a)),
                    Truncate(243 - 21 * std::cos(a)), 20, 20);
}

void PanelPainter::DrawDial3(int angle) {
    const ChangeScope scope(*this, QRect(321, 232, 67, 67));
    const double a = angle * kRadiansPerDegree;
    DrawSkinElement(skin_.Dial(DialImage::Dial3Face), 321, 232, 67, 67);
    DrawSkinElement(skin_.Dial(DialImage::Dot), Truncate(349 + 12 * std::sin(a)),
                    Truncate(260 - 12 * std::cos(a)), 11, 11, 20, 20);
}

int PanelPainter::KnobAngle(Knob knob, int32_t value) {
    int angle = 0;
    if (knob == Knob::Speed) {
        angle = 207 + ((std::clamp<int32_t>(value, 4, 60) - 4) * 542) / 100;
    } else {
        angle = 207 + (std::clamp<int32_t>(value, 0, 255) * 119) / 100;
    }
    return angle >= 361 ? angle - 360 : angle;
}

void PanelPainter::DrawKnobNeedle(Knob knob, int32_t value) {
    if (knob == Knob::AfGain) {
        DrawAfRfKnob(value, rfValue_);
        return;
    }
    if (knob == Knob::RfGain) {
        DrawAfRfKnob(afValue_, value);
        return;
    }
    const KnobLayout& place = KnobPlace(knob);
    const ChangeScope scope(*this,
                            QRect(place.faceLeft, place.faceTop, place.faceSize, place.faceSize));
    DrawSkinElement(skin_.Dial(DialImage::KnobFace), place.faceLeft, place.faceTop, place.faceSize,
                    place.faceSize);
    DrawNeedle(place, KnobAngle(knob, value));
}

void PanelPainter::DrawAfRfKnob(int32_t afValue, int32_t rfValue) {
    afValue_ = afValue;
    rfValue_ = rfValue;
    const KnobLayout& af = KnobPlace(Knob::AfGain);
    const ChangeScope scope(*this, QRect(af.faceLeft, af.faceTop, af.faceSize, af.faceSize));
    DrawSkinElement(skin_.Dial(DialImage::DualKnobFace), af.faceLeft, af.faceTop, af.faceSize,
                    af.faceSize);
    DrawNeedle(af, KnobAngle(Knob::AfGain, afValue));
    DrawNeedle(KnobPlace(Knob::RfGain), KnobAngle(Knob::RfGain, rfValue));
}

void PanelPainter::DrawNeedle(const KnobLayout& place, int angle) {
    const double a = angle * kRadiansPerDegree;
    const QPoint start(place.cx + Truncate(place.radius * std::sin(a)),
                       place.cy - Truncate(place.radius * std::cos(a)));
    const QPoint end = start + QPoint(Truncate(5 * std::sin(a)), -Truncate(5 * std::cos(a)));
    const QRect area = QRect(start, end).normalized().adjusted(-2, -2, 2, 2);
    DrawingOver(area);
    {
        QPainter p(&picture_);
        p.setPen(QPen(QColor(255, 0, 0), 2, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(start, end);
    }
    if (scopeDepth_ == 0) {
        Changed(area.intersected(kPanelRect));
    }
}

void PanelPainter::DrawUpperBar(int32_t value) {
    const MeterThresholds& table = UpperThresholds(Transmitting());
    const bool live = MetersLive();
    for (int i = 0; i < kBarSegments; ++i) {
        const int state = live && value >= table[i].threshold ? table[i].state : 0;
        DrawGroup(SkinGroup::UpperBar, 3 * i + state);
    }
}

void PanelPainter::DrawLowerBar(int32_t value) {
    const int selection = GetField(Field::MS);
    const MeterThresholds* table = LowerThresholds(selection);
    if (table == nullptr) {
        return;
    }
    const bool shown = (Transmitting() || selection == 5) && MetersLive();
    for (int i = 0; i < kBarSegments; ++i) {
        const int state = shown && value >= (*table)[i].threshold ? (*table)[i].state : 0;
        DrawGroup(SkinGroup::LowerBar, 2 * i + state);
    }
}

int PanelPainter::HoldTimeMs(double setting) {
    if (setting == 0.0) {
        return 0;
    }
    if (setting == 1.0) {
        return 500;
    }
    if (setting == 2.0) {
        return 1000;
    }
    return 2000;
}

void PanelPainter::ShowMeterReading(MeterBar bar, int32_t value) {
    BarSlot& slot = Slot(bar);
    slot.current = value;
    int holdMs = 0;
    if (bar == MeterBar::Upper) {
        holdMs = HoldTimeMs(
            MenuValueOfKind(Transmitting() ? MenuKind::PoMeterHold : MenuKind::SMeterHold));
    } else {
        const int selection = GetField(Field::MS);
        if (selection == 1) {
            holdMs = HoldTimeMs(MenuValueOfKind(MenuKind::AlcMeterHold));
        } else if (selection == 4) {
            holdMs = HoldTimeMs(MenuValueOfKind(MenuKind::IdMeterHold));
        }
    }
    const int timerId = bar == MeterBar::Upper ? kTimerUpperPeak : kTimerLowerPeak;
    if (slot.current < slot.previous && holdMs > 0 && slot.held < 0) {
        slot.held = slot.previous;
        if (startTimer_) {
            startTimer_(timerId, holdMs);
        }
    } else if (slot.held >= 0 && slot.current >= slot.held) {
        if (stopTimer_) {
            stopTimer_(timerId);
        }
        slot.held = -1;
    }
    slot.previous = slot.current;
    RedrawBar(bar);
}

void PanelPainter::OnHoldTimer(MeterBar bar) {
    if (stopTimer_) {
        stopTimer_(bar == MeterBar::Upper ? kTimerUpperPeak : kTimerLowerPeak);
    }
    Slot(bar).held = -1;
    RedrawBar(bar);
}

void PanelPainter::ResetHold(MeterBar bar) {
    if (stopTimer_) {
        stopTimer_(bar == MeterBar::Upper ? kTimerUpperPeak : kTimerLowerPeak);
    }
    Slot(bar).held = -1;
    Slot(bar).previous = 0;
}

void PanelPainter::RedrawBar(MeterBar bar) {
    if (bar == MeterBar::Upper) {
        DrawUpperBar(upper_.current);
    } else {
        DrawLowerBar(lower_.current);
    }
    DrawHeldSegment(bar);
}

int32_t PanelPainter::HeldValue(MeterBar bar) const {
    return Slot(bar).held;
}

void PanelPainter::DrawHeldSegment(MeterBar bar) {
    const int32_t held = Slot(bar).held;
    if (held < 0 || !MetersLive()) {
        return;
    }
    const bool transmitting = Transmitting();
    const int selection = GetField(Field::MS);
    const MeterThresholds* table =
        bar == MeterBar::Upper ? &UpperThresholds(transmitting) : LowerThresholds(selection);
    // The lower bar is dark while receiving (except VDD), and so is its held segment.
    if (table == nullptr || (bar == MeterBar::Lower && !transmitting && selection != 5)) {
        return;
    }
    int above = 0;
    while (above < kBarSegments && (*table)[above].threshold <= held) {
        ++above;
    }
    // A held value below the first threshold lit no segment when it was read, so none is held.
    if (above == 0) {
        return;
    }
    int segment = above - 1;
    int state = (*table)[segment].state;
    if (above == kBarSegments || state == 0) {
        segment = bar == MeterBar::Lower && selection == 1 ? 15 : 30;
        state = bar == MeterBar::Upper && !transmitting ? 2 : 1;
    }
    const SkinGroup group = bar == MeterBar::Upper ? SkinGroup::UpperBar : SkinGroup::LowerBar;
    DrawGroup(group, GroupLayout(group).states * segment + state);
}

void PanelPainter::DrawRowColumns(SkinGroup group, int firstPosition, const bool* lit) {
    for (int c = 0; c < kColumns; ++c) {
        DrawGroup(group, 2 * (firstPosition + c) + (lit[c] ? 1 : 0));
    }
}

void PanelPainter::DrawShift(int32_t value) {
    bool lit[kColumns] = {};
    const int mode = GetField(Field::MD0);
    // AM and FM modes have no IF shift.
    if (mode != 4 && mode != 5 && mode != 10 && mode != 11) {
        lit[ShiftColumn(value)] = true;
    }
    DrawRowColumns(SkinGroup::ShiftRow, 0, lit);
}

void PanelPainter::DrawWidth(int32_t value) {
    if (value < 0 || value > 5) {
        return;
    }
    bool lit[kColumns] = {};
    for (int c = kCentreColumn - value; c <= kCentreColumn + value; ++c) {
        lit[c] = true;
    }
    DrawRowColumns(SkinGroup::WidthRow, 0, lit);
}

void PanelPainter::DrawNotch(int32_t level) {
    bool first[kColumns] = {};
    bool second[kColumns] = {};
    const int mode = GetField(Field::MD0);
    if (GetField(Field::BP0) == 1 && mode != 4 && mode != 10 && mode != 11 && level >= 1) {
        const int k = NotchColumn(level);
        if (MenuValueOfKind(MenuKind::NotchWidth) != 1.0) {
            Light(first, k - 1);
            Light(first, k + 1);
            Light(second, k - 1);
            Light(second, k + 1);
        } else {
            Light(first, k - 1);
            Light(first, k + 1);
            Light(first, k - 2);
            Light(first, k + 2);
            Light(second, k - 2);
            Light(second, k + 2);
        }
    }
    DrawRowColumns(SkinGroup::NotchRows, 0, first);
    DrawRowColumns(SkinGroup::NotchRows, kColumns, second);
}

void PanelPainter::DrawContour(int32_t level) {
    const int mode = GetField(Field::CO0);
    int band = 0;
    if (mode == 0 || level < 0) {
        band = 0;
    } else if (mode == 1) {
        constexpr std::array<int32_t, 11> kUpTo{1, 4, 7, 10, 13, 15, 18, 21, 24, 27, 30};
        band = 11;
        for (int i = 0; i < static_cast<int>(kUpTo.size()); ++i) {
            if (level <= kUpTo[i]) {
                band = 1 + i;
                break;
            }
        }
    } else {
        return;
    }
    bool upper[kColumns] = {};
    bool lower[kColumns] = {};
    if (band != 0) {
        Light(upper, band - 2);
        Light(upper, band - 1);
        Light(upper, band);
        Light(lower, band - 1);
    }
    // A negative contour gain is a dip instead of a peak: each row shows the other inverted.
    if (band != 0 && MenuValueOfKind(MenuKind::ContourLevel) < 0) {
        bool swappedUpper[kColumns];
        bool swappedLower[kColumns];
        for (int c = 0; c < kColumns; ++c) {
            swappedUpper[c] = !lower[c];
            swappedLower[c] = !upper[c];
        }
        DrawRowColumns(SkinGroup::ContourRows, 0, swappedUpper);
        DrawRowColumns(SkinGroup::ContourRows, kColumns, swappedLower);
        return;
    }
    DrawRowColumns(SkinGroup::ContourRows, 0, upper);
    DrawRowColumns(SkinGroup::ContourRows, kColumns, lower);
}

void PanelPainter::DrawApf(int32_t value) {
    const int band = value <= 3 ? 1 : value <= 9 ? 2 : 3;
    bool upper[kColumns] = {};
    bool lower[kColumns] = {};
    Light(upper, band - 1);
    Light(upper, band);
    Light(upper, band + 1);
    Light(lower, band);
    DrawRowColumns(SkinGroup::ContourRows, 0, upper);
    DrawRowColumns(SkinGroup::ContourRows, kColumns, lower);
}

void PanelPainter::DrawTuningBar() {
    const MainWindow* window = TheMainWindow();
    if (window != nullptr && window->ReadingRunning() != 0) {
        return;
    }
    int table = 0;
    int row = GetField(Field::BG1);
    if (row == -1) {
        table = 2;
        row = GetField(Field::BG2);
    } else {
        table = MenuValueOfKind(MenuKind::BarDisplay) != 0.0 ? 0 : 1;
    }
    if (row < 0 || row >= kTuningRows) {
        return;
    }
    const TuningPattern& pattern = TuningPatternRow(table, row);
    for (int s = 0; s < kTuningSegments; ++s) {
        DrawGroup(SkinGroup::TuningBar, 3 * s + pattern[s]);
    }
}

void PanelPainter::DrawKeyLamp(bool on, int lampIndex) {
    lastLampOn_ = on;
    lastLampIndex_ = lampIndex;
    if (lampIndex < 0 || lampIndex >= kKeyLampCount) {
        return;
    }
    const SkinRect r = KeyLampRect(lampIndex);
    const QImage& picture = skin_.Picture(on ? PanelPicture::LampsLit : PanelPicture::LampsDark);
    QImage strip =
        picture.copy(ToDevice(QRect(r.left, r.top, r.width, r.height), picture.devicePixelRatio()));
    strip.setDevicePixelRatio(picture.devicePixelRatio());
    DrawSkinElement(strip, r.left, r.top, r.width, r.height);
}

void PanelPainter::RepaintAll() {
    const ChangeScope scope(*this, kPanelRect);
    DrawMainDial(mainDialAngle_);
    DrawDial2(360);
    if (storeRedraw_) {
        storeRedraw_();
    }
    RedrawBar(MeterBar::Upper);
    RedrawBar(MeterBar::Lower);
    if (lastLampIndex_ >= 0) {
        DrawKeyLamp(lastLampOn_, lastLampIndex_);
    }
}

QRect PanelPainter::DeviceRect(const QRect& area) const {
    return ToDevice(area, Scale());
}

void PanelPainter::DrawingOver(const QRect& area) {
    if (area.intersects(frequencyArea_)) {
        shownFrequency_.reset();
    }
}

void PanelPainter::Changed(const QRect& area) {
    if (onChange_ && !area.isEmpty()) {
        onChange_(area);
    }
}

}  // namespace kestrel
