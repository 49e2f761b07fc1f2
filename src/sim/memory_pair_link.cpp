#include "sim/memory_pair_link.h"

namespace kestrel {

MemoryPairLink::MemoryPairLink(MemorySerialPair& pair, LineSettings settings)
    : SimLink(settings, false), pair_(pair) {}

MemoryPairLink::~MemoryPairLink() {
    Shutdown();
}

SerialDevice* MemoryPairLink::OpenDevice() {
    if (unplugged_) {
        pair_.Replug();
        unplugged_ = false;
    }
    device_ = pair_.Open(MemorySerialPair::Side::B);
    return device_.get();
}

void MemoryPairLink::CloseDevice() {
    pair_.Unplug();
    unplugged_ = true;
    device_.reset();
}

}  // namespace kestrel
