#include "skin/skin_artwork.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <fstream>

#include "app/panel_painter.h"
#include "app/panel_skin.h"
#include "app_window_fixture.h"

namespace kestrel {
namespace {

// The reference painter's built-in skin, drawn once for the whole suite (drawing takes a while).
const CPanelSkin& BuiltIn() {
    return testing::ReferencePainter().Skin();
}

// Every element has its group's size, is mostly opaque and differs from every other state of
// its position (NB and TUNER show one "on" picture for their values 1 and 2).
TEST(SkinArtwork, EveryElementHasItsSizeAndEveryStateOfAPositionLooksDifferent) {
    for (int g = 0; g < kSkinGroupCount; ++g) {
        const auto group = static_cast<SkinGroup>(g);
        const SkinGroupLayout& row = GroupLayout(group);
        for (int e = 0; e < ElementCount(group); ++e) {
            const QImage& image = BuiltIn().Element(group, e);
            ASSERT_EQ(image.size(), QSize(row.width, row.height)) << row.name << " " << e;
            int opaque = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    opaque += qAlpha(image.pixel(x, y)) == 255 ? 1 : 0;
                }
            }
            EXPECT_GT(opaque, image.width() * image.height() / 2) << row.name << " " << e;
            const SkinRect r = ElementRect(group, e);
            for (int other = e + 1; other < ElementCount(group); ++other) {
                const SkinRect o = ElementRect(group, other);
                const bool sameOnLook =
                    (group == SkinGroup::LegendNb || group == SkinGroup::LegendTuner) && e == 1 &&
                    other == 2;
                if (o.left == r.left && o.top == r.top && !sameOnLook &&
                    group != SkinGroup::FreqPoints) {
                    EXPECT_NE(image, BuiltIn().Element(group, other)) << row.name << " " << e;
                }
            }
        }
    }
    EXPECT_NE(BuiltIn().Element(SkinGroup::FreqPoints, 0),
              BuiltIn().Element(SkinGroup::FreqPoints, 2));
}

TEST(SkinArtwork, PanelHasNoHolesAndTheLitOneDiffersOnlyInsideTheKeyLampStrips) {
    const QImage& dark = BuiltIn().Picture(PanelPicture::LampsDark);
    const QImage& lit = BuiltIn().Picture(PanelPicture::LampsLit);
    ASSERT_EQ(dark.size(), QSize(kPanelWidth, kPanelHeight));
    ASSERT_EQ(lit.size(), QSize(kPanelWidth, kPanelHeight));
    std::vector<int> changedInStrip(kKeyLampCount, 0);
    for (int y = 0; y < kPanelHeight; ++y) {
        for (int x = 0; x < kPanelWidth; ++x) {
            ASSERT_EQ(qAlpha(dark.pixel(x, y)), 255) << x << "," << y;
            if (dark.pixel(x, y) == lit.pixel(x, y)) {
                continue;
            }
            int strip = -1;
            for (int i = 0; i < kKeyLampCount; ++i) {
                const SkinRect r = KeyLampRect(i);
                if (QRect(r.left, r.top, r.width, r.height).contains(x, y)) {
                    strip = i;
                }
            }
            ASSERT_GE(strip, 0) << "lit panel differs outside the lamps at " << x << "," << y;
            ++changedInStrip[strip];
        }
    }
    for (int i = 0; i < kKeyLampCount; ++i) {
        EXPECT_GT(changedInStrip[i], 0) << i;
    }
}

TEST(SkinArtwork, DialPicturesAreRoundWithTransparentCorners) {
    for (int d = 0; d < static_cast<int>(DialImage::Count); ++d) {
        const QImage& dial = BuiltIn().Dial(static_cast<DialImage>(d));
        const int size = DialImageSize(static_cast<DialImage>(d));
        ASSERT_EQ(dial.size(), QSize(size, size)) << d;
        EXPECT_EQ(qAlpha(dial.pixel(0, 0)), 0) << d;
        EXPECT_EQ(qAlpha(dial.pixel(size - 1, size - 1)), 0) << d;
        EXPECT_EQ(qAlpha(dial.pixel(size / 2, size / 2)), 255) << d;
    }
}

class SkinFolderLoad : public ::testing::Test {
  protected:
    void Save(const QString& name, const QImage& image) {
        ASSERT_TRUE(image.save(QDir(dir_.path()).filePath(name)));
    }
    static QImage Filled(int width, int height, QColor colour) {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(colour);
        return image;
    }
    QTemporaryDir dir_;
};

// Images of the right size replace the built-in ones (pure green stays see-through); a wrong
// size or an unreadable file falls back to the built-in drawing, as does everything not given.
TEST_F(SkinFolderLoad, ImagesInTheFolderReplaceTheBuiltInOnesAndBadOnesAreSkipped) {
    QImage red = Filled(28, 11, QColor(255, 0, 0));
    QPainter(&red).fillRect(0, 0, 14, 11, QColor(0, 255, 0));  // the left half see-through
    Save("lamp_tx_1.png", red);
    Save("main_digits_30.png", Filled(21, 29, QColor(1, 2, 3)));
    Save("1174.png", Filled(20, 20, QColor(9, 9, 9)));
    Save("917.png", Filled(kPanelWidth, kPanelHeight, QColor(20, 40, 60)));
    Save("lamp_rx_clar_1.png", Filled(13, 7, Qt::red));
    std::ofstream(QDir(dir_.path()).filePath("lamp_busy_1.png").toStdString()) << "not a picture";
    CPanelSkin skin;
    EXPECT_EQ(skin.Load(dir_.path()), 4);
    EXPECT_EQ(skin.Element(SkinGroup::LampTx, 1).pixel(20, 5), qRgb(255, 0, 0));
    EXPECT_EQ(qAlpha(skin.Element(SkinGroup::LampTx, 1).pixel(3, 5)), 0);
    EXPECT_EQ(skin.Element(SkinGroup::MainDigits, 30).pixel(10, 10), qRgb(1, 2, 3));
    EXPECT_EQ(skin.Dial(DialImage::Dot).pixel(0, 0), qRgb(9, 9, 9));
    for (const auto& [group, element] : {std::pair{SkinGroup::LampTx, 0},
                                         {SkinGroup::MainDigits, 29},
                                         {SkinGroup::LampRxClar, 1},
                                         {SkinGroup::LampBusy, 1}}) {
        EXPECT_EQ(skin.Element(group, element), BuiltIn().Element(group, element))
            << GroupLayout(group).name;
    }
    PanelPainter painter;
    painter.LoadSkin(dir_.path());
    EXPECT_EQ(painter.Picture().pixel(1000, 300), qRgb(20, 40, 60)) << "917 is the background";
}

TEST_F(SkinFolderLoad, SavedSkinReadsBackAndAMissingFolderLoadsTheBuiltInOne) {
    CPanelSkin missing;
    EXPECT_EQ(missing.Load(dir_.path() + "/missing"), 0);
    EXPECT_EQ(missing.Picture(PanelPicture::LampsDark), BuiltIn().Picture(PanelPicture::LampsDark));
    const int files = BuiltIn().Save(dir_.path());
    int elements = 0;
    for (int g = 0; g < kSkinGroupCount; ++g) {
        elements += ElementCount(static_cast<SkinGroup>(g));
    }
    EXPECT_EQ(files, elements + 3 + static_cast<int>(DialImage::Count));
    CPanelSkin skin;
    EXPECT_EQ(skin.Load(dir_.path()), files);
    EXPECT_EQ(skin.Element(SkinGroup::KeyMenu, 1), BuiltIn().Element(SkinGroup::KeyMenu, 1));
    EXPECT_EQ(skin.Dial(DialImage::MainFace), BuiltIn().Dial(DialImage::MainFace));
}

}  // namespace
}  // namespace kestrel
