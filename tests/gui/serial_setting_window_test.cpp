// COM Select and Baud rate on screen, over the program's serial port with no link up: the lists,
// OK with nothing chosen, a speed stored and saved, and an adapter whose probe fails leaving
// every link as it was.
#include "options/serial_setting_window.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QPushButton>
#include <filesystem>
#include <fstream>

#include "panel_test_fixture.h"
#include "platform/paths.h"
#include "window/panel_messages.h"

namespace kestrel::testing {
namespace {

class SerialSettingWindows : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(folder.path + "/by-id");
        ResetRadioState();
    }
    // Presses OK and lets the engine's report come back.
    static void PressOk(SerialSettingWindow& dlg) {
        dlg.OkButton().click();
        for (int i = 0; i < 20 && dlg.Busy(); ++i) {
            QCoreApplication::processEvents();
        }
    }

    WorkingFolder folder;
    RecordingWindow window;
    std::vector<int> boxes;
};

TEST_F(SerialSettingWindows, BaudRateStoresAChosenSpeedAndNothingWithoutAChoice) {
    const int32_t before = RadioEngine::BaudRate();
    BaudRateWindow dlg(nullptr, window);
    dlg.SetBoxRunner([this](int id) { boxes.push_back(id); });
    dlg.Open();
    EXPECT_EQ(dlg.List().count(), 4);
    EXPECT_EQ(dlg.List().currentIndex(), -1) << "no entry chosen at first";
    PressOk(dlg);
    EXPECT_EQ(window.sent.back().id, kMsgBaudRateClosed);
    EXPECT_FALSE(std::filesystem::exists(folder.path + "/CommoFiles/CommSetting.csv"));

    dlg.Open();
    const int speed = before == 9600 ? 2 : 1;  // 19200 or 9600
    dlg.List().setCurrentIndex(speed);
    EXPECT_EQ(dlg.ChosenValue(), speed == 1 ? 9600 : 19200);
    window.sent.clear();
    PressOk(dlg);
    EXPECT_EQ(window.sent.back().id, kMsgBaudRateClosed);
    EXPECT_EQ(RadioEngine::BaudRate(), dlg.ChosenValue());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(SerialSettingWindows, ComSelectShowsWhereEachPortLeadsAndUndoesALinkThatFailsItsProbe) {
    std::ofstream(folder.path + "/not-a-tty").put('x');
    std::filesystem::create_symlink("../not-a-tty", folder.path + "/by-id/usb-Test_Adapter-if00");
    ASSERT_TRUE(LinkComPort(4, "/dev/serial/by-id/usb-Other-if00"));
    ComSelectWindow dlg(nullptr, window, folder.path + "/by-id");
    dlg.SetBoxRunner([this](int id) { boxes.push_back(id); });
    dlg.Open();
    ASSERT_EQ(dlg.List().count(), 20);
    EXPECT_EQ(dlg.List().itemText(2), " COM3  /dev/ttyS2");
    EXPECT_EQ(dlg.List().itemText(3), " COM4  /dev/serial/by-id/usb-Other-if00");
    ASSERT_EQ(dlg.Adapters().count(), 1);
    EXPECT_TRUE(dlg.Adapters().itemText(0).startsWith("usb-Test_Adapter-if00"));

    dlg.List().setCurrentIndex(3);
    dlg.Adapters().setCurrentIndex(0);
    PressOk(dlg);
    EXPECT_EQ(boxes, std::vector<int>{115});
    EXPECT_TRUE(window.sent.empty()) << "the window stays open";
    EXPECT_EQ(ComLinkTarget(4), "/dev/serial/by-id/usb-Other-if00");

    dlg.List().setCurrentIndex(5);  // COM6 had no link: none is left behind
    PressOk(dlg);
    EXPECT_EQ(ComLinkTarget(6), "");
    EXPECT_EQ(boxes, (std::vector<int>{115, 115}));
}

}  // namespace
}  // namespace kestrel::testing
