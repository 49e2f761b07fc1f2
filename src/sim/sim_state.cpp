#include "sim/sim_state.h"

#include "menulist/menu_catalogue.h"
#include "menulist/menu_item.h"

namespace kestrel {

namespace {

// Menu items 73 to 83 hold the start frequency (kHz) of bands 00 to 10; band 11 is general
// coverage, which starts in the 31 m broadcast band.
constexpr int kFirstBandMenuItem = 73;
constexpr int kGeneralCoverageHz = 9600000;

}  // namespace

SimState InitialSimState() {
    SimState state;
    for (int number = 1; number <= kSimMenuItems; ++number) {
        state.menu[static_cast<size_t>(number - 1)] =
            static_cast<int>(MenuValueToWhole(CatalogueMenuItem(number).value));
    }
    for (int band = 0; band < kSimBands - 1; ++band) {
        state.bandStack[static_cast<size_t>(band)] =
            state.menu[static_cast<size_t>(kFirstBandMenuItem - 1 + band)] * 1000;
    }
    state.bandStack[kSimBands - 1] = kGeneralCoverageHz;
    // Channels start filled along the bands, 5 kHz apart, so that memory recall shows something.
    for (int channel = 0; channel < kSimMemoryChannels; ++channel) {
        const int band = channel % (kSimBands - 1);
        state.memories[static_cast<size_t>(channel)] = {
            state.bandStack[static_cast<size_t>(band)] + (channel / (kSimBands - 1)) * 5000,
            band < 3 ? 1 : 2};
    }
    return state;
}

}  // namespace kestrel
