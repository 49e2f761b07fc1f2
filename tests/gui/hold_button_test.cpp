#include "options/hold_button.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "option_test_support.h"

namespace kestrel::testing {
namespace {

// A window with a hold button (code 7) and a plain button beside it; the button's reports are
// recorded as "P7" and "R7".
struct HoldWindow {
    HoldWindow() : window(std::make_unique<QDialog>()) {
        button = new HoldButton(QStringLiteral("CW"), 7, window.get());
        other = new QPushButton(QStringLiteral("other"), window.get());
        auto* layout = new QHBoxLayout(window.get());
        layout->addWidget(button);
        layout->addWidget(other);
        QObject::connect(button, &HoldButton::HoldPressed,
                         [this](int code) { reports.push_back("P" + std::to_string(code)); });
        QObject::connect(button, &HoldButton::HoldReleased,
                         [this](int code) { reports.push_back("R" + std::to_string(code)); });
        ShowActive(window.get());
    }

    std::unique_ptr<QDialog> window;
    HoldButton* button;
    QPushButton* other;
    std::vector<std::string> reports;
};

using Reports = std::vector<std::string>;

// However a hold by the mouse ends, the button reports exactly one release. A plain button-up is
// the rotator keys' test; hiding is the equalizer window's.
TEST(HoldButton, ReportsOneReleaseHoweverAHoldByTheMouseEnds) {
    const std::pair<const char*, std::function<void(HoldWindow&)>> ends[] = {
        {"button up after dragging away",
         [](HoldWindow& w) {
             const QPoint away(0, 200);
             MouseAt(w.button, QEvent::MouseMove, QPointF(w.button->rect().center() + away),
                     Qt::NoButton, Qt::LeftButton);
             ASSERT_TRUE(w.button->IsHeld()) << "the hold lasts while the pointer is away";
             LeftButton(w.button, false, away);
         }},
        {"focus moves away", [](HoldWindow& w) { w.other->setFocus(); }},
        {"disabled", [](HoldWindow& w) { w.button->setEnabled(false); }},
        {"escape", [](HoldWindow& w) { KeyTo(w.button, true, Qt::Key_Escape); }},
        {"modal box",
         [](HoldWindow& w) {
             auto* box = new QDialog(w.window.get());
             box->setModal(true);
             box->show();
             QCoreApplication::processEvents();
         }},
    };
    for (const auto& [name, end] : ends) {
        SCOPED_TRACE(name);
        HoldWindow w;
        LeftButton(w.button, true);
        ASSERT_TRUE(w.button->IsHeld());
        end(w);
        EXPECT_EQ(w.reports, (Reports{"P7", "R7"}));
        EXPECT_FALSE(w.button->IsHeld());
        LeftButton(w.button, false);
        EXPECT_EQ(w.reports.size(), 2u) << "a late button-up reports nothing more";
    }
}

TEST(HoldButton, KeyboardAutoRepeatNeitherPressesNorReleasesAgain) {
    HoldWindow w;
    w.button->setFocus();
    KeyTo(w.button, true, Qt::Key_Space, {}, QStringLiteral(" "));
    for (int i = 0; i < 3; ++i) {
        KeyTo(w.button, false, Qt::Key_Space, {}, QStringLiteral(" "), true);
        KeyTo(w.button, true, Qt::Key_Space, {}, QStringLiteral(" "), true);
    }
    EXPECT_EQ(w.reports, (Reports{"P7"}));
    KeyTo(w.button, false, Qt::Key_Space, {}, QStringLiteral(" "));
    KeyTo(w.button, true, Qt::Key_Return);
    KeyTo(w.button, true, Qt::Key_Return, {}, {}, true);
    EXPECT_EQ(w.reports, (Reports{"P7", "R7", "P7", "R7"}));
}

}  // namespace
}  // namespace kestrel::testing
