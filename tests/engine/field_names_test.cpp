#include "protocol/field_names.h"

#include <string>

#include "engine_fixtures.h"

namespace kestrel {
namespace {

using FieldNamesTest = EngineTest;

TEST_F(FieldNamesTest, EveryFieldIsFoundByItsOwnName) {
    for (int i = 0; i < kFieldCount; ++i) {
        const auto field = static_cast<Field>(i);
        EXPECT_EQ(FieldByName(FieldName(field)), field) << FieldName(field);
    }
}

TEST_F(FieldNamesTest, ReadsCodeSelectorPositionClarifierPeMenuAndKeyerNames) {
    SetField(Field::FA, 14250000);
    SetField(Field::MD0, 3);
    SetField(Field::SQ1, 17);
    SetField(Field::RM1, 99);
    SetField(Field::IFp18, 1);
    SetField(Field::BG1, -1);
    SetField(Field::IDX, 42);
    SetReal(RealField::OIp13, -120.0);
    SetPE(1, 2, 0, 18);
    LoadMenuCatalogue();
    StoreKeyerText(4, 50, "CQ TEST");
    // Every RM selector but 0 feeds one field; KM alone is the channel field.
    // clang-format off
    const std::pair<std::string_view, std::string> cases[] = {
        {"FA",    "14250000"},
        {"MD0",   "3"},
        {"MD1",   "0"},
        {"SQ1",   "17"},
        {"RM0",   "0"},
        {"RM2",   "99"},
        {"IFp18", "1"},
        {"BG1",   "-1"},
        {"ID",    "310"},
        {"IDX",   "42"},
        {"OIp13", "-120.0"},
        {"PE120", "18"},
        {"PE001", "5"},
        {"EX036", "1000"},
        {"EX069", "-15"},
        {"KM4",   "CQ TEST"},
        {"KM",    "1"},
    };
    // clang-format on
    for (const auto& [name, expected] : cases) {
        std::string text;
        EXPECT_TRUE(GetFieldByName(name, text) && text == expected) << name << " reads " << text;
    }
}

TEST_F(FieldNamesTest, RejectsUnknownNames) {
    std::string text = "kept";
    for (std::string_view name : {"", "F", "ZZ", "MD2", "RI6", "RI9", "PE300", "PE030", "PE003",
                                  "EX000", "EX119", "EX1", "KM0", "KM6", "fa", "FA0"}) {
        EXPECT_FALSE(GetFieldByName(name, text)) << name;
    }
    EXPECT_EQ(text, "kept");
}

}  // namespace
}  // namespace kestrel
