#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "server/share_context.h"

namespace kestrel {

// The version of the XML-RPC interface the server offers (main.get_version): the one its
// clients were written against.
inline constexpr std::string_view kFlrigInterfaceVersion = "1.4.0";

// The XML-RPC methods of flrig's interface on the radio. Calls are parsed and answered by the
// xmlrpc-c library; a malformed call gets an XML-RPC fault.
class FlrigService {
  public:
    explicit FlrigService(ShareContext& context);
    ~FlrigService();
    FlrigService(const FlrigService&) = delete;
    FlrigService& operator=(const FlrigService&) = delete;

    // Answers one XML-RPC call document from a client with the response document.
    std::string Call(std::string_view callXml, uint64_t client);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace kestrel
