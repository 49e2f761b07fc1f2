#include "menulist/menu_values.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace kestrel {

namespace {

// How a kind's value is shown and listed.
enum class Form : uint8_t {
    Number,             // " %d" of n; entries: each number of the range
    Negated,            // " %d" of -n; entries: -minValue to -maxValue
    Tenths,             // " %.1f" of v x 0.1
    Thousandths,        // " %.3f" of v x 0.001
    FirstChoiceAt1000,  // 1000: the first choice, else "second choice(n)"
    Bit,                // one choice and ON or OFF by its bit
    OffOrNumber,        // 0: the first choice, else n
    OffOrSeconds,       // as OffOrNumber; the codes 241-255 stand for 270-690 seconds
    Choice,             // the choice n indexes
};

struct KindForm {
    Form form;
    bool unitDroppedWhenOff;  // no unit after the first choice, nor after " ????????????"
};

KindForm FormOf(uint32_t kind) {
    switch (kind) {
        case 0:
        case 4:
        case 11:
            return {Form::Number, false};
        case 8:
            return {Form::Negated, false};
        case 9:
            return {Form::Tenths, false};
        case 10:
            return {Form::Thousandths, false};
        case 13:
            return {Form::FirstChoiceAt1000, false};
        case 14:
            return {Form::Bit, false};
        case 16:
            return {Form::OffOrNumber, true};
        case 41:
            return {Form::OffOrSeconds, true};
        default:
            break;
    }
    if (kind >= 19 && kind <= 30) {
        return {Form::Number, false};
    }
    return {Form::Choice, kind >= 31 && kind <= 36};
}

// The code the "EX" command carries for 270 seconds; each code above it adds 30 seconds.
constexpr int64_t kFirstLongCode = 241;
constexpr int64_t kLastLongCode = 255;
constexpr int64_t kLongestShortTime = 240;
constexpr int64_t kLongStep = 30;
constexpr int64_t kFirstChoiceAt1000 = 1000;

int64_t SecondsOfCode(int64_t code) {
    return (code - kLongestShortTime) * kLongStep + kLongestShortTime;
}

// A field of the record read up to its NUL, never beyond the field.
template <size_t N>
std::string_view Field(const char (&field)[N]) {
    return std::string_view(field, strnlen(field, N));
}

template <typename... Args>
std::string Format(const char* format, Args... args) {
    char text[128];
    const int n = std::snprintf(text, sizeof text, format, args...);
    return n < 0 ? std::string() : std::string(text, std::min<size_t>(n, sizeof text - 1));
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

double MenuShownValue(const MenuItem& item) {
    return item.edited == 1 ? item.editedValue : item.value;
}

int64_t MenuWireValue(const MenuItem& item, double value) {
    const int64_t n = MenuValueToWhole(value);
    if (FormOf(item.kind).form == Form::OffOrSeconds && n > kLastLongCode &&
        n <= SecondsOfCode(kLastLongCode) && (n - kLongestShortTime) % kLongStep == 0) {
        return (n - kLongestShortTime) / kLongStep + kLongestShortTime;
    }
    return n;
}

bool MenuTakesValue(const MenuItem& item, int64_t wire) {
    switch (FormOf(item.kind).form) {
        case Form::Number:
        case Form::Negated:
        case Form::Tenths:
        case Form::Thousandths:
            return InLimits(item, wire);
        case Form::FirstChoiceAt1000:
            return wire == kFirstChoiceAt1000 || InLimits(item, wire);
        case Form::Bit:
            return (wire & ~kMenuBitField) == 0;
        case Form::OffOrNumber:
            return wire == 0 || InLimits(item, wire);
        case Form::OffOrSeconds:
            return wire >= 0 && wire <= kLastLongCode;
        case Form::Choice:
            return wire >= 0 && wire < ChoiceCount(item);
    }
    return false;
}

std::string MenuAcceptedRange(const MenuItem& item) {
    const int64_t a = MenuValueToWhole(item.minValue);
    const int64_t b = MenuValueToWhole(item.maxValue);
    const std::string limits = NumberText(std::min(a, b)) + " to " + NumberText(std::max(a, b));
    switch (FormOf(item.kind).form) {
        case Form::FirstChoiceAt1000:
            return "1000 or " + limits;
        case Form::Bit:
            return "0 to " + NumberText(kMenuBitField);
        case Form::OffOrNumber:
            return "0 or " + limits;
        case Form::OffOrSeconds:
            return "0 to " + NumberText(kLastLongCode);
        case Form::Choice:
            return ChoiceCount(item) == 0 ? "nothing" : "0 to " + NumberText(ChoiceCount(item) - 1);
        default:
            return limits;
    }
}

bool IsBitSetItem(const MenuItem& item) {
    return FormOf(item.kind).form == Form::Bit;
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
    const KindForm kind = FormOf(item.kind);
    const double v = MenuShownValue(item);
    const int64_t n = MenuValueToWhole(v);
    const auto ll = [](int64_t x) { return static_cast<long long>(x); };
    std::string text;
    bool dropUnit = false;
    switch (kind.form) {
        case Form::Number:
            text = Format(" %lld", ll(n));
            break;
        case Form::Negated:
            text = Format(" %lld", ll(-n));
            break;
        case Form::Tenths:
            text = Format(" %.1f", v * 0.1);
            break;
        case Form::Thousandths:
            text = Format(" %.3f", v * 0.001);
            break;
        case Form::FirstChoiceAt1000:
            text = n < kFirstChoiceAt1000 ? " " + MenuChoiceText(item, 1) + Format("(%lld)", ll(n))
                                          : " " + MenuChoiceText(item, 0);
            break;
        case Form::Bit:
            text = " " + MenuChoiceText(item, bitIndex) +
                   ((n & MenuChoiceBit(bitIndex)) != 0 ? " ON" : " OFF");
            break;
        case Form::OffOrNumber:
        case Form::OffOrSeconds: {
            if (n == 0) {
                text = " " + MenuChoiceText(item, 0);
                dropUnit = true;
            } else {
                const bool code =
                    kind.form == Form::OffOrSeconds && n >= kFirstLongCode && n <= kLastLongCode;
                text = Format(" %lld", ll(code ? SecondsOfCode(n) : n));
            }
            break;
        }
        case Form::Choice:
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
    const Form form = FormOf(item.kind).form;
    const auto same = [](int64_t whole) { return whole; };
    WholeRange range;
    switch (form) {
        case Form::Number:
            range = RangeOf(item, 1);
            AddRangeEntries(range, list, NumberText, same);
            break;
        case Form::Negated:
            range = RangeOf(item, 1, true);
            AddRangeEntries(range, list, NumberText, [](int64_t whole) { return -whole; });
            break;
        case Form::Tenths:
            range = RangeOf(item, 10);
            AddRangeEntries(
                range, list, [](int64_t whole) { return Format("%.1f", whole / 10.0); }, same);
            break;
        case Form::Thousandths:
            range = RangeOf(item, 1000);
            AddRangeEntries(
                range, list, [](int64_t whole) { return Format("%.3f", whole / 1000.0); }, same);
            break;
        case Form::FirstChoiceAt1000: {
            range = RangeOf(item, 1);
            list.entries.push_back({MenuChoiceText(item, 0), kFirstChoiceAt1000});
            const std::string second = MenuChoiceText(item, 1);
            AddRangeEntries(
                range, list,
                [&second](int64_t whole) { return second + "(" + NumberText(whole) + ")"; }, same);
            break;
        }
        case Form::OffOrNumber:
            range = RangeOf(item, 1);
            list.entries.push_back({MenuChoiceText(item, 0), 0});
            AddRangeEntries(range, list, NumberText, same);
            break;
        case Form::OffOrSeconds: {
            // 1 to 240 seconds by the item's step, then 270 to 690 by 30 (the codes 241-255).
            range = RangeOf(item, 1);
            list.entries.push_back({MenuChoiceText(item, 0), 0});
            WholeRange shortTimes = range;
            shortTimes.last = std::min(range.last, kLongestShortTime);
            shortTimes.usable = range.usable && shortTimes.first <= shortTimes.last;
            AddRangeEntries(shortTimes, list, NumberText, same);
            if (range.usable && !range.bad) {
                for (int64_t code = kFirstLongCode; code <= kLastLongCode; ++code) {
                    const int64_t seconds = SecondsOfCode(code);
                    if (seconds >= range.first && seconds <= range.last) {
                        list.entries.push_back({NumberText(seconds), code});
                    }
                }
            }
            break;
        }
        case Form::Choice:
            AddChoiceEntries(item, list);
            break;
        case Form::Bit:
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
