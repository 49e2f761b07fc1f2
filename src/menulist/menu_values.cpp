#include "menulist/menu_values.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "menulist/menu_kind.h"

namespace kestrel {

namespace {

// The code the "EX" command carries for 270 seconds; each code above it adds 30 seconds.
constexpr int64_t kFirstLongCode = 241;
constexpr int64_t kLastLongCode = 255;
constexpr int64_t kLongestShortTime = 240;
constexpr int64_t kLongStep = 30;
constexpr int64_t kFirstChoiceAt1000 = 1000;

// A field of the record read up to its NUL, never beyond the field.
template <size_t N>
std::string_view Field(const char (&field)[N]) {
    return std::string_view(field, strnlen(field, N));
}

__attribute__((format(printf, 1, 2))) std::string Format(const char* format, ...) {
    char text[128];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return n < 0 ? std::string()
                 : std::string(text, std::min(static_cast<size_t>(n), sizeof text - 1));
}

int ChoiceCount(const MenuItem& item) {
    return static_cast<int>(std::min<uint32_t>(item.choiceCount, kMenuMaxChoices));
}

void PadTo(std::string& text, size_t width) {
    if (text.size() < width) {
        text.append(width - text.size(), ' ');
    }
}

// A numeric range in whole units of the stored value: first, first + step, ... up to last.
struct WholeRange {
    int64_t first = 0;
    int64_t last = 0;
    int64_t step = 1;
    bool usable = false;  // the Part's condition: limits not all 0 and first not above last
    bool bad = false;     // a step of 0 or below, not whole, or too many entries
    int64_t Count() const { return usable && !bad ? (last - first) / step + 1 : 0; }
};

// Returns the range of an item in whole units of its stored value; scale is how many stored
// units make one unit of the step (10 for tenths, 1000 for kilohertz shown in megahertz). A
// negated range runs from -minValue to -maxValue.
WholeRange RangeOf(const MenuItem& item, int scale, bool negated = false) {
    WholeRange range;
    if (item.minValue == 0.0 && item.maxValue == 0.0 && item.step == 0.0) {
        return range;
    }
    const int64_t sign = negated ? -1 : 1;
    range.first = sign * MenuValueToWhole(item.minValue);
    range.last = sign * MenuValueToWhole(item.maxValue);
    const double step = item.step * scale;
    const double wholeStep = std::round(step);
    if (!(wholeStep >= 1.0) || std::fabs(step - wholeStep) > 1e-6 || wholeStep > 1e15) {
        range.bad = true;
        return range;
    }
    range.step = static_cast<int64_t>(wholeStep);
    range.usable = range.first <= range.last;
    if (range.usable && (range.last - range.first) / range.step >= kMaxMenuEntries) {
        range.bad = true;
    }
    return range;
}

bool InLimits(const MenuItem& item, int64_t wire) {
    const int64_t a = MenuValueToWhole(item.minValue);
    const int64_t b = MenuValueToWhole(item.maxValue);
    return wire >= std::min(a, b) && wire <= std::max(a, b);
}

void AddChoiceEntries(const MenuItem& item, MenuEntryList& list) {
    for (int i = 0; i < ChoiceCount(item); ++i) {
        list.entries.push_back({MenuChoiceText(item, i), i});
    }
}

// Adds the numbers of a range, each shown by `show` and stored as `store` gives.
template <typename Show, typename Store>
void AddRangeEntries(const WholeRange& range, MenuEntryList& list, Show show, Store store) {
    for (int64_t i = 0; i < range.Count(); ++i) {
        const int64_t whole = range.first + i * range.step;
        list.entries.push_back({show(whole), store(whole)});
    }
}

std::string NumberText(int64_t n) {
    return Format("%lld", static_cast<long long>(n));
}

}  // namespace

int64_t MenuSecondsOfCode(int64_t code) {
    return code > kLongestShortTime ? (code - kLongestShortTime) * kLongStep + kLongestShortTime
                                    : code;
}

double MenuShownValue(const MenuItem& item) {
    return item.edited == 1 ? item.editedValue : item.value;
}

int64_t MenuWireValue(const MenuItem& item, double value) {
    const int64_t n = MenuValueToWhole(value);
    if (MenuKindOf(item.kind).show == MenuShow::OffOrSeconds && n > kLastLongCode &&
        n <= MenuSecondsOfCode(kLastLongCode) && (n - kLongestShortTime) % kLongStep == 0) {
        return (n - kLongestShortTime) / kLongStep + kLongestShortTime;
    }
    return n;
}

bool MenuTakesValue(const MenuItem& item, int64_t wire) {
    switch (MenuKindOf(item.kind).show) {
        case MenuShow::Number:
        case MenuShow::Negated:
        case MenuShow::Tenths:
        case MenuShow::Thousandths:
            return InLimits(item, wire);
        case MenuShow::FirstChoiceAt1000:
            return wire == kFirstChoiceAt1000 || InLimits(item, wire);
        case MenuShow::Bit:
            return (wire & ~kMenuBitField) == 0;
        case MenuShow::OffOrNumber:
            return wire == 0 || InLimits(item, wire);
        case MenuShow::OffOrSeconds:
            return wire >= 0 && wire <= kLastLongCode;
        case MenuShow::Choice:
            return wire >= 0 && wire < ChoiceCount(item);
    }
    return false;
}

std::string MenuAcceptedRange(const MenuItem& item) {
    const int64_t a = MenuValueToWhole(item.minValue);
    const int64_t b = MenuValueToWhole(item.maxValue);
    const std::string limits = NumberText(std::min(a, b)) + " to " + NumberText(std::max(a, b));
    switch (MenuKindOf(item.kind).show) {
        case MenuShow::FirstChoiceAt1000:
            return "1000 or " + limits;
        case MenuShow::Bit:
            return "0 to " + NumberText(kMenuBitField);
        case MenuShow::OffOrNumber:
            return "0 or " + limits;
        case MenuShow::OffOrSeconds:
            return "0 to " + NumberText(kLastLongCode);
        case MenuShow::Choice:
            return ChoiceCount(item) == 0 ? "nothing" : "0 to " + NumberText(ChoiceCount(item) - 1);
        default:
            return limits;
    }
}

bool IsBitSetItem(const MenuItem& item) {
    return MenuKindOf(item.kind).show == MenuShow::Bit;
}

int64_t MenuChoiceBit(int choice) {
    return choice >= 0 && choice <= kMenuBitBoxes ? int64_t{0x1000} >> choice : 0;
}

std::string MenuChoiceText(const MenuItem& item, int64_t position) {
    if (position < 0 || position >= ChoiceCount(item)) {
        return {};
    }
    return std::string(Field(item.choices[position]));
}

std::string MenuItemName(const MenuItem& item) {
    return std::string(Field(item.name));
}

std::string MenuItemUnit(const MenuItem& item) {
    return item.hasUnit == 1 ? std::string(Field(item.unit)) : std::string();
}

std::string MenuSettingText(const MenuItem& item, int bitIndex) {
    const MenuKindProperties kind = MenuKindOf(item.kind);
    const double v = MenuShownValue(item);
    const int64_t n = MenuValueToWhole(v);
    const auto ll = [](int64_t x) { return static_cast<long long>(x); };
    std::string text;
    bool dropUnit = false;
    switch (kind.show) {
        case MenuShow::Number:
            text = Format(" %lld", ll(n));
            break;
        case MenuShow::Negated:
            text = Format(" %lld", ll(-n));
            break;
        case MenuShow::Tenths:
            text = Format(" %.1f", v * 0.1);
            break;
        case MenuShow::Thousandths:
            text = Format(" %.3f", v * 0.001);
            break;
        case MenuShow::FirstChoiceAt1000:
            text = n < kFirstChoiceAt1000 ? " " + MenuChoiceText(item, 1) + Format("(%lld)", ll(n))
                                          : " " + MenuChoiceText(item, 0);
            break;
        case MenuShow::Bit:
            text = " " + MenuChoiceText(item, bitIndex) +
                   ((n & MenuChoiceBit(bitIndex)) != 0 ? " ON" : " OFF");
            break;
        case MenuShow::OffOrNumber:
        case MenuShow::OffOrSeconds: {
            if (n == 0) {
                text = " " + MenuChoiceText(item, 0);
                dropUnit = true;
            } else {
                const bool code = kind.show == MenuShow::OffOrSeconds && n >= kFirstLongCode &&
                                  n <= kLastLongCode;
                text = Format(" %lld", ll(code ? MenuSecondsOfCode(n) : n));
            }
            break;
        }
        case MenuShow::Choice:
            // A list value may be any number the radio reports; only 0 to choiceCount - 1 has a
            // choice to show.
            if (n >= 0 && n < ChoiceCount(item)) {
                text = " " + MenuChoiceText(item, n);
                dropUnit = kind.unitDroppedWhenOff && n == 0;
            } else {
                text = kMenuUnknownChoice;
                dropUnit = kind.unitDroppedWhenOff;
            }
            break;
    }
    if (!dropUnit) {
        text += MenuItemUnit(item);
    }
    return text;
}

std::string MenuValueText(const MenuItem& item, int64_t wire) {
    MenuItem shown = item;
    shown.edited = 0;
    shown.value = static_cast<double>(wire);
    if (!IsBitSetItem(item)) {
        const std::string text = MenuSettingText(shown, 0);
        return text.empty() || text[0] != ' ' ? text : text.substr(1);
    }
    std::string text;
    for (int i = 0; i < MenuBitBoxCount(item); ++i) {
        if ((wire & MenuChoiceBit(i)) != 0) {
            text += (text.empty() ? "" : "/") + MenuChoiceText(item, i);
        }
    }
    return (text.empty() ? "none" : text) + " (" + NumberText(wire) + ")";
}

std::string MenuRowText(const MenuItem& item, int bitIndex) {
    std::string row = Format("%03u", item.number);
    std::string name = "  " + MenuItemName(item);
    PadTo(name, 21);
    std::string range = "  " + std::string(Field(item.rangeText));
    PadTo(range, 96);
    return row + name + range + MenuSettingText(item, bitIndex);
}

std::string MenuItemTitle(const MenuItem& item) {
    return Format("%03u  ", item.number) + MenuItemName(item);
}

std::string MenuChoiceTitle(const MenuItem& item) {
    std::string title = MenuItemTitle(item);
    if (item.hasUnit == 1) {
        title += "  (" + MenuItemUnit(item) + ")";
    }
    return title;
}

MenuEntryList MenuEntriesOf(const MenuItem& item) {
    MenuEntryList list;
    const MenuShow form = MenuKindOf(item.kind).show;
    const auto same = [](int64_t whole) { return whole; };
    WholeRange range;
    switch (form) {
        case MenuShow::Number:
            range = RangeOf(item, 1);
            AddRangeEntries(range, list, NumberText, same);
            break;
        case MenuShow::Negated:
            range = RangeOf(item, 1, true);
            AddRangeEntries(range, list, NumberText, [](int64_t whole) { return -whole; });
            break;
        case MenuShow::Tenths:
            range = RangeOf(item, 10);
            AddRangeEntries(
                range, list, [](int64_t whole) { return Format("%.1f", whole / 10.0); }, same);
            break;
        case MenuShow::Thousandths:
            range = RangeOf(item, 1000);
            AddRangeEntries(
                range, list, [](int64_t whole) { return Format("%.3f", whole / 1000.0); }, same);
            break;
        case MenuShow::FirstChoiceAt1000: {
            range = RangeOf(item, 1);
            list.entries.push_back({MenuChoiceText(item, 0), kFirstChoiceAt1000});
            const std::string second = MenuChoiceText(item, 1);
            AddRangeEntries(
                range, list,
                [&second](int64_t whole) { return second + "(" + NumberText(whole) + ")"; }, same);
            break;
        }
        case MenuShow::OffOrNumber:
            range = RangeOf(item, 1);
            list.entries.push_back({MenuChoiceText(item, 0), 0});
            AddRangeEntries(range, list, NumberText, same);
            break;
        case MenuShow::OffOrSeconds: {
            // 1 to 240 seconds by the item's step, then 270 to 690 by 30 (the codes 241-255).
            range = RangeOf(item, 1);
            list.entries.push_back({MenuChoiceText(item, 0), 0});
            WholeRange shortTimes = range;
            shortTimes.last = std::min(range.last, kLongestShortTime);
            shortTimes.usable = range.usable && shortTimes.first <= shortTimes.last;
            AddRangeEntries(shortTimes, list, NumberText, same);
            if (range.usable && !range.bad) {
                for (int64_t code = kFirstLongCode; code <= kLastLongCode; ++code) {
                    const int64_t seconds = MenuSecondsOfCode(code);
                    if (seconds >= range.first && seconds <= range.last) {
                        list.entries.push_back({NumberText(seconds), code});
                    }
                }
            }
            break;
        }
        case MenuShow::Choice:
            AddChoiceEntries(item, list);
            break;
        case MenuShow::Bit:
            break;
    }
    if (range.bad) {
        list.entries.clear();
        list.rangeUnavailable = true;
        return list;
    }
    const int64_t current = MenuWireValue(item, item.value);
    for (size_t i = 0; i < list.entries.size(); ++i) {
        if (list.entries[i].value == current) {
            list.current = static_cast<int>(i);
            break;
        }
    }
    return list;
}

void ChooseMenuValue(MenuItem& item, int64_t value) {
    if (MenuWireValue(item, static_cast<double>(value)) == MenuWireValue(item, item.value)) {
        item.edited = 0;
        item.editedValue = item.value;
        return;
    }
    item.edited = 1;
    item.editedValue = static_cast<double>(value);
}

int MenuBitBoxCount(const MenuItem& item) {
    return std::min(ChoiceCount(item), kMenuBitBoxes);
}

int64_t MenuBitsShown(const MenuItem& item) {
    return MenuValueToWhole(MenuShownValue(item));
}

void ChooseMenuBits(MenuItem& item, uint32_t tickedBoxes) {
    int64_t bits = MenuBitsShown(item);
    for (int box = 0; box < MenuBitBoxCount(item); ++box) {
        const int64_t bit = MenuChoiceBit(box);
        bits = (tickedBoxes & (1u << box)) != 0 ? bits | bit : bits & ~bit;
    }
    ChooseMenuValue(item, bits);
}

}  // namespace kestrel
