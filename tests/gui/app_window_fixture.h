#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QRect>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <vector>

#include "app/main_panel_dlg.h"
#include "app/panel_painter.h"
#include "app/skin_layout.h"
#include "platform/main_window.h"
#include "platform/real_runtime.h"
#include "platform/startup_box.h"
#include "protocol/control_mirror.h"
#include "protocol/radio_state.h"

namespace kestrel::testing {

// Returns the rectangle that holds every element of the groups.
inline QRect GroupsArea(std::initializer_list<SkinGroup> groups) {
    QRect area;
    for (const SkinGroup group : groups) {
        for (int element = 0; element < ElementCount(group); ++element) {
            const SkinRect r = ElementRect(group, element);
            area |= QRect(r.left, r.top, r.width, r.height);
        }
    }
    return area;
}

// Returns a painter with the built-in skin, loaded once (the skin takes a while to draw); the
// checks below redraw the whole area they compare.
inline PanelPainter& ReferencePainter() {
    static PanelPainter* const painter = [] {
        auto* p = new PanelPainter;
        p->LoadSkin();
        return p;
    }();
    return *painter;
}

// Reports whether the picture's main frequency display reads `hz`, compared with a painter that
// draws only that frequency.
inline bool PictureShowsFrequency(const QImage& picture, int32_t hz, int digitCursor = 0) {
    PanelPainter& reference = ReferencePainter();
    reference.DrawFrequency(hz, digitCursor);
    const QRect area =
        GroupsArea({SkinGroup::MainDigits, SkinGroup::LastDigit, SkinGroup::FreqPoints});
    return picture.copy(area) == reference.Picture().copy(area);
}

// Reports whether the picture's offset display reads `hz`.
inline bool PictureShowsOffset(const QImage& picture, double hz) {
    PanelPainter& reference = ReferencePainter();
    reference.DrawOffset(hz);
    const QRect area = GroupsArea({SkinGroup::OffsetDigits, SkinGroup::OffsetPoint,
                                   SkinGroup::OffsetPlus, SkinGroup::OffsetMinus});
    return picture.copy(area) == reference.Picture().copy(area);
}

// A fresh main window with the built-in skin, installed as the engine's main window, over a
// cleared radio state store. The engine's workers are not started.
class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetRuntime(&runtime_);
        ResetRadioState();
        InitControlMirror();
        StartupBoxShown.store(0);
        window = std::make_unique<CMainPanelDlg>();
        SetMainWindow(window.get());
        window->SetBoxRunner([this](int stringId) { boxes.push_back(stringId); });
        window->Painter().LoadSkin();
    }
    void TearDown() override {
        window.reset();
        SetMainWindow(nullptr);
        StartupBoxShown.store(0);
        ResetRadioState();
        InitControlMirror();
        SetRuntime(nullptr);
    }

    // Posts a notification as the analysis thread does and lets the window handle it.
    void Notify(uint32_t message) {
        ASSERT_TRUE(window->PostMessage(message, 0, 0));
        QCoreApplication::sendPostedEvents(window.get());
    }
    // Stores a field value the way an answer would (within the field's limits).
    static void Set(Field field, int32_t value) { ASSERT_TRUE(StoreField(field, value)); }

    const QImage& Picture() const { return window->Painter().Picture(); }

    // Reports whether the picture shows exactly this element of the group at its rectangle
    // (only its opaque pixels are compared: pure green is see-through and soft edges blend).
    bool Shows(SkinGroup group, int element) const {
        const QImage& image = window->Painter().Skin().Element(group, element);
        const SkinRect rect = ElementRect(group, element);
        if (image.isNull()) {
            return false;
        }
        for (int y = 0; y < rect.height; ++y) {
            for (int x = 0; x < rect.width; ++x) {
                const QRgb source =
                    image.pixel(x * image.width() / rect.width, y * image.height() / rect.height);
                if (qAlpha(source) != 255 || (source & 0xFFFFFF) == 0x00FF00) {
                    continue;
                }
                if ((Picture().pixel(rect.left + x, rect.top + y) & 0xFFFFFF) !=
                    (source & 0xFFFFFF)) {
                    return false;
                }
            }
        }
        return true;
    }
    // Returns which one of the candidate elements the picture shows, or nothing when it shows
    // none of them (or cannot tell them apart).
    std::optional<int> ShownOf(SkinGroup group, const std::vector<int>& candidates) const {
        std::optional<int> shown;
        for (const int element : candidates) {
            if (Shows(group, element)) {
                if (shown) {
                    return std::nullopt;
                }
                shown = element;
            }
        }
        return shown;
    }
    // Returns 1 when a two-image lamp shows its lit image, 0 when unlit, -1 when neither.
    int Lamp(SkinGroup group) const { return ShownOf(group, {0, 1}).value_or(-1); }
    // Returns the image (0 to 3) a four-image cap shows, -1 when none.
    int Cap(SkinGroup group) const { return ShownOf(group, {0, 1, 2, 3}).value_or(-1); }
    // Returns 1 when legend `position` of a column shows lit, 0 unlit, -1 neither.
    int Legend(SkinGroup group, int position) const {
        const int lit = ColumnElement(group, position, true);
        const int unlit = ColumnElement(group, position, false);
        const auto shown = ShownOf(group, {unlit, lit});
        return shown ? (*shown == lit ? 1 : 0) : -1;
    }
    // Reports whether the main frequency display reads `hz`.
    bool ShowsFrequency(int32_t hz, int digitCursor = 0) const {
        return PictureShowsFrequency(Picture(), hz, digitCursor);
    }
    // Reports whether the offset display reads `hz`.
    bool ShowsOffset(double hz) const { return PictureShowsOffset(Picture(), hz); }

    static QRect Area(std::initializer_list<SkinGroup> groups) { return GroupsArea(groups); }

    std::unique_ptr<CMainPanelDlg> window;
    std::vector<int> boxes;

  private:
    RealRuntime runtime_;
};

}  // namespace kestrel::testing
