#include "skin/skin_artwork.h"

#include <QConicalGradient>
#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QStringList>
#include <cmath>
#include <functional>
#include <vector>

namespace kestrel {
namespace {

// The display window is one flat colour so that every element drawn on it (which replaces its
// whole rectangle) blends with the picture around it.
const QColor kLcdBack(8, 12, 16);
const QColor kLcdGhost(30, 26, 20);
const QColor kLcdDim(58, 62, 66);
const QColor kDigitLit(255, 178, 52);
const QColor kDigitCursor(120, 224, 255);
const QColor kLegendLit(238, 236, 226);
const QColor kAmberLit(255, 186, 72);
const QColor kCyanLit(96, 212, 255);
const QColor kRedLit(255, 58, 44);
const QColor kGreenLit(64, 230, 110);
const QColor kSegmentDark(34, 38, 42);
const QColor kChassisTop(58, 61, 66);
const QColor kChassisBottom(30, 31, 34);
const QColor kPanelText(214, 216, 220);
const QColor kEngrave(18, 19, 21);

constexpr double kPi = 3.14159265358979;

// An image of width x height panel pixels at `scale` device pixels each; a painter on it works in
// panel pixels.
QImage Blank(int width, int height, const QColor& fill, double scale) {
    QImage image(static_cast<int>(std::ceil(width * scale - 0.01)),
                 static_cast<int>(std::ceil(height * scale - 0.01)), QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    image.fill(fill);
    return image;
}

QImage GreenBlank(int width, int height, double scale) {
    return Blank(width, height, QColor(0, 255, 0), scale);
}

QFont LabelFont(double pixelSize, bool bold = true) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixelSize))));
    font.setBold(bold);
    font.setStretch(QFont::SemiCondensed);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

// Draws text in a rectangle at the largest size up to maxPixels that fits, its capitals
// centred vertically so that small legends sit crisply inside their few pixels.
bool FitText(QPainter& p, const QRectF& rect, const QString& text, const QColor& colour,
             double maxPixels, int flags = Qt::AlignCenter, double minPixels = 5.0) {
    for (double size = maxPixels; size >= minPixels; size -= 0.5) {
        const QFont font = LabelFont(size);
        const QFontMetricsF metrics(font);
        const double width = metrics.horizontalAdvance(text);
        const double cap = metrics.capHeight();
        if (width > rect.width() + 0.5 || cap > rect.height() + 0.25) {
            continue;
        }
        double x = rect.left() + (rect.width() - width) / 2;
        if (flags & Qt::AlignLeft) {
            x = rect.left();
        } else if (flags & Qt::AlignRight) {
            x = rect.right() - width;
        }
        const double baseline = std::round(rect.top() + (rect.height() + cap) / 2);
        p.setFont(font);
        p.setPen(colour);
        p.drawText(QPointF(std::round(x), baseline), text);
        return true;
    }
    return false;
}

QStringList Labels(SkinGroup group) {
    return QString::fromUtf8(GroupLayout(group).labels.data(),
                             static_cast<int>(GroupLayout(group).labels.size()))
        .split(QLatin1Char('|'));
}

// The segments a to g of each digit, bit 0 = a.
constexpr std::array<uint8_t, 10> kSegmentsOfDigit{0x3f, 0x06, 0x5b, 0x4f, 0x66,
                                                   0x6d, 0x7d, 0x07, 0x7f, 0x6f};

// Draws a slanted seven-segment digit; bits selects the lit segments.
void SevenSegment(QPainter& p, const QRectF& box, uint8_t bits, const QColor& lit,
                  const QColor& ghost) {
    const double w = box.width();
    const double h = box.height();
    const double t = std::max(1.6, w / 6.0);
    const double slant = 0.12;
    auto at = [&](double x, double y) {
        return QPointF(box.left() + x + slant * (h - y), box.top() + y);
    };
    const double inner = w - 2 * slant * h * 0.5;
    const double x0 = 0;
    const double x1 = inner - t * 0.2;
    const double y0 = 0;
    const double ym = h / 2;
    const double y1 = h;
    auto horizontal = [&](double y) {
        QPolygonF poly;
        poly << at(x0 + t * 0.6, y) << at(x0 + t * 1.1, y - t / 2) << at(x1 - t * 1.1, y - t / 2)
             << at(x1 - t * 0.6, y) << at(x1 - t * 1.1, y + t / 2) << at(x0 + t * 1.1, y + t / 2);
        return poly;
    };
    auto vertical = [&](double x, double ya, double yb) {
        QPolygonF poly;
        poly << at(x, ya + t * 0.6) << at(x + t / 2, ya + t * 1.1) << at(x + t / 2, yb - t * 1.1)
             << at(x, yb - t * 0.6) << at(x - t / 2, yb - t * 1.1) << at(x - t / 2, ya + t * 1.1);
        return poly;
    };
    const std::array<QPolygonF, 7> segments{
        horizontal(y0 + t / 2), vertical(x1 - t / 2, y0, ym), vertical(x1 - t / 2, ym, y1),
        horizontal(y1 - t / 2), vertical(x0 + t / 2, ym, y1), vertical(x0 + t / 2, y0, ym),
        horizontal(ym)};
    p.setPen(Qt::NoPen);
    for (int s = 0; s < 7; ++s) {
        p.setBrush(bits & (1 << s) ? lit : ghost);
        p.drawPolygon(segments[s]);
    }
}

QImage DigitArt(int width, int height, int image, double scale) {
    QImage art = Blank(width, height, kLcdBack, scale);
    QPainter p(&art);
    p.setRenderHint(QPainter::Antialiasing);
    const bool cursor = image >= 11;
    const int digit = cursor ? image - 11 : image;
    const double margin = std::max(1.0, width / 10.0);
    const QRectF box(margin, margin, width - 2 * margin - width * 0.08, height - 2 * margin);
    if (cursor) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 58, 70));
        p.drawRect(QRectF(0, 0, width, height));
    }
    // Images 10 and 21 are a blank place, without and with the cursor: no segment lit.
    const uint8_t bits = digit < 10 ? kSegmentsOfDigit[digit] : 0;
    SevenSegment(p, box, bits, cursor ? kDigitCursor : kDigitLit, kLcdGhost);
    return art;
}

QImage PointArt(SkinGroup group, int element, double scale) {
    const SkinGroupLayout& row = GroupLayout(group);
    QImage art = Blank(row.width, row.height, kLcdBack, scale);
    // The MHz point has a dark look (element 2) for frequencies below 1 MHz; the offset point's
    // element 0 is the one drawn, so it is the lit look.
    const bool lit = group == SkinGroup::FreqPoints ? element != 2 : element == 0;
    QPainter p(&art);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(lit ? kDigitLit : kLcdGhost);
    const double d = std::min(row.width, row.height) * 0.6;
    p.drawEllipse(QRectF((row.width - d) / 2, row.height - d - 0.5, d, d));
    return art;
}

QImage SignArt(SkinGroup group, int element, double scale) {
    const SkinGroupLayout& row = GroupLayout(group);
    QImage art = Blank(row.width, row.height, kLcdBack, scale);
    const QColor colour = element == 1 ? kDigitLit : kLcdGhost;
    QPainter p(&art);
    p.fillRect(0, row.height / 2, row.width, 1, colour);
    if (group == SkinGroup::OffsetPlus) {
        p.fillRect(row.width / 2, 0, 1, row.height, colour);
    }
    return art;
}

QColor SegmentColour(SkinGroup group, int state) {
    if (state == 0) {
        return kSegmentDark;
    }
    switch (group) {
        case SkinGroup::UpperBar:
        case SkinGroup::LowerBar:
            return state == 2 ? kRedLit : kLegendLit;
        case SkinGroup::TuningBar:
            return state == 2 ? kGreenLit : kAmberLit;
        default:
            return kCyanLit;
    }
}

QImage SegmentArt(SkinGroup group, int element, double scale) {
    const SkinGroupLayout& row = GroupLayout(group);
    return Blank(row.width, row.height, SegmentColour(group, element % row.states), scale);
}

// Where bar segment i sits on a scale plate that starts at plateLeft.
double SegmentX(int plateLeft, int segment) {
    return 209 - plateLeft + 4 * segment + 1;
}

QImage PlateArt(SkinGroup group, int element, double scale) {
    const SkinGroupLayout& row = GroupLayout(group);
    QImage art = Blank(row.width, row.height, kLcdBack, scale);
    const bool lit = element == 1;
    QPainter p(&art);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QString title = Labels(group).front();
    struct Mark {
        int segment;
        const char* text;
        bool red;
    };
    std::vector<Mark> marks;
    double textTop = 0;
    switch (group) {
        case SkinGroup::UpperRxPlate:
            marks = {{1, "1", false},  {5, "3", false},   {9, "5", false},   {13, "7", false},
                     {18, "9", false}, {22, "+20", true}, {26, "+40", true}, {30, "+60", true}};
            break;
        case SkinGroup::UpperTxPlate:
            marks = {{0, "0", false},
                     {9, "25", false},
                     {16, "50", false},
                     {23, "100", false},
                     {30, "150", true}};
            break;
        case SkinGroup::LowerPlate0:
            marks = {{0, "0", false}, {9, "5", false}, {19, "10", false}, {30, "15dB", false}};
            break;
        case SkinGroup::LowerPlate1:
            marks = {{0, "0", false}, {13, "ALC", false}, {27, "MAX", true}};
            break;
        case SkinGroup::LowerPlate3:
            marks = {{0, "1", false},
                     {11, "1.5", false},
                     {18, "2", false},
                     {24, "3", true},
                     {30, "\u221e", true}};
            break;
        case SkinGroup::LowerPlate4:
            marks = {{0, "0", false}, {9, "5", false}, {19, "10", false}, {30, "15A", false}};
            break;
        default:
            marks = {{0, "0", false}, {14, "10", false}, {29, "15V", false}};
            break;
    }
    const QColor text = lit ? kLegendLit : kLcdDim;
    const QColor red = lit ? kRedLit : kLcdDim;
    const bool lower = row.height > 20;
    if (lower) {
        textTop = 2;
    }
    const double textHeight = lower ? 9 : row.height;
    // The title sits at the left end of the plate, outside the scale.
    FitText(p, QRectF(0, lower ? 13 : 0, 20, lower ? 8 : row.height), title, text, 7,
            Qt::AlignLeft | Qt::AlignVCenter);
    for (const Mark& mark : marks) {
        const double x = SegmentX(row.left, mark.segment);
        FitText(p, QRectF(x - 10, textTop, 20, textHeight), QString::fromUtf8(mark.text),
                mark.red ? red : text, 7.5, Qt::AlignCenter);
    }
    if (lower) {
        for (int i = 0; i <= 30; i += 5) {
            const int x = static_cast<int>(SegmentX(row.left, i));
            p.fillRect(x, 11, 1, 2, text);
        }
        // The bar runs through the plate: that strip is transparent so that drawing the plate
        // never erases the bar.
        p.fillRect(QRect(21, 14, 127, 6), QColor(0, 255, 0));
    }
    return art;
}

QColor LampColour(SkinGroup group) {
    switch (group) {
        case SkinGroup::LampTx:
        case SkinGroup::LampHiSwr:
        case SkinGroup::LampRec:
        case SkinGroup::LampTxClar:
            return kRedLit;
        case SkinGroup::LampBusy:
        case SkinGroup::LampPlay:
        case SkinGroup::LampRxClar:
            return kGreenLit;
        case SkinGroup::ModeLsb:
        case SkinGroup::ModeUsb:
        case SkinGroup::ModeCw:
        case SkinGroup::ModeAm:
        case SkinGroup::ModeFm:
        case SkinGroup::ModeRtty:
        case SkinGroup::ModePkt:
            return kLegendLit;
        case SkinGroup::LampDnr:
        case SkinGroup::LampDnf:
        case SkinGroup::LegendContour:
        case SkinGroup::LampMuTune:
        case SkinGroup::LampThru:
            return kCyanLit;
        default:
            return kAmberLit;
    }
}

// The four status lamps beside the frequency and the memory lamps are boxed indicators; the
// rest are legends printed on the display.
bool Boxed(SkinGroup group) {
    switch (group) {
        case SkinGroup::LampTx:
        case SkinGroup::LampBusy:
        case SkinGroup::LampFast:
        case SkinGroup::LampLock:
            return true;
        default:
            return false;
    }
}

QImage LampArt(SkinGroup group, int element, double scale) {
    const SkinGroupLayout& row = GroupLayout(group);
    QImage art = Blank(row.width, row.height, kLcdBack, scale);
    const QStringList labels = Labels(group);
    const bool lit = element >= 1;
    const QString text = element == 2 && labels.size() > 1 ? labels[1] : labels[0];
    QPainter p(&art);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box(0.5, 0.5, row.width - 1.0, row.height - 1.0);
    const QColor colour = LampColour(group);
    if (Boxed(group)) {
        p.setPen(QPen(lit ? colour : kLcdDim, 1));
        p.setBrush(lit ? colour : kLcdBack);
        p.drawRoundedRect(box, 2, 2);
        FitText(p, box, text, lit ? kLcdBack : kLcdDim, row.height - 2.0);
        return art;
    }
    FitText(p, box, text, lit ? colour : kLcdDim, row.height + 0.5);
    return art;
}

QImage ColumnArt(SkinGroup group, int element, double scale) {
    const SkinGroupLayout& row = GroupLayout(group);
    QImage art = Blank(row.width, row.height, kLcdBack, scale);
    const QStringList labels = Labels(group);
    const bool lit = element >= row.positions;
    const int position = element % row.positions;
    QPainter p(&art);
    p.setRenderHint(QPainter::Antialiasing);
    FitText(p, QRectF(0, 0, row.width, row.height), labels.value(position),
            lit ? kAmberLit : kLcdDim, row.height + 0.5);
    return art;
}

QColor KeyLedColour(SkinGroup group) {
    switch (group) {
        case SkinGroup::KeyTxA:
        case SkinGroup::KeyTxB:
        case SkinGroup::KeyMox:
            return kRedLit;
        case SkinGroup::KeyRxA:
        case SkinGroup::KeyRxB:
        case SkinGroup::KeyOnOff:
        case SkinGroup::KeyCom:
            return kGreenLit;
        default:
            return kAmberLit;
    }
}

QImage KeyCapArt(SkinGroup group, int element, double scale) {
    const SkinGroupLayout& row = GroupLayout(group);
    QImage art = GreenBlank(row.width, row.height, scale);
    const bool pressed = element % 2 == 1;
    const bool on = element >= 2;
    const QString label = Labels(group).front();
    QPainter p(&art);
    const double radius = std::min(3.0, std::min(row.width, row.height) / 4.0);
    // The corners stay green so the panel shows around the cap; the cap itself is opaque.
    QRectF body(0, 0, row.width, row.height);
    QPainterPath outline;
    outline.addRoundedRect(body, radius, radius);
    p.fillPath(outline, kEngrave);
    const QRectF face = body.adjusted(1, pressed ? 2 : 1, -1, pressed ? -1 : -2);
    QLinearGradient shade(face.topLeft(), face.bottomLeft());
    shade.setColorAt(0, pressed ? QColor(64, 67, 72) : QColor(122, 126, 132));
    shade.setColorAt(0.45, pressed ? QColor(54, 57, 61) : QColor(88, 92, 97));
    shade.setColorAt(1, pressed ? QColor(44, 46, 50) : QColor(62, 65, 70));
    QPainterPath facePath;
    facePath.addRoundedRect(face, std::max(1.0, radius - 1), std::max(1.0, radius - 1));
    p.fillPath(facePath, shade);
    if (!pressed) {
        p.fillRect(QRectF(face.left() + 1, face.top(), face.width() - 2, 1), QColor(150, 154, 160));
    }
    p.setRenderHint(QPainter::Antialiasing);
    // Four-image keys carry an indicator that glows while their function is on.
    QRectF textArea = face.adjusted(1, 0, -1, 0);
    if (row.states == 4) {
        // Tall caps carry the indicator above the name, wide ones beside it.
        const bool tall = row.height >= 30;
        const bool top = !tall && row.height >= 15 && row.width < 30;
        QRectF led(face.left() + 2, face.top() + 1.5, 3, face.height() - 3);
        if (tall) {
            led = QRectF(face.center().x() - 5, face.top() + 3, 10, 3);
        } else if (top) {
            led = QRectF(face.left() + 4, face.top() + 1.5, face.width() - 8, 2);
        }
        p.setPen(Qt::NoPen);
        p.setBrush(on ? KeyLedColour(group) : QColor(36, 30, 26));
        p.drawRoundedRect(led, 1, 1);
        textArea = face.adjusted(6, 0, -1, 0);
        if (tall) {
            textArea = face.adjusted(1, 8, -1, 0);
        } else if (top) {
            textArea = face.adjusted(0, 3.5, 0, 0);
        }
    }
    if (group == SkinGroup::KeyOnOff) {
        const QPointF centre(face.center().x(), face.top() + face.height() * 0.48);
        p.setPen(QPen(on ? KeyLedColour(group) : kPanelText, 1.6, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(centre.x() - 7, centre.y() - 7, 14, 14), 120 * 16, 300 * 16);
        p.drawLine(centre + QPointF(0, -8), centre + QPointF(0, -1));
        textArea = QRectF(face.left(), face.bottom() - 14, face.width(), 12);
    }
    if (pressed) {
        textArea.translate(0, 0.5);
    }
    const QColor textColour = on && row.states == 4 && group != SkinGroup::KeyOnOff
                                  ? QColor(255, 226, 170)
                                  : QColor(240, 241, 243);
    // A tall narrow cap with a two-part name ("AM/FM") reads better on two lines.
    const int slash = label.indexOf(QLatin1Char('/'));
    if (row.height >= 30 && slash > 0 && group != SkinGroup::KeyOnOff) {
        const double half = textArea.height() / 2;
        const QRectF top(textArea.left(), textArea.top() + 2, textArea.width(), half - 3);
        const QRectF bottom(textArea.left(), textArea.top() + half + 1, textArea.width(), half - 3);
        FitText(p, top, label.left(slash), textColour, 9, Qt::AlignCenter, 5.5);
        FitText(p, bottom, label.mid(slash + 1), textColour, 9, Qt::AlignCenter, 5.5);
        return art;
    }
    FitText(p, textArea, label, textColour, std::min(10.0, textArea.height() + 1.5),
            Qt::AlignCenter, 5.5);
    return art;
}

// Draws a knurled turning knob: a skirt of grip ridges round a metal cap, brushed (a conical
// sheen) or plain (a radial one, for pictures that cannot hold a conical gradient).
void KnurledKnob(QPainter& p, const QPointF& c, double outer, double cap, int ridges,
                 bool brushed = true) {
    p.setPen(Qt::NoPen);
    QRadialGradient shadow(c + QPointF(0, 2), outer + 1);
    shadow.setColorAt(0.85, QColor(0, 0, 0, 160));
    shadow.setColorAt(1, QColor(0, 0, 0, 0));
    p.setBrush(QColor(12, 12, 13));
    p.drawEllipse(c, outer, outer);
    QLinearGradient skirt(c - QPointF(0, outer), c + QPointF(0, outer));
    skirt.setColorAt(0, QColor(72, 74, 78));
    skirt.setColorAt(1, QColor(22, 23, 25));
    p.setBrush(skirt);
    p.drawEllipse(c, outer - 1, outer - 1);
    p.setPen(QPen(QColor(10, 10, 11), std::max(1.0, outer / 40.0)));
    for (int i = 0; i < ridges; ++i) {
        const double a = 2 * kPi * i / ridges;
        const QPointF dir(std::sin(a), -std::cos(a));
        p.drawLine(c + dir * (cap + 1.5), c + dir * (outer - 1.5));
    }
    p.setPen(QPen(QColor(96, 99, 104), std::max(0.6, outer / 80.0)));
    for (int i = 0; i < ridges; ++i) {
        const double a = 2 * kPi * (i + 0.5) / ridges;
        const QPointF dir(std::sin(a), -std::cos(a));
        p.drawLine(c + dir * (cap + 2), c + dir * (outer - 2));
    }
    p.setPen(Qt::NoPen);
    QConicalGradient spun(c, 45);
    spun.setColorAt(0.0, QColor(190, 192, 196));
    spun.setColorAt(0.125, QColor(96, 99, 104));
    spun.setColorAt(0.25, QColor(168, 170, 175));
    spun.setColorAt(0.375, QColor(86, 89, 94));
    spun.setColorAt(0.5, QColor(190, 192, 196));
    spun.setColorAt(0.625, QColor(96, 99, 104));
    spun.setColorAt(0.75, QColor(168, 170, 175));
    spun.setColorAt(0.875, QColor(86, 89, 94));
    spun.setColorAt(1.0, QColor(190, 192, 196));
    QRadialGradient plain(c - QPointF(cap * 0.3, cap * 0.35), cap * 1.5);
    plain.setColorAt(0, QColor(196, 198, 202));
    plain.setColorAt(1, QColor(80, 83, 88));
    p.setBrush(QColor(30, 31, 33));
    p.drawEllipse(c, cap + 1, cap + 1);
    if (brushed) {
        p.setBrush(spun);
    } else {
        p.setBrush(plain);
    }
    p.drawEllipse(c, cap, cap);
    QRadialGradient sheen(c - QPointF(cap * 0.3, cap * 0.4), cap * 1.2);
    sheen.setColorAt(0, QColor(255, 255, 255, 70));
    sheen.setColorAt(1, QColor(255, 255, 255, 0));
    p.setBrush(sheen);
    p.drawEllipse(c, cap, cap);
}

// Antialiased edges would blend into pure green and leave a green fringe on the panel; every
// pixel is therefore either pure green or fully the picture's own.
void SnapToKey(QImage& art, const QImage& coverage) {
    for (int y = 0; y < art.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(art.scanLine(y));
        const auto* cover = reinterpret_cast<const QRgb*>(coverage.constScanLine(y));
        for (int x = 0; x < art.width(); ++x) {
            if (qAlpha(cover[x]) < 128) {
                line[x] = kSkinTransparent;
            } else {
                const QRgb c = cover[x];
                line[x] = qRgb(qRed(c),
                               qGreen(c) == 255 && qRed(c) == 0 && qBlue(c) == 0 ? 254 : qGreen(c),
                               qBlue(c));
            }
        }
    }
}

QImage Keyed(const QImage& drawn) {
    QImage art = GreenBlank(drawn.width(), drawn.height(), 1.0);
    art.setDevicePixelRatio(drawn.devicePixelRatio());
    const QImage unpremultiplied = drawn.convertToFormat(QImage::Format_ARGB32);
    SnapToKey(art, unpremultiplied);
    return art;
}

QImage RoundArt(int size, double scale,
                const std::function<void(QPainter&, QPointF, double)>& draw) {
    const int pixels = static_cast<int>(std::ceil(size * scale - 0.01));
    QImage drawn(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    drawn.setDevicePixelRatio(scale);
    drawn.fill(Qt::transparent);
    QPainter p(&drawn);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p, QPointF(size / 2.0, size / 2.0), size / 2.0);
    p.end();
    return Keyed(drawn);
}

void DrawElementDefaults(QPainter& p, double scale) {
    for (int g = 0; g < kSkinGroupCount; ++g) {
        const auto group = static_cast<SkinGroup>(g);
        const SkinGroupLayout& row = GroupLayout(group);
        std::vector<int> elements;
        switch (row.kind) {
            case SkinKind::Digits:
                // The offset digits have no blank image: at rest their place stays dark.
                if (group != SkinGroup::OffsetDigits) {
                    for (int pos = 0; pos < row.positions; ++pos) {
                        elements.push_back(pos * row.states + 10);
                    }
                }
                break;
            case SkinKind::Point:
                // At rest the display is dark: only the MHz point's dark look is drawn.
                if (group == SkinGroup::FreqPoints) {
                    elements.push_back(2);
                }
                break;
            case SkinKind::Plate:
                // The lower plates share one place; the COMP plate is the one at rest.
                if (group != SkinGroup::LowerPlate1 && group != SkinGroup::LowerPlate3 &&
                    group != SkinGroup::LowerPlate4 && group != SkinGroup::LowerPlate5) {
                    elements.push_back(0);
                }
                break;
            case SkinKind::Segment:
            case SkinKind::Column:
                for (int pos = 0; pos < row.positions; ++pos) {
                    elements.push_back(row.kind == SkinKind::Column ? pos : pos * row.states);
                }
                break;
            default:
                elements.push_back(0);
                break;
        }
        for (const int element : elements) {
            const SkinRect r = ElementRect(group, element);
            QImage art =
                DrawElementArt(group, element, scale).convertToFormat(QImage::Format_ARGB32);
            for (int y = 0; y < art.height(); ++y) {
                auto* line = reinterpret_cast<QRgb*>(art.scanLine(y));
                for (int x = 0; x < art.width(); ++x) {
                    if (line[x] == kSkinTransparent) {
                        line[x] = 0;
                    }
                }
            }
            p.drawImage(QPoint(r.left, r.top), art);
        }
    }
}

void PanelLabel(QPainter& p, const QRectF& rect, const QString& text, double size = 7.5,
                int flags = Qt::AlignCenter) {
    FitText(p, rect, text, kPanelText, size, flags, 5.0);
}

// Draws a label centred above a key cap whose name does not fit on the cap itself.
void LabelAbove(QPainter& p, SkinGroup group, const QString& text, double size = 7) {
    const SkinRect r = ElementRect(group, 0);
    PanelLabel(p, QRectF(r.left - 14, r.top - 10, r.width + 28, 9), text, size);
}

void DrawDialAt(QPainter& p, DialImage image, int left, int top, double scale) {
    QImage art = DrawDialArt(image, scale).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < art.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(art.scanLine(y));
        for (int x = 0; x < art.width(); ++x) {
            if (line[x] == kSkinTransparent) {
                line[x] = 0;
            }
        }
    }
    p.drawImage(QPoint(left, top), art);
}

void Engraved(QPainter& p, const QRectF& rect, double radius = 5) {
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kEngrave, 1));
    p.drawRoundedRect(rect, radius, radius);
    p.setPen(QPen(QColor(78, 81, 86), 1));
    p.drawRoundedRect(rect.translated(0.7, 0.7), radius, radius);
}

}  // namespace

QImage DrawElementArt(SkinGroup group, int element, double scale) {
    const SkinGroupLayout& row = GroupLayout(group);
    switch (row.kind) {
        case SkinKind::Digits:
            return DigitArt(row.width, row.height, element % row.states, scale);
        case SkinKind::Point:
            return PointArt(group, element, scale);
        case SkinKind::Sign:
            return SignArt(group, element, scale);
        case SkinKind::Segment:
            return SegmentArt(group, element, scale);
        case SkinKind::Plate:
            return PlateArt(group, element, scale);
        case SkinKind::Lamp:
            return LampArt(group, element, scale);
        case SkinKind::Column:
            return ColumnArt(group, element, scale);
        case SkinKind::KeyCap:
            return KeyCapArt(group, element, scale);
    }
    return {};
}

QImage DrawDialArt(DialImage image, double scale) {
    const int size = DialImageSize(image);
    switch (image) {
        case DialImage::MainFace:
            return RoundArt(size, scale, [](QPainter& p, QPointF c, double r) {
                // A heavy tuning knob: rubber grip ring, then a spun-metal face.
                KnurledKnob(p, c, r - 0.5, r * 0.72, 90);
                p.setPen(QPen(QColor(40, 41, 44), 1.2));
                p.setBrush(Qt::NoBrush);
                for (int ring = 1; ring <= 3; ++ring) {
                    p.drawEllipse(c, r * 0.72 * ring / 3.6, r * 0.72 * ring / 3.6);
                }
            });
        case DialImage::MainDimple:
            return RoundArt(size, scale, [](QPainter& p, QPointF c, double r) {
                // A finger dimple: lit from the top left, so its hollow is bright at the
                // bottom right and shaded at the top left.
                QRadialGradient hollow(c + QPointF(r * 0.3, r * 0.35), r * 1.3);
                hollow.setColorAt(0, QColor(200, 202, 206));
                hollow.setColorAt(0.6, QColor(132, 135, 140));
                hollow.setColorAt(1, QColor(70, 72, 76));
                p.setPen(QPen(QColor(52, 53, 56), 1.5));
                p.setBrush(hollow);
                p.drawEllipse(c, r - 1, r - 1);
            });
        case DialImage::Dial2Face:
            return RoundArt(size, scale, [](QPainter& p, QPointF c, double r) {
                KnurledKnob(p, c, r - 0.5, r * 0.74, 60);
            });
        case DialImage::Dial3Face:
            return RoundArt(size, scale, [](QPainter& p, QPointF c, double r) {
                KnurledKnob(p, c, r - 0.5, r * 0.72, 44);
            });
        case DialImage::Dot:
            return RoundArt(size, scale, [](QPainter& p, QPointF c, double r) {
                QRadialGradient dot(c - QPointF(r * 0.3, r * 0.3), r);
                dot.setColorAt(0, QColor(250, 250, 250));
                dot.setColorAt(1, QColor(120, 122, 126));
                p.setPen(QPen(QColor(30, 30, 32), 1));
                p.setBrush(dot);
                p.drawEllipse(c, r - 1.5, r - 1.5);
            });
        case DialImage::KnobFace:
            return RoundArt(size, scale, [](QPainter& p, QPointF c, double r) {
                KnurledKnob(p, c, r - 0.5, r * 0.72, 28);
            });
        case DialImage::DualKnobFace:
            return RoundArt(size, scale, [](QPainter& p, QPointF c, double r) {
                // The RF ring around the AF knob: the needles run at radius 22 and 28.
                KnurledKnob(p, c, r - 0.5, 27, 40);
                KnurledKnob(p, c, 21, 15, 26);
            });
        case DialImage::Count:
            break;
    }
    return {};
}

QImage DrawPanelArt(bool lampsLit, double scale) {
    QImage panel = Blank(kPanelWidth, kPanelHeight, kChassisBottom, scale);
    QPainter p(&panel);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient chassis(0, 0, 0, kPanelHeight);
    chassis.setColorAt(0, kChassisTop);
    chassis.setColorAt(0.08, QColor(46, 48, 52));
    chassis.setColorAt(1, kChassisBottom);
    p.fillRect(QRect(0, 0, kPanelWidth, kPanelHeight), chassis);
    p.setPen(QPen(QColor(90, 93, 98), 1));
    p.drawLine(QPointF(4, 1.5), QPointF(kPanelWidth - 5, 1.5));
    p.setPen(QPen(QColor(10, 10, 11), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(1, 1, kPanelWidth - 2, kPanelHeight - 2), 8, 8);

    // Brand and model on the top strip.
    FitText(p, QRectF(18, 4, 120, 16), QStringLiteral("KESTREL"), QColor(232, 234, 238), 15,
            Qt::AlignLeft | Qt::AlignVCenter);
    PanelLabel(p, QRectF(765, 6, 220, 12), QStringLiteral("HF/50 MHz ALL MODE TRANSCEIVER"), 8,
               Qt::AlignRight | Qt::AlignVCenter);

    // The display window: a dark glass with a bezel.
    const QRectF window(180, 18, 576, 99);
    p.setPen(QPen(QColor(14, 15, 16), 3));
    p.setBrush(QColor(20, 22, 24));
    p.drawRoundedRect(window.adjusted(-4, -4, 4, 4), 6, 6);
    p.setPen(Qt::NoPen);
    p.setBrush(kLcdBack);
    p.drawRoundedRect(window, 3, 3);
    p.setRenderHint(QPainter::Antialiasing, false);
    // Hairlines split the display into meter, DSP, status and frequency fields.
    p.setPen(QPen(QColor(26, 34, 40), 1));
    p.drawLine(349, 22, 349, 112);
    p.drawLine(533, 22, 533, 112);
    p.drawLine(566, 38, 566, 112);
    // The IF passband the DSP rows are drawn over.
    p.setPen(QPen(QColor(30, 52, 64), 1));
    p.drawLine(422, 110, 422, 75);
    p.drawLine(528, 110, 528, 75);
    p.setRenderHint(QPainter::Antialiasing);
    FitText(p, QRectF(380, 100, 40, 8), QStringLiteral("IF DSP"), kLcdDim, 7);
    FitText(p, QRectF(742, 100, 14, 8), QStringLiteral("kHz"), kLcdDim, 6);

    // Engraved fields around the key groups.
    Engraved(p, QRectF(10, 30, 160, 84));
    Engraved(p, QRectF(10, 124, 270, 46));
    Engraved(p, QRectF(10, 186, 137, 126));
    Engraved(p, QRectF(296, 124, 118, 86));
    Engraved(p, QRectF(738, 140, 112, 62));
    Engraved(p, QRectF(760, 20, 232, 98));
    Engraved(p, QRectF(860, 140, 148, 53));

    // Names painted on the panel: keys too small for their own name, knobs and dials.
    LabelAbove(p, SkinGroup::KeyAnt, QStringLiteral("ANT 1-2"));
    PanelLabel(p, QRectF(24, 101, 50, 9), QStringLiteral("POWER"), 7);
    PanelLabel(p, QRectF(150, 238, 65, 9), QStringLiteral("MIC GAIN"), 7);
    PanelLabel(p, QRectF(224, 238, 65, 9), QStringLiteral("SPEED"), 7);
    PanelLabel(p, QRectF(150, 307, 65, 9), QStringLiteral("MONI"), 7);
    PanelLabel(p, QRectF(224, 307, 65, 9), QStringLiteral("SQL"), 7);
    PanelLabel(p, QRectF(745, 204, 48, 8), QStringLiteral("AF GAIN"), 6.5);
    PanelLabel(p, QRectF(795, 204, 48, 8), QStringLiteral("RF GAIN"), 6.5);
    PanelLabel(p, QRectF(760, 303, 67, 9), QStringLiteral("AF \u2022 RF"), 7);
    PanelLabel(p, QRectF(316, 302, 77, 9), QStringLiteral("SELECT"), 7);
    PanelLabel(p, QRectF(884, 306, 101, 9), QStringLiteral("CLAR / VFO-B"), 7);
    PanelLabel(p, QRectF(303, 127, 103, 9), QStringLiteral("DSP"), 7);
    PanelLabel(p, QRectF(490, 121, 170, 9), QStringLiteral("VFO-A"), 7.5);
    PanelLabel(p, QRectF(903, 179, 62, 9), QStringLiteral("VFO-B"), 7.5);
    PanelLabel(p, QRectF(12, 174, 130, 9), QStringLiteral("CONNECT"), 6.5,
               Qt::AlignLeft | Qt::AlignVCenter);
    PanelLabel(p, QRectF(18, 240, 121, 9), QStringLiteral("FUNCTION"), 6.5);

    DrawElementDefaults(p, scale);
    DrawDialAt(p, DialImage::MainFace, 487, 131, scale);
    DrawDialAt(p, DialImage::MainDimple, 553, 161, scale);
    DrawDialAt(p, DialImage::Dial2Face, 884, 203, scale);
    DrawDialAt(p, DialImage::Dial3Face, 321, 232, scale);
    for (int k = 0; k < static_cast<int>(Knob::Count); ++k) {
        const KnobLayout& knob = KnobPlace(static_cast<Knob>(k));
        DrawDialAt(p, knob.faceSize == 47 ? DialImage::KnobFace : DialImage::DualKnobFace,
                   knob.faceLeft, knob.faceTop, scale);
    }

    // The lamp strips that show which knob the wheel turns.
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int lamp = 0; lamp < kKeyLampCount; ++lamp) {
        const SkinRect r = KeyLampRect(lamp);
        const QRect strip(r.left, r.top, r.width, r.height);
        p.fillRect(strip, QColor(10, 10, 11));
        if (lampsLit) {
            QLinearGradient glow(strip.topLeft(), strip.bottomLeft());
            glow.setColorAt(0, QColor(255, 214, 140));
            glow.setColorAt(0.5, QColor(255, 150, 40));
            glow.setColorAt(1, QColor(200, 90, 20));
            p.fillRect(strip.adjusted(1, 1, -1, -1), glow);
        } else {
            p.fillRect(strip.adjusted(1, 1, -1, -1), QColor(60, 34, 18));
        }
    }
    return panel;
}

QImage DrawSplashArt() {
    constexpr int kWidth = 1611;
    constexpr int kHeight = 589;
    QImage splash(kWidth, kHeight, QImage::Format_RGB32);
    QPainter p(&splash);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    QLinearGradient sky(0, 0, 0, kHeight);
    sky.setColorAt(0, QColor(16, 24, 36));
    sky.setColorAt(1, QColor(4, 6, 10));
    p.fillRect(splash.rect(), sky);
    const QRectF panelArea(kWidth / 2.0 - 640, 150, 1280, 400);
    p.drawImage(panelArea, DrawPanelArt(false));
    FitText(p, QRectF(0, 30, kWidth, 70), QStringLiteral("KESTREL"), QColor(240, 242, 246), 64);
    FitText(p, QRectF(0, 100, kWidth, 32), QStringLiteral("Remote Control Panel"),
            QColor(255, 178, 52), 26);
    return splash;
}

void DrawAppIcon(QPainter& p, double size) {
    // Laid out on a 256-unit square: the panel's chassis, its display window with three lit
    // digits, and the main tuning dial with its finger dimple.
    p.save();
    p.scale(size / 256.0, size / 256.0);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient chassis(0, 8, 0, 248);
    chassis.setColorAt(0, kChassisTop);
    chassis.setColorAt(1, kChassisBottom);
    p.setPen(QPen(kEngrave, 6));
    p.setBrush(chassis);
    p.drawRoundedRect(QRectF(11, 11, 234, 234), 40, 40);
    p.setPen(QPen(QColor(14, 15, 16), 6));
    p.setBrush(kLcdBack);
    p.drawRoundedRect(QRectF(32, 34, 192, 80), 10, 10);
    constexpr std::array<int, 3> kDigits{1, 4, 2};
    for (int i = 0; i < static_cast<int>(kDigits.size()); ++i) {
        SevenSegment(p, QRectF(52 + 56.0 * i, 48, 40, 52), kSegmentsOfDigit[kDigits[i]], kDigitLit,
                     kLcdGhost);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(kDigitLit);
    p.drawEllipse(QPointF(152, 98), 4.5, 4.5);
    const QPointF centre(128, 178);
    KnurledKnob(p, centre, 58, 40, 36, false);
    QRadialGradient hollow(centre + QPointF(26, -12), 18);
    hollow.setColorAt(0, QColor(200, 202, 206));
    hollow.setColorAt(1, QColor(70, 72, 76));
    p.setPen(QPen(QColor(52, 53, 56), 2));
    p.setBrush(hollow);
    p.drawEllipse(centre + QPointF(18, -18), 11, 11);
    p.restore();
}

QImage DrawAppIconImage(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    DrawAppIcon(p, size);
    return image;
}

}  // namespace kestrel
