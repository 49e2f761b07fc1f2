#include "sim/built_in_radio.h"

#include <stdlib.h>

#include <filesystem>
#include <system_error>

namespace kestrel {

namespace {

std::string MakeFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kestrel-radio-XXXXXX");
    return ::mkdtemp(pattern.data()) != nullptr ? pattern : std::string{};
}

}  // namespace

BuiltInRadio::BuiltInRadio(int baud, SimOptions options)
    : folder_(MakeFolder()),
      link_({baud, 2, false}, folder_.empty() ? "" : folder_ + "/radio", [](const std::string&) {}),
      radio_(link_, options) {
    link_.Attach(radio_);
}

BuiltInRadio::~BuiltInRadio() {
    radio_.Stop();
    link_.Stop();
    if (!folder_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
}

std::string BuiltInRadio::Start() {
    if (folder_.empty() || !link_.Start()) {
        return {};
    }
    radio_.Start();
    return folder_ + "/radio";
}

}  // namespace kestrel
