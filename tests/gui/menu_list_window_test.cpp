#include "menu_list_window/menu_list_window.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <fstream>

#include "menu_list_test_support.h"
#include "menu_list_window/bits_dialog.h"
#include "menu_list_window/choice_dialog.h"
#include "menulist/menu_values.h"
#include "panel/child_window_table.h"
#include "panel_test_fixture.h"

namespace kestrel::testing {
namespace {

constexpr QPoint kMenuKey{470, 295};  // key 51
constexpr int kRowOfItem90 = 89;

class MenuListTest : public PanelFixture {
  protected:
    void SetUp() override {
        PanelFixture::SetUp();
        LoadMenuCatalogue();
    }

    MenuListWindow* Window() {
        for (const ChildWindowRow& row : ChildWindowTable()) {
            if (auto* w = qobject_cast<MenuListWindow*>(controller().Window(row))) {
                return w;
            }
        }
        return nullptr;
    }
    // Opens the window with the panel's MENU key.
    MenuListWindow* Open() {
        Click(kMenuKey.x(), kMenuKey.y());
        return Window();
    }
    QString Row(int row) { return Window()->List()->item(row)->text(); }
    void Key(int key) { KeyTo(Window()->List(), true, key); }
};

TEST_F(MenuListTest, OpensWithEveryRowAndLeftAndRightStepTheBitSetRowFromItsLastChoice) {
    MenuListWindow* list = Open();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->List()->count(), 118);
    EXPECT_EQ(list->List()->currentRow(), 0);
    EXPECT_TRUE(Row(0).startsWith("001  FAST DELAY"));
    EXPECT_TRUE(Row(kRowOfItem90).endsWith(" GEN ON"));
    Window()->List()->setCurrentRow(kRowOfItem90);
    // The row opens on GEN; Left steps back one choice (to 50), as the arrow keys always do.
    const std::pair<int, const char*> steps[] = {{Qt::Key_Left, " 50 ON"},
                                                 {Qt::Key_Right, " GEN ON"},
                                                 {Qt::Key_Right, " 1.8 ON"},
                                                 {Qt::Key_Left, " GEN ON"}};
    for (const auto& [key, text] : steps) {
        Key(key);
        EXPECT_TRUE(Row(kRowOfItem90).endsWith(text)) << Row(kRowOfItem90).toStdString();
        EXPECT_EQ(Window()->List()->currentRow(), kRowOfItem90);
    }
    Window()->List()->setCurrentRow(3);
    const QString before = Row(3);
    Key(Qt::Key_Left);
    Key(Qt::Key_Down);
    EXPECT_EQ(Row(3), before);
    ClickButton(Window(), "cancel");
    EXPECT_FALSE(controller().WindowOpen(kMsgMenuListClosed));
    Open();
    EXPECT_EQ(Window()->List()->currentRow(), 4) << "the selected row is kept across openings";
}

TEST_F(MenuListTest, ChoiceDialogOpensWithNothingChosenAndTheRadiosEntryInRed) {
    Open();
    bool checked = false;
    WhenModal([&](QWidget* w) {
        auto* dialog = qobject_cast<ChoiceDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        EXPECT_NE(dialog->findChild<QLabel*>()->text().indexOf("001  FAST DELAY  (msec)"), -1);
        ChoiceCombo* combo = dialog->Combo();
        EXPECT_EQ(combo->currentIndex(), -1);
        combo->showPopup();
        QAbstractItemView* view = combo->view();
        const QImage image = view->viewport()->grab().toImage();
        // The entry of 300 (the radio's value) has red ink, its neighbour none.
        auto redIn = [&](int row) {
            const QRect r = view->visualRect(view->model()->index(row, 0));
            for (int y = r.top(); y <= r.bottom(); ++y) {
                for (int x = r.left(); x <= r.right(); ++x) {
                    const QColor c =
                        image.pixelColor(x * image.width() / view->viewport()->width(),
                                         y * image.height() / view->viewport()->height());
                    if (c.red() > 150 && c.green() < 80 && c.blue() < 80) {
                        return true;
                    }
                }
            }
            return false;
        };
        view->scrollTo(view->model()->index(14, 0));
        EXPECT_EQ(combo->itemText(14), "300");
        EXPECT_TRUE(redIn(14));
        EXPECT_FALSE(redIn(15));
        combo->hidePopup();
        ClickButton(dialog, "OK");  // OK with nothing chosen
        checked = true;
    });
    Key(Qt::Key_Return);
    EXPECT_TRUE(checked);
    EXPECT_EQ(Window()->Items()[0].edited, 0);
    EXPECT_TRUE(Row(0).endsWith(" 300msec"));
}

// Sending what changed is the station test's; here a double click on an entry acts as OK.
TEST_F(MenuListTest, ADoubleClickOnAnEntryActsAsOk) {
    Open();
    WhenModal([](QWidget* w) { ClickEntry(qobject_cast<ChoiceDialog*>(w), "320", true); });
    ClickAt(Window()->List()->viewport(),
            Window()->List()->visualItemRect(Window()->List()->item(0)).center(), true);
    EXPECT_TRUE(Row(0).endsWith(" 320msec"));
    EXPECT_EQ(Window()->Items()[0].edited, 1);
    EXPECT_EQ(Window()->List()->currentRow(), 0);
}

TEST_F(MenuListTest, BitsDialogHasTwelveBoxesAndKeepsBitsWithoutABox) {
    MenuItem item90;
    GetMenuItem(90, &item90);
    item90.value = 0x1FFF;  // the radio also reports bit 0x1, which has no box
    PutMenuItem(90, &item90);
    Open();
    Window()->List()->setCurrentRow(kRowOfItem90);
    WhenModal([](QWidget* w) {
        auto* dialog = qobject_cast<BitsDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->findChild<QLabel*>()->text(), "090  MY BAND");
        for (int i = 0; i < kMenuBitBoxes; ++i) {
            EXPECT_TRUE(dialog->Box(i)->isVisible());
            EXPECT_TRUE(dialog->Box(i)->isChecked());
        }
        ClickOn(dialog->Box(11));
        ClickButton(dialog, "OK");
    });
    Key(Qt::Key_Return);
    EXPECT_TRUE(Row(kRowOfItem90).endsWith(" GEN OFF"));
    EXPECT_EQ(Window()->Items()[89].editedValue, 0x1FFF & ~0x2);
}

TEST_F(MenuListTest, ARangeThatCannotBeListedSaysSo) {
    MenuItem item;
    GetMenuItem(1, &item);
    item.step = 0;
    PutMenuItem(1, &item);
    Open();
    EXPECT_TRUE(Row(0).endsWith(" 300msec"));
    QString note;
    WhenModal([&](QWidget* w) {
        auto* dialog = qobject_cast<ChoiceDialog*>(w);
        EXPECT_FALSE(dialog->Combo()->isEnabled());
        EXPECT_EQ(dialog->Combo()->count(), 0);
        for (QLabel* label : dialog->findChildren<QLabel*>()) {
            note += label->text();
        }
        ClickButton(dialog, "OK");
    });
    Key(Qt::Key_Return);
    EXPECT_NE(note.indexOf("The setting range is unavailable."), -1);
    EXPECT_EQ(Window()->Items()[0].edited, 0);
}

TEST_F(MenuListTest, FunctionKeysGoToTheShortcutKeysFirst) {
    WorkingFolder folder;
    std::ofstream(folder.path + "/CommoFiles/TRNKSDEF.txt") << "FA00007000000;\n";  // F2's line
    std::vector<std::string> sent;
    client->Shortcuts().SetCommandSink([&](std::string_view c) { sent.emplace_back(c); });
    Open();
    Key(Qt::Key_F2);
    Key(Qt::Key_Down);
    EXPECT_EQ(sent.size(), 1u);
    EXPECT_EQ(Window()->List()->currentRow(), 1) << "other keys still move the list";
}

}  // namespace
}  // namespace kestrel::testing
