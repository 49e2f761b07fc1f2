#include "server/rigctl_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <tuple>

#include "fake_radio.h"
#include "server/share_caps.h"

namespace kestrel {
namespace {

class RigctlSessionTest : public ::testing::Test {
  protected:
    std::string Ask(std::string_view line) {
        std::string out;
        open_ = session_.HandleLine(line, out);
        return out;
    }

    FakeRadio radio_;
    int64_t now_ = 1000;
    TransmitWatchdog watchdog_{5000};
    ShareContext context_{radio_, watchdog_, false, [this] { return now_; }};
    RigctlSession session_{context_, 7};
    bool open_ = true;
};

TEST_F(RigctlSessionTest, AnswersReadsFromTheStoreAndPassesSettingsOn) {
    radio_.Set(Field::SM0, 130);
    radio_.Set(Field::MS, kMeterSwr);
    radio_.Set(Field::RM1, 100);
    radio_.Set(Field::NA0, 1);
    radio_.Set(Field::LK, 1);
    // clang-format off
    const std::vector<std::tuple<std::string_view, std::string_view, std::vector<std::string>>> exchanges = {  // line, answer, calls
        {"f",                   "14074000\n",            {}},
        {"F 14074000.000000",   "RPRT 0\n",              {"freq A 14074000"}},
        {"F 7000123.6",         "RPRT 0\n",              {"freq A 7000124"}},
        {"F 29999",             "RPRT -1\n",             {}},
        {"F 60000001",          "RPRT -1\n",             {}},
        {"F 14e6x",             "RPRT -1\n",             {}},
        {"m",                   "USB\n1800\n",           {}},
        {"M CW 0",              "RPRT 0\n",              {"mode A 3"}},
        {"M PKTUSB",            "RPRT 0\n",              {"mode A 12"}},
        {"M FM-D 0",            "RPRT 0\n",              {"mode A 10"}},
        {"M USB -1",            "RPRT 0\n",              {}},
        {"M WFM 0",             "RPRT -1\n",             {}},
        {"M LSB wide",          "RPRT -1\n",             {}},
        {"v",                   "VFOA\n",                {}},
        {"V VFOB",              "RPRT 0\n",              {"vfo B"}},
        {"V Main",              "RPRT 0\n",              {"vfo A"}},
        {"V VFOC",              "RPRT -1\n",             {}},
        {"t",                   "0\n",                   {}},
        {"s",                   "0\nVFOA\n",             {}},
        {"S 1 VFOB",            "RPRT 0\n",              {"request 62 0 0"}},
        {"S 0 VFOA",            "RPRT 0\n",              {"request 33 0 0"}},
        {"S 2 VFOB",            "RPRT -1\n",             {}},
        {"i",                   "14074000\n",            {}},
        {"I 7074000",           "RPRT 0\n",              {"freq A 7074000"}},
        {"l STRENGTH",          "0\n",                   {}},
        {"l SWR",               "2.000000\n",            {}},
        {"l ALC",               "RPRT -11\n",            {}},
        {"l RFPOWER",           "1.000000\n",            {}},
        {"l KEYSPD",            "4\n",                   {}},
        {"l FOO",               "RPRT -11\n",            {}},
        {"L RFPOWER 0.5",       "RPRT 0\n",              {"request 107 0 50"}},
        {"L RFPOWER 0.01",      "RPRT 0\n",              {"request 107 0 5"}},
        {"L AF 1.5",            "RPRT -1\n",             {}},
        {"L AF x",              "RPRT -1\n",             {}},
        {"L PREAMP 20",         "RPRT 0\n",              {"request 13 0 1"}},
        {"L PREAMP 0",          "RPRT 0\n",              {"request 13 0 2"}},
        {"L ATT 12",            "RPRT 0\n",              {"request 12 0 2"}},
        {"L ATT 10",            "RPRT -1\n",             {}},
        {"L KEYSPD 61",         "RPRT -1\n",             {}},
        {"L NR 1",              "RPRT 0\n",              {"request 104 0 15"}},
        {"L STRENGTH 1",        "RPRT -11\n",            {}},
        {"u LOCK",              "1\n",                   {}},
        {"U LOCK 1",            "RPRT 0\n",              {}},
        {"U LOCK 0",            "RPRT 0\n",              {"request 35 0 0"}},
        {"U NB 1",              "RPRT 0\n",              {"request 16 0 1"}},
        {"U NB 2",              "RPRT -1\n",             {}},
        {"\\get_powerstat",     "1\n",                   {}},
        {"\\set_powerstat 1",   "RPRT 0\n",              {}},
        {"\\set_powerstat 0",   "RPRT 0\n",              {"request 2 0 0"}},
        {"\\send_morse cq de k", "RPRT 0\n",             {"raw KM5CQ DE K;", "request 137 0 0"}},
        {"b a{b",               "RPRT -1\n",             {}},
        {"w FA;",               "RPRT -11\n",            {}},
        {"\\get_lock_mode",     "0\n",                   {}},
        {"\\chk_vfo",           "0\n",                   {}},
        {"+\\chk_vfo",          "ChkVFO: 0\n",           {}},
        {"Y",                   "RPRT -11\n",            {}},
        {"\\set_bogus 1",       "RPRT -11\n",            {}},
        {"F",                   "RPRT -1\n",             {}},
        {"",                    "",                      {}},
        // The extended response: the long name and the arguments, labelled values, the report.
        {"+f",                  "get_freq:\nFrequency: 14074000\nRPRT 0\n", {}},
        {";m",                  "get_mode:;Mode: USB;Passband: 1800;RPRT 0\n", {}},
        {"|\\set_freq 3500000", "set_freq: 3500000|RPRT 0\n", {"freq A 3500000"}},
        {"+s",                  "get_split_vfo:\nSplit: 0\nTX VFO: VFOA\nRPRT 0\n", {}},
        {"+l STRENGTH",         "get_level: STRENGTH\n0\nRPRT 0\n", {}},
        {"+F 1",                "set_freq: 1\nRPRT -1\n", {}},
        // Several commands on one line, as rigctld reads them.
        {"F 14010000 M LSB 0 f", "RPRT 0\nRPRT 0\n14074000\n", {"freq A 14010000", "mode A 1"}},
        {"f Y f",               "14074000\nRPRT -11\n",  {}},
    };
    // clang-format on
    for (const auto& [line, answer, calls] : exchanges) {
        EXPECT_EQ(Ask(line), answer) << line;
        EXPECT_EQ(radio_.TakeCalls(), calls) << line;
    }
    EXPECT_TRUE(open_);
}

TEST_F(RigctlSessionTest, RefusesRadioCommandsWhileNotConnectedButStillDescribesTheRadio) {
    radio_.connected = false;
    EXPECT_EQ(Ask("f"), "RPRT -9\n");
    EXPECT_EQ(Ask("+T 1"), "set_ptt: 1\nRPRT -9\n");
    EXPECT_EQ(Ask("\\chk_vfo"), "0\n");
    EXPECT_TRUE(Ask("\\dump_state").ends_with("done\n"));
    EXPECT_TRUE(radio_.TakeCalls().empty());
}

// Hamlib's network client reads the description by line position: the ranges, the PTT type and
// the mode list must stand exactly where it looks for them.
TEST_F(RigctlSessionTest, DescribesTheRadioInTheLayoutTheNetworkClientParses) {
    std::vector<std::string> state;
    std::istringstream dump(Ask("\\dump_state"));
    for (std::string line; std::getline(dump, line);) {
        state.push_back(line);
    }
    ASSERT_GT(state.size(), 8u);
    EXPECT_EQ(std::vector<std::string>(state.begin(), state.begin() + 3),
              (std::vector<std::string>{"1", "2", "0"}));
    EXPECT_EQ(state[3], "30000.000000 60000000.000000 0x1dbf -1 -1 0x3 0x3");
    EXPECT_EQ(state[5], "1800000.000000 54000000.000000 0x1dbf 5000 100000 0x3 0x3");
    EXPECT_NE(std::find(state.begin(), state.end(), "ptt_type=0x1"), state.end());
    const std::string caps = Ask("\\dump_caps");
    for (const char* line : {"Mfg name:\tKestrel Panel\n",
                             "Mode list: LSB USB CW FM AM RTTY CWR PKTLSB RTTYR PKTFM PKTUSB \n",
                             "TX ranges: 1800000 Hz - 54000000 Hz, 5 W - 100 W\n"}) {
        EXPECT_NE(caps.find(line), std::string::npos) << line << caps;
    }
}

// A mode the Hamlib name already names (FM-N reads as FM with the narrow filter) is kept; raw
// commands pass once allowed; quit closes with a report.
TEST_F(RigctlSessionTest, TransmitNamesTheKeyingClientAndQuitClosesWithAReport) {
    EXPECT_EQ(Ask("T 1"), "RPRT 0\n");
    EXPECT_EQ(watchdog_.KeyingClient(), 7u);
    EXPECT_EQ(Ask("T 0"), "RPRT 0\n");
    EXPECT_FALSE(watchdog_.KeyingClient());
    radio_.Set(Field::MD0, 11);
    EXPECT_EQ(Ask("m M FM 0"), "FM\n9000\nRPRT 0\n");
    context_.allowRaw = true;
    EXPECT_EQ(Ask("w  FA14250000; "), "RPRT 0\n");
    EXPECT_EQ(radio_.TakeCalls(), (std::vector<std::string>{"tx on", "tx off", "raw FA14250000;"}));
    EXPECT_EQ(Ask("q f"), "RPRT 0\n");
    EXPECT_FALSE(open_);
}

TEST_F(RigctlSessionTest, SplitTransmitsOnTheVfoNotOnTheDialAndItsFrequencyFollowsAtOnce) {
    radio_.Set(Field::VS, 1);
    EXPECT_EQ(Ask("S 0 VFOB S 1 VFOB"), "RPRT 0\nRPRT 0\n");
    EXPECT_EQ(radio_.TakeCalls(), (std::vector<std::string>{"request 62 0 0", "request 33 0 0"}));
    // Before the radio reports the split, its frequency already goes to the transmitting VFO.
    EXPECT_EQ(Ask("s i I 3600000"), "1\nVFOA\n14074000\nRPRT 0\n");
    EXPECT_EQ(radio_.TakeCalls(), std::vector<std::string>{"freq A 3600000"});
    now_ += kRigctlChoiceHoldMs;
    radio_.Set(Field::FT, 0);
    EXPECT_EQ(Ask("s"), "1\nVFOA\n");
}

TEST_F(RigctlSessionTest, AClientsVfoChoiceStandsForAWhileOverTheRadiosReport) {
    // Hamlib's client reads VFO-B by selecting it, asking and selecting VFO-A again.
    EXPECT_EQ(Ask("V VFOB"), "RPRT 0\n");
    EXPECT_EQ(Ask("f v m"), "7050000\nVFOB\nLSB\n2400\n");
    now_ += kRigctlChoiceHoldMs - 1;
    EXPECT_EQ(Ask("V VFOA"), "RPRT 0\n");
    radio_.Set(Field::VS, 1);  // the radio's late report of the first selection
    now_ += kRigctlChoiceHoldMs - 1;
    EXPECT_EQ(Ask("f"), "14074000\n");
    now_ += 1;
    EXPECT_EQ(Ask("f"), "7050000\n");  // the radio's word again: VFO-B, turned at the panel
    EXPECT_EQ(radio_.TakeCalls(), (std::vector<std::string>{"vfo B", "vfo A"}));
}

}  // namespace
}  // namespace kestrel
