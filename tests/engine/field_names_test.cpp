#include "protocol/field_names.h"

#include <gtest/gtest.h>

#include <string>

#include "menulist/menu_catalogue.h"

namespace kestrel {
namespace {

class FieldNamesTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetRadioState(); }
    void TearDown() override { ResetRadioState(); }

    std::string Read(std::string_view name) {
        std::string text = "unset";
        EXPECT_TRUE(GetFieldByName(name, text)) << name;
        return text;
    }
};

TEST_F(FieldNamesTest, EveryFieldIsFoundByItsOwnName) {
    for (int i = 0; i < kFieldCount; ++i) {
        const auto field = static_cast<Field>(i);
        EXPECT_EQ(FieldByName(FieldName(field)), field) << FieldName(field);
    }
}

TEST_F(FieldNamesTest, ReadsCodeSelectorAndPositionNames) {
    SetField(Field::FA, 14250000);
    SetField(Field::MD0, 3);
    SetField(Field::SQ1, 17);
    SetField(Field::RM1, 99);
    SetField(Field::IFp18, 1);
    SetField(Field::BG1, -1);
    EXPECT_EQ(Read("FA"), "14250000");
    EXPECT_EQ(Read("MD0"), "3");
    EXPECT_EQ(Read("MD1"), "0");
    EXPECT_EQ(Read("SQ1"), "17");
    EXPECT_EQ(Read("RM0"), "0");
    EXPECT_EQ(Read("RM2"), "99") << "every RM selector but 0 feeds one field";
    EXPECT_EQ(Read("IFp18"), "1");
    EXPECT_EQ(Read("BG1"), "-1");
    EXPECT_EQ(Read("ID"), "310");
    SetField(Field::IDX, 42);
    EXPECT_EQ(Read("IDX"), "42");
}

TEST_F(FieldNamesTest, ReadsClarifierPeMenuAndKeyerValues) {
    SetReal(RealField::OIp13, -120.0);
    EXPECT_EQ(Read("OIp13"), "-120.0");
    SetPE(1, 2, 0, 18);
    EXPECT_EQ(Read("PE120"), "18");
    EXPECT_EQ(Read("PE001"), "5");
    LoadMenuCatalogue();
    EXPECT_EQ(Read("EX036"), "1000");
    EXPECT_EQ(Read("EX069"), "-15");
    StoreKeyerText(4, 50, "CQ TEST");
    EXPECT_EQ(Read("KM4"), "CQ TEST");
    EXPECT_EQ(Read("KM"), "1") << "KM alone is the channel field";
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
