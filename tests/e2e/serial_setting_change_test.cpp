// Changing the port and the speed at run time, as COM Select and Baud rate do: the new port is
// probed (here a pseudo-terminal behind "CommoFiles/COM2"), the transceiver is taken off the link
// on a timer, the setting is stored and saved and the port closed.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "engine_api/radio_engine.h"
#include "platform/com_links.h"
#include "platform/paths.h"
#include "platform/pty_pair.h"
#include "platform/termios_device.h"
#include "serial/serial_port.h"
#include "station_fixture.h"

namespace kestrel {
namespace {

class SerialSettingChange : public Station {
  protected:
    void SetUp() override {
        Station::SetUp();
        pty = PtyPair::Create();
        ASSERT_NE(pty, nullptr);
        ASSERT_TRUE(pty->LinkAs(ComLinkPath(2)));
        // COM2 is the pseudo-terminal; everything else is the cable to the simulated radio.
        TheSerialPort().SetDeviceFactory(
            [open = pair->Factory(MemorySerialPair::Side::A)](const std::string& path) {
                return path == ComLinkPath(2) ? TermiosDevice::Open(path) : open(path);
            });
    }
    std::string SavedSettings() const {
        std::ifstream file(CommoFilePath("CommSetting.csv"));
        return {std::istreambuf_iterator<char>(file), {}};
    }
    // Runs until the change reports its outcome.
    std::optional<RadioEngine::SettingChange> RunChange(
        const std::function<bool(RadioEngine::SettingDone)>& start, int64_t maxMs = 5000) {
        std::optional<RadioEngine::SettingChange> outcome;
        EXPECT_TRUE(start([&](RadioEngine::SettingChange o) { outcome = o; }));
        rt.RunUntil([&] { return outcome.has_value(); }, maxMs);
        return outcome;
    }

    std::unique_ptr<PtyPair> pty;
};

// A port that cannot be opened changes nothing; a usable one is probed, then the radio leaves the
// link and the port closes.
TEST_F(SerialSettingChange, UnusablePortChangesNothingAndAUsableOneIsSwitchedTo) {
    ASSERT_TRUE(ConnectAndReadAll());
    ASSERT_TRUE(LinkComPort(3, CommoFolderPath() + "/no-such-device"));
    int64_t t0 = Now();
    auto outcome =
        RunChange([](auto done) { return RadioEngine::ChangePort(3, false, std::move(done)); });
    ASSERT_EQ(outcome, RadioEngine::SettingChange::ProbeFailed);
    EXPECT_EQ(std::tuple(TheSerialPort().IsOpen(), RadioEngine::PortNumber(), GetField(Field::AI)),
              std::tuple(true, 1, 1));
    EXPECT_EQ(std::ranges::count(TextsOf(commands.Since(t0)), "AI0;"), 0);

    t0 = Now();
    outcome =
        RunChange([](auto done) { return RadioEngine::ChangePort(2, false, std::move(done)); });
    ASSERT_EQ(outcome, RadioEngine::SettingChange::Switched);
    EXPECT_GT(std::ranges::count(TextsOf(commands.Since(t0)), "AI0;"), 0);
    EXPECT_EQ(std::tuple(TheSerialPort().IsOpen(), RadioEngine::PortNumber(), GetField(Field::AI)),
              std::tuple(false, 2, 0));
    EXPECT_EQ(SavedSettings(), "2,4800,0\n");
}

TEST_F(SerialSettingChange, RadioThatKeepsReportingTimesOutAndThePortClosesAnyway) {
    ASSERT_TRUE(ConnectAndReadAll());
    // Someone at the radio keeps switching automatic information back on.
    const TimerId operatorAtRadio = rt.StartTimer(50, [this] { radio->Apply("AI1;"); });
    const int64_t t0 = Now();
    const auto outcome =
        RunChange([](auto done) { return RadioEngine::ChangePort(2, false, std::move(done)); });
    rt.CancelTimer(operatorAtRadio);
    ASSERT_EQ(outcome, RadioEngine::SettingChange::AutoInfoStayedOn);
    EXPECT_GE(Now() - t0, 2900);
    EXPECT_FALSE(TheSerialPort().IsOpen());
    EXPECT_EQ(SavedSettings(), "2,4800,0\n");
}

TEST_F(SerialSettingChange, SameSettingIsSavedAgainAndANewSpeedOffLineClosesAtOnce) {
    std::filesystem::remove(CommoFilePath("CommSetting.csv"));
    auto outcome =
        RunChange([](auto done) { return RadioEngine::ChangePort(1, false, std::move(done)); });
    EXPECT_EQ(outcome, RadioEngine::SettingChange::Saved);
    EXPECT_TRUE(TheSerialPort().IsOpen());
    EXPECT_EQ(SavedSettings(), "1,4800,0\n");

    const int64_t t0 = Now();
    outcome =
        RunChange([](auto done) { return RadioEngine::ChangeBaudRate(9600, std::move(done)); });
    EXPECT_EQ(outcome, RadioEngine::SettingChange::Switched);
    EXPECT_EQ(Now(), t0) << "automatic information was off: no wait";
    EXPECT_FALSE(TheSerialPort().IsOpen());
    EXPECT_EQ(SavedSettings(), "1,9600,0\n");
    EXPECT_FALSE(RadioEngine::ChangeBaudRate(1200, {}));
    EXPECT_FALSE(RadioEngine::ChangePort(21, false, {}));
}

}  // namespace
}  // namespace kestrel
