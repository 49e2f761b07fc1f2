#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QRect>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

#include "app/main_panel_dlg.h"
#include "app/panel_controller_client.h"
#include "app/panel_painter.h"
#include "painter_test_support.h"
#include "platform/main_window.h"
#include "platform/real_runtime.h"
#include "platform/startup_box.h"
#include "protocol/control_mirror.h"
#include "protocol/radio_state.h"
#include "skin/skin_layout.h"

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
    // Stores field values, then posts the notification that follows them.
    void Notify(uint32_t message, const std::vector<std::pair<Field, int32_t>>& values) {
        SetFields(values);
        Notify(message);
    }

    // Gives the window a panel controller whose requests are recorded in `posted`.
    void UsePanelController() {
        auto client = std::make_unique<PanelControllerClient>(window.get(), *window);
        client->Controller().SetRequestSink([this](int number, int vfoB, int32_t value) {
            posted.push_back({number, vfoB, value});
            return true;
        });
        window->SetPanelClient(std::move(client));
        posted.clear();
    }

    const QImage& Picture() const { return window->Painter().Picture(); }

    // Reports whether the picture shows this element of the group at its rectangle.
    bool Shows(SkinGroup group, int element) const {
        return ShowsElement(window->Painter(), group, element);
    }
    // Reports whether the picture shows this element and none of the other looks drawn at the
    // same place.
    bool ShowsOnly(SkinGroup group, int element) const {
        const SkinRect r = ElementRect(group, element);
        const QImage& image = window->Painter().Skin().Element(group, element);
        for (int other = 0; other < ElementCount(group); ++other) {
            const SkinRect o = ElementRect(group, other);
            if (other != element && o.left == r.left && o.top == r.top &&
                window->Painter().Skin().Element(group, other) != image && Shows(group, other)) {
                return false;
            }
        }
        return Shows(group, element);
    }
    // Reports whether the main frequency display reads `hz`.
    bool ShowsFrequency(int32_t hz, int digitCursor = 0) const {
        return PictureShowsFrequency(Picture(), hz, digitCursor);
    }
    // Reports whether the offset display reads `hz`.
    bool ShowsOffset(double hz) const {
        ReferencePainter().DrawOffset(hz);
        const QRect area = GroupsArea({SkinGroup::OffsetDigits, SkinGroup::OffsetPoint,
                                       SkinGroup::OffsetPlus, SkinGroup::OffsetMinus});
        return Picture().copy(area) == ReferencePainter().Picture().copy(area);
    }

    std::unique_ptr<CMainPanelDlg> window;
    std::vector<int> boxes;
    std::vector<Posted> posted;

  private:
    RealRuntime runtime_;
};

}  // namespace kestrel::testing
