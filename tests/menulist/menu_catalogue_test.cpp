#include "menulist/menu_catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace kestrel {
namespace {

// The items whose choices are their range text cut at each "/".
const std::set<int> kSplitItems{4,  6,  11, 13, 17, 19,  20,  21,  22,  23,  24,  28, 29, 32,
                                33, 34, 37, 38, 39, 40,  41,  42,  43,  47,  48,  59, 60, 71,
                                85, 86, 91, 94, 97, 100, 103, 106, 110, 113, 114, 118};
const std::set<uint32_t> kListKinds{1, 15, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40};

std::vector<std::string> Choices(const MenuItem& item) {
    std::vector<std::string> out;
    for (uint32_t i = 0; i < item.choiceCount; ++i) {
        out.emplace_back(item.choices[i]);
    }
    return out;
}

std::vector<std::string> SplitAt(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t pos; (pos = text.find(separator, start)) != std::string::npos; start = pos + 1) {
        parts.push_back(text.substr(start, pos - start));
    }
    parts.push_back(text.substr(start));
    return parts;
}

int Digits(int64_t v) {
    int n = 1;
    for (v = std::llabs(v); v >= 10; v /= 10) {
        ++n;
    }
    return n;
}

TEST(MenuCatalogue, SplitItemsTakeTheirChoicesFromTheRangeText) {
    for (int n : kSplitItems) {
        const MenuItem item = CatalogueMenuItem(n);
        const auto parts = SplitAt(item.rangeText, '/');
        EXPECT_EQ(item.choiceCount, parts.size()) << n;
        EXPECT_EQ(Choices(item), parts) << n;
    }
    EXPECT_EQ(CatalogueMenuItem(97).choiceCount, 19u);
    EXPECT_EQ(Choices(CatalogueMenuItem(4)).back(), "UMBER");
    EXPECT_EQ(CatalogueMenuItem(0).number, 0u) << "no item 0";
    EXPECT_EQ(CatalogueMenuItem(119).number, 0u) << "no item 119";
}

TEST(MenuCatalogue, DefaultsLieWithinTheirLimitsOrChoices) {
    for (int n = 1; n <= kMenuCatalogueSize; ++n) {
        const MenuItem item = CatalogueMenuItem(n);
        SCOPED_TRACE(n);
        const double v = item.value;
        switch (item.kind) {
            case 8:  // a magnitude: the limits run from -minValue to -maxValue
                EXPECT_GE(v, item.maxValue);
                EXPECT_LE(v, item.minValue);
                break;
            case 13:
                EXPECT_TRUE(v == 1000 || (v >= item.minValue && v <= item.maxValue));
                break;
            case 16:
            case 41:
                EXPECT_TRUE(v == 0 || (v >= item.minValue && v <= item.maxValue));
                break;
            case 14:
                EXPECT_EQ(static_cast<int>(v) & ~0x1FFE, 0) << "only the bits of its 12 choices";
                break;
            default:
                if (kListKinds.count(item.kind) != 0) {
                    EXPECT_GE(v, 0);
                    EXPECT_LT(v, item.choiceCount);
                    EXPECT_EQ(item.minValue, 0);
                    EXPECT_EQ(item.maxValue, 0);
                    EXPECT_EQ(item.step, 0);
                } else {
                    EXPECT_EQ(item.choiceCount, 0u);
                    EXPECT_LT(item.minValue, item.maxValue);
                    EXPECT_GT(item.step, 0);
                    EXPECT_GE(v, item.minValue);
                    EXPECT_LE(v, item.maxValue);
                }
        }
    }
}

TEST(MenuCatalogue, WidthHoldsTheLargestValueField) {
    for (int n = 1; n <= kMenuCatalogueSize; ++n) {
        const MenuItem item = CatalogueMenuItem(n);
        SCOPED_TRACE(n);
        const auto lo = static_cast<int64_t>(item.minValue);
        const auto hi = static_cast<int64_t>(item.maxValue);
        const int largest = std::max(Digits(lo), Digits(hi));
        const uint32_t k = item.kind;
        if (k == 4 || k == 11 || (k >= 25 && k <= 30)) {
            EXPECT_GE(item.width, static_cast<uint32_t>(largest + 1)) << "sign and digits";
        } else if (k == 14) {
            EXPECT_EQ(item.width, 13u) << "one character per bit from 4096 down";
        } else if (k == 41) {
            EXPECT_GE(item.width, 3u) << "codes up to 255";
        } else if (k == 13) {
            EXPECT_GE(item.width, 4u) << "1000 stands for the first choice";
        } else if (kListKinds.count(k) != 0) {
            EXPECT_GE(item.width, static_cast<uint32_t>(Digits(item.choiceCount - 1)));
        } else {
            EXPECT_GE(item.width, static_cast<uint32_t>(largest));
        }
    }
}

TEST(MenuCatalogue, EqualizerItemsRunFrequencyLevelBandwidthInKindOrder) {
    for (int eq = 0; eq < 6; ++eq) {
        const MenuItem freq = CatalogueMenuItem(91 + 3 * eq);
        const MenuItem level = CatalogueMenuItem(92 + 3 * eq);
        const MenuItem width = CatalogueMenuItem(93 + 3 * eq);
        SCOPED_TRACE(eq);
        EXPECT_EQ(freq.kind, 31u + eq);
        EXPECT_EQ(level.kind, 25u + eq);
        EXPECT_EQ(width.kind, 19u + eq);
        EXPECT_EQ(std::string(freq.name).rfind("P-", 0) == 0, eq >= 3);
    }
}

TEST(MenuValueToWhole, PrintsSixDecimalsAndKeepsTheIntegerPart) {
    for (const auto& [value, whole] : {std::pair<double, int64_t>{2.9999999, 3},
                                       {2.999999, 2},
                                       {2.5, 2},
                                       {-15.0, -15},
                                       {-0.5, 0},
                                       {-4.9999999, -5},
                                       {53999.0, 53999},
                                       {1e300, 9000000000000000}}) {
        EXPECT_EQ(MenuValueToWhole(value), whole) << value;
    }
}

}  // namespace
}  // namespace kestrel
