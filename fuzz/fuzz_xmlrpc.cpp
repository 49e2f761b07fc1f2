// Feeds arbitrary bytes to the XML-RPC server's request framing and every request body it
// takes, and the bytes themselves as a call document, to the flrig methods: each must end in a
// request, an error status or a fault, never a crash.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_radio.h"
#include "server/flrig_service.h"
#include "server/http_framing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    kestrel::FuzzShare share(bytes);
    kestrel::FlrigService service(share.context);

    std::string buffer(bytes);
    kestrel::HttpRequest request;
    int status = 0;
    while (kestrel::TakeHttpRequest(buffer, request, status) == kestrel::HttpTake::Request) {
        service.Call(request.body, 1);
    }
    service.Call(bytes, 1);
    return 0;
}
