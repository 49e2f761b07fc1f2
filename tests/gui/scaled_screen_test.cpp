#include <QCoreApplication>
#include <QWheelEvent>
#include <QWidget>
#include <cmath>
#include <vector>

#include "app_window_fixture.h"
#include "engine/request_table.h"

namespace kestrel::testing {
namespace {

// The panel on a screen with a device pixel ratio: drawn at the device's resolution, while mouse
// input stays in panel pixels. ctest runs these tests once more with every screen at ratio 2
// (QT_SCALE_FACTOR=2).
using ScaledScreen = MainWindowTest;

TEST_F(ScaledScreen, PanelIsDrawnAtTheScreensRatioAndClicksHitTheKeysUnderThem) {
    QWidget* panel = window->PanelWidget();
    const double ratio = panel->devicePixelRatioF();
    if (const QByteArray factor = qgetenv("QT_SCALE_FACTOR"); !factor.isEmpty()) {
        ASSERT_EQ(ratio, factor.toDouble()) << "every offscreen screen takes the scale factor";
    }
    UsePanelController();
    SetField(Field::FA, 14195000);
    // The fixture drew the skin at ratio 1: the first paint on the screen draws it anew.
    window->show();
    const QImage shown = panel->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage& picture = Picture();
    EXPECT_EQ(picture.devicePixelRatio(), ratio);
    EXPECT_EQ(picture.size(), QSize(std::lround(1024 * ratio), std::lround(320 * ratio)));
    EXPECT_TRUE(shown == picture) << "the window shows the picture pixel for pixel";
    if (ratio >= 2) {
        // Blown up from panel pixels, every 2 x 2 block of the digits would be one colour.
        const QRect digits = GroupsArea({SkinGroup::MainDigits, SkinGroup::LastDigit});
        const QRect area(digits.topLeft() * ratio, digits.size() * ratio);
        int mixed = 0;
        for (int y = area.top() & ~1; y + 1 <= area.bottom(); y += 2) {
            for (int x = area.left() & ~1; x + 1 <= area.right(); x += 2) {
                const QRgb c = picture.pixel(x, y);
                mixed += picture.pixel(x + 1, y) != c || picture.pixel(x, y + 1) != c ||
                         picture.pixel(x + 1, y + 1) != c;
            }
        }
        EXPECT_GT(mixed, 200) << "the digits' edges are drawn at the device's resolution";
    }

    ClickAt(panel, {700, 160});  // LOCK
    ClickAt(panel, {785, 33});   // band 1.8
    QWheelEvent wheel(QPointF(575, 219), panel->mapToGlobal(QPointF(575, 219)), QPoint(),
                      QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(panel, &wheel);  // the main dial, one step down
    EXPECT_EQ(posted, (std::vector<Posted>{{RequestNumberOfMessage(0x8523), 0, 0},
                                           {RequestNumberOfMessage(0x852B), 0, 0},
                                           {RequestNumberOfMessage(0x854F), 0, -1}}));
}

}  // namespace
}  // namespace kestrel::testing
