#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <QRect>
#include <memory>
#include <utility>
#include <vector>

#include "app/panel_painter.h"
#include "menulist/menu_item.h"
#include "panel_test_fixture.h"
#include "protocol/radio_state.h"

namespace kestrel::testing {

// Reports whether the picture shows `image` at (left, top): every opaque pixel of the image is
// the picture's (pure green is see-through and soft edges blend, so neither is compared).
inline bool ShowsImageAt(const QImage& picture, const QImage& image, int left, int top) {
    if (image.isNull()) {
        return false;
    }
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb source = image.pixel(x, y);
            if (qAlpha(source) != 255 || (source & 0xFFFFFF) == 0x00FF00) {
                continue;
            }
            if ((picture.pixel(left + x, top + y) & 0xFFFFFF) != (source & 0xFFFFFF)) {
                return false;
            }
        }
    }
    return true;
}

// Reports whether the picture shows one element of a group at the element's rectangle.
inline bool ShowsElement(const PanelPainter& painter, SkinGroup group, int element) {
    const SkinRect r = ElementRect(group, element);
    return ShowsImageAt(painter.Picture(), painter.Skin().Element(group, element), r.left, r.top);
}

// Returns the state (0 to states - 1) whose image the picture shows at a position of a group
// whose elements are position x states + state, or -1 when none matches.
inline int ShownState(const PanelPainter& painter, SkinGroup group, int position) {
    const int states = GroupLayout(group).states;
    for (int s = 0; s < states; ++s) {
        if (ShowsElement(painter, group, position * states + s)) {
            return s;
        }
    }
    return -1;
}

// Returns the states shown by every position of a group.
inline std::vector<int> ShownStates(const PanelPainter& painter, SkinGroup group, int first,
                                    int count) {
    std::vector<int> states;
    for (int p = first; p < first + count; ++p) {
        states.push_back(ShownState(painter, group, p));
    }
    return states;
}

// Returns the rectangle covering every pixel that differs between two pictures (empty if none).
inline QRect ChangedArea(const QImage& before, const QImage& after) {
    QRect area;
    for (int y = 0; y < before.height(); ++y) {
        for (int x = 0; x < before.width(); ++x) {
            if (before.pixel(x, y) != after.pixel(x, y)) {
                area = area.united(QRect(x, y, 1, 1));
            }
        }
    }
    return area;
}

// Puts a menu item of the given kind and value into the store as item `number`.
inline void PutMenuSetting(int32_t number, uint32_t kind, double value) {
    MenuItem item;
    item.number = static_cast<uint32_t>(number);
    item.kind = kind;
    item.value = value;
    PutMenuItem(number, &item);
}

// Stores field values in order, the way answers would (within the fields' limits).
inline void SetFields(const std::vector<std::pair<Field, int32_t>>& values) {
    for (const auto& [field, value] : values) {
        EXPECT_TRUE(StoreField(field, value)) << FieldName(field);
    }
}

// A loaded painter over a fresh store with the meters live (AI 1, PS 1), receiving, and a
// recording main window whose reading flag the painter consults.
class PainterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetRadioState();
        SetFields({{Field::AI, 1}, {Field::PS, 1}, {Field::TX, 0}});
        painter_ = std::make_unique<PanelPainter>();
        painter_->LoadSkin();
        SetMainWindow(&window_);
    }
    void TearDown() override {
        SetMainWindow(nullptr);
        painter_.reset();
        ResetRadioState();
    }
    PanelPainter& P() { return *painter_; }
    std::unique_ptr<PanelPainter> painter_;
    RecordingWindow window_;
};

}  // namespace kestrel::testing
