#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cat/cat_catalogue.h"
#include "cat/framing.h"
#include "cat/receive_buffer.h"
#include "menulist/menu_catalogue.h"
#include "sim_fixture.h"

namespace kestrel {
namespace {

struct ReadRow {
    const char* read;
    int answerLength;
};

// Every read of the program's initial read, with the answer length the line must carry.
// clang-format off
const ReadRow kInitialReads[] = {
    {"RT;", 4}, {"XT;", 4}, {"SF;", 4}, {"BP00;", 8}, {"BP01;", 8}, {"BC0;", 5}, {"CO00;", 7},
    {"CO01;", 7}, {"MS;", 4}, {"NR0;", 5}, {"FT;", 4}, {"FR;", 4}, {"LK;", 4}, {"FS;", 4},
    {"VS;", 4}, {"NA0;", 5}, {"NB0;", 5}, {"RF0;", 5}, {"GT0;", 5}, {"RA0;", 5}, {"PA0;", 5},
    {"KR;", 4}, {"TS;", 4}, {"AN0;", 6}, {"AC;", 6}, {"MX;", 4}, {"VX;", 4}, {"BI;", 4},
    {"PR;", 4}, {"ML0;", 7}, {"ML1;", 7}, {"CS;", 4}, {"DP;", 4}, {"RM0;", 7}, {"RM2;", 7},
    {"KP;", 5}, {"KS;", 6}, {"SD;", 7}, {"NL0;", 7}, {"MG;", 6}, {"PL;", 6}, {"VG;", 6},
    {"VD;", 7}, {"SQ0;", 7}, {"AG0;", 7}, {"RG0;", 7}, {"IF;", 27}, {"VF0;", 9}, {"IS0;", 9},
    {"SH0;", 6}, {"RL0;", 6}, {"BY;", 5}, {"FA;", 11}, {"FB;", 11}, {"RO;", 10}, {"SC;", 4},
    {"SM0;", 7}, {"TX;", 4}, {"UL;", 4}, {"CN0;", 6}, {"CT0;", 5}, {"KM1;", 54}, {"KM2;", 54},
    {"KM3;", 54}, {"KM4;", 54}, {"KM5;", 54}, {"MC;", 6}, {"OI;", 27}, {"OS0;", 5}, {"PB0;", 5},
    {"PC;", 6}, {"RS;", 4}, {"MD0;", 5}, {"PS;", 4}, {"RI0;", 5}, {"RI1;", 5}, {"RI3;", 5},
    {"RI4;", 5}, {"RI5;", 5}, {"RI7;", 5}, {"RI8;", 5}, {"BG0;", 6}, {"BG1;", 6}, {"LM0;", 5},
    {"PE000;", 9}, {"PE001;", 9}, {"PE002;", 9}, {"PE010;", 9}, {"PE011;", 9}, {"PE012;", 9},
    {"PE020;", 9}, {"PE021;", 9}, {"PE022;", 9}, {"PE200;", 9}, {"PE201;", 9}, {"PE202;", 9},
    {"PE210;", 9}, {"PE211;", 9}, {"PE212;", 9}, {"PE220;", 9}, {"PE221;", 9}, {"PE222;", 9},
    {"KC0;", 5}, {"AI;", 4}, {"ID;", 7}, {"ID0747;", 10},
};
// clang-format on

class Reads : public SimTest {};

TEST_F(Reads, EveryInitialReadGetsOneAnswerOfItsLength) {
    Make();
    for (const ReadRow& row : kInitialReads) {
        const std::string answer = Ask(row.read);
        ASSERT_EQ(SplitAnswers(answer).size(), 1u) << row.read << " -> " << answer;
        EXPECT_EQ(static_cast<int>(answer.size()), row.answerLength)
            << row.read << " -> " << answer;
        EXPECT_EQ(answer.substr(0, 2), std::string(row.read, 2)) << row.read;
    }
}

TEST_F(Reads, EveryCatalogueReadRowIsAnsweredAtItsCataloguedLength) {
    Make();
    for (const CatReadRow& row : CatReadTable) {
        const std::string code(row.code, 2);
        if (code == "ID") {
            continue;  // the identification has two answers of its own, tested below
        }
        std::string param = row.kind == kReadPlain ? "" : "0";
        if (code == "BP" || code == "CO") {
            param = "00";
        } else if (code == "KM") {
            param = "1";
        } else if (code == "PE") {
            param = "000";
        }
        const std::string answer = Ask(code + param + ";");
        const int answerRow = FindAnswerRow(code);
        ASSERT_GE(answerRow, 0) << code;
        EXPECT_EQ(static_cast<int>(answer.size()), CatAnswerTable[answerRow].length)
            << code << " -> " << answer;
    }
}

TEST_F(Reads, IdentificationAnswersModelAndExtendedNumber) {
    Make({.answerExtendedId = true, .extendedId = 42});
    EXPECT_EQ(Ask("ID;"), "ID0310;");
    EXPECT_EQ(Ask("ID0747;"), "ID0747042;");
}

TEST_F(Reads, OlderFirmwareLeavesExtendedIdentificationUnanswered) {
    Make({.answerExtendedId = false});
    EXPECT_EQ(Ask("ID;"), "ID0310;");
    EXPECT_EQ(Ask("ID0747;"), "");
}

TEST_F(Reads, UnknownAndMalformedCommandsAnswerQuestionMark) {
    Make();
    for (const char* bad : {"ZZ;", "FA123;", "fa;", "NA2;", "KM6;", "EX000;", "EX119;", "EX01;",
                            "PE300;", "RI9;", "MD0Z;", "FA00000001;", ";"}) {
        EXPECT_EQ(Ask(bad), "?;") << bad;
    }
}

TEST_F(Reads, MenuAnswersCarryValueWidthAndEncoding) {
    Make();
    EXPECT_EQ(Ask("EX001;"), "EX0010300;");
    EXPECT_EQ(Ask("EX036;"), "EX0361000;");
    EXPECT_EQ(Ask("EX069;"), "EX069-15;");
    EXPECT_EQ(Ask("EX090;"), "EX0901111111111110;");
    EXPECT_EQ(Ask("EX092;"), "EX092+05;");
    EXPECT_EQ(Ask("EX094;"), "EX09400;");
    for (int n = 1; n <= kMenuCatalogueSize; ++n) {
        const std::string read = "EX" +
                                 std::string(n < 10    ? "00"
                                             : n < 100 ? "0"
                                                       : "") +
                                 std::to_string(n) + ";";
        EXPECT_EQ(static_cast<int>(Ask(read).size()),
                  static_cast<int>(CatalogueMenuItem(n).width) + 6)
            << read;
    }
}

TEST_F(Reads, OlderFirmwareNarrowsTheMiddleEqualizerFrequenciesWhileAutoInfoIsOn) {
    Make({.answerExtendedId = false});
    EXPECT_EQ(Ask("EX094;"), "EX09400;");
    Ask("AI1;");
    EXPECT_EQ(Ask("EX094;"), "EX0940;");
    EXPECT_EQ(Ask("EX103;"), "EX1032;");
    EXPECT_EQ(Ask("EX091;"), "EX09100;");  // the first frequency keeps its width
}

// The framing's view of the menu widths, for both firmware families.
bool g_narrow = false;
int MenuWidthForFraming(int32_t number) {
    if (number < 1 || number > kMenuCatalogueSize) {
        return -1;
    }
    const MenuItem item = CatalogueMenuItem(number);
    const bool corrected = g_narrow && (item.kind == 32 || item.kind == 35);
    return static_cast<int>(item.width) - (corrected ? 1 : 0);
}

class CollectSink final : public AnswerSink {
  public:
    bool Deliver(const uint8_t* text, uint32_t length) override {
        answers.emplace_back(reinterpret_cast<const char*>(text), length);
        return true;
    }
    std::vector<std::string> answers;
};

// Frames a stream the way the receive thread does, one step per read of `chunk` bytes.
std::vector<std::string> Frame(const std::string& stream, size_t chunk) {
    ReceiveBuffer buffer;
    CollectSink collected;
    for (size_t at = 0; at < stream.size(); at += chunk) {
        const std::string piece = stream.substr(at, chunk);
        buffer.Append(reinterpret_cast<const uint8_t*>(piece.data()),
                      static_cast<uint32_t>(piece.size()));
        FramingStep(buffer, 0, collected, MenuWidthForFraming);
    }
    for (int idle = 0; idle < 4000 && buffer.count > 0; ++idle) {
        FramingStep(buffer, 0, collected, MenuWidthForFraming);
    }
    return collected.answers;
}

void ExpectFramedWhole(const std::string& stream) {
    const std::vector<std::string> sent = SplitAnswers(stream);
    for (size_t chunk : {size_t{1}, size_t{7}, size_t{64}}) {
        const std::vector<std::string> framed = Frame(stream, chunk);
        ASSERT_EQ(framed.size(), sent.size()) << "chunk " << chunk;
        for (size_t i = 0; i < sent.size(); ++i) {
            EXPECT_EQ(framed[i] + ";", sent[i]);
        }
    }
}

TEST_F(Reads, EngineFramingTakesEveryAnswerWhole) {
    for (bool older : {false, true}) {
        for (bool ai : {false, true}) {
            Make({.answerExtendedId = !older});
            g_narrow = older && ai;
            radio->Apply(ai ? "AI1;" : "AI0;");
            std::string stream;
            for (const ReadRow& row : kInitialReads) {
                stream += Ask(row.read);
            }
            for (int n = 1; n <= kMenuCatalogueSize; ++n) {
                stream += Ask("EX" +
                              std::string(n < 10    ? "00"
                                          : n < 100 ? "0"
                                                    : "") +
                              std::to_string(n) + ";");
            }
            for (const char* extra :
                 {"RM1;", "RM3;", "RM4;", "RM5;", "RM6;", "SM1;", "NR1;", "NA1;",
                  "NB1;", "GT1;", "SQ1;", "AG1;", "RG1;", "CN1;", "CT1;", "OS1;",
                  "MD1;", "VF1;", "BG2;", "RI2;", "RI6;", "LM1;", "PB1;"}) {
                stream += Ask(extra);
            }
            SCOPED_TRACE(::testing::Message() << "older " << older << " ai " << ai);
            ExpectFramedWhole(stream);
        }
    }
    g_narrow = false;
}

}  // namespace
}  // namespace kestrel
