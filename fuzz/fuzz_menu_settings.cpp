// Feeds arbitrary bytes to the menu settings file reader. A read either succeeds with one
// accepted value per item, which saved and read again gives the same values, or fails with a
// reason and leaves the values it was given exactly as they were.
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "menulist/menu_catalogue.h"
#include "menulist/menu_settings_file.h"
#include "menulist/menu_values.h"

namespace {

const std::vector<kestrel::MenuItem>& Catalogue() {
    static const std::vector<kestrel::MenuItem> items = [] {
        std::vector<kestrel::MenuItem> all;
        for (int n = 1; n <= kestrel::kMenuCatalogueSize; ++n) {
            all.push_back(kestrel::CatalogueMenuItem(n));
        }
        return all;
    }();
    return items;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<int64_t> sentinel{-7};
    std::vector<int64_t> values = sentinel;
    std::string error;
    if (!kestrel::ParseMenuSettings(bytes, Catalogue(), values, error)) {
        if (values != sentinel || error.empty()) {
            std::abort();  // a failed read changed the values or gave no reason
        }
        return 0;
    }
    if (values.size() != Catalogue().size()) {
        std::abort();
    }
    std::vector<kestrel::MenuItem> items = Catalogue();
    for (size_t i = 0; i < items.size(); ++i) {
        if (!kestrel::MenuTakesValue(items[i], values[i])) {
            std::abort();  // a value outside its item got through
        }
        items[i].value = static_cast<double>(values[i]);
    }
    std::vector<int64_t> again;
    if (!kestrel::ParseMenuSettings(kestrel::FormatMenuSettings(items, "fuzz", std::tm{}),
                                    Catalogue(), again, error) ||
        again != values) {
        std::abort();  // what was read does not save and read back the same
    }
    return 0;
}
