// The serial port's settings as the COM Select and Baud rate windows change them.
#include <algorithm>
#include <utility>

#include "engine_api/radio_engine.h"
#include "platform/runtime.h"

namespace kestrel {

namespace {

// How long to wait for the transceiver to switch automatic information off: 29 looks at the
// flag, 100 ms apart.
constexpr int64_t kAutoInfoWaitMs = 100;
constexpr int kAutoInfoWaits = 29;

using Store = std::function<void()>;

// Stores the new setting before the port closes, so that a command still queued can only open
// the new port, never the old one again; then saves the settings file and closes the port.
void Finish(const Store& store, const RadioEngine::SettingDone& done, bool autoInfoOff) {
    store();
    RadioEngine::SaveSerialSettings();
    RadioEngine::ClosePort();
    if (done) {
        done(autoInfoOff ? RadioEngine::SettingChange::Switched
                         : RadioEngine::SettingChange::AutoInfoStayedOn);
    }
}

// Looks at the automatic-information flag once per wait, on a runtime timer, so that no thread
// is held while the transceiver answers; after the last wait the port closes all the same.
void WaitForAutoInfoOff(Store store, RadioEngine::SettingDone done, int waits) {
    if (!RadioEngine::IsConnected() || waits >= kAutoInfoWaits) {
        Finish(store, done, !RadioEngine::IsConnected());
        return;
    }
    Rt().CallAfter(kAutoInfoWaitMs, [store = std::move(store), done = std::move(done), waits] {
        WaitForAutoInfoOff(store, done, waits + 1);
    });
}

// Runs a change: only storing and saving when the setting stays, otherwise the transceiver is
// taken off the link first and the port closed.
void Change(bool changed, Store store, RadioEngine::SettingDone done) {
    if (!changed) {
        store();
        RadioEngine::SaveSerialSettings();
        if (done) {
            done(RadioEngine::SettingChange::Saved);
        }
        return;
    }
    if (RadioEngine::IsConnected()) {
        RadioEngine::Disconnect();
    }
    WaitForAutoInfoOff(std::move(store), std::move(done), 0);
}

}  // namespace

bool RadioEngine::ChangePort(int32_t number, bool relinked, SettingDone done) {
    const auto row = std::ranges::find(kPortTable, number, &PortTableRow::number);
    if (row == kPortTable.end()) {
        return false;
    }
    const bool changed = relinked || number != PortNumber();
    if (changed && !ProbePort(static_cast<size_t>(row - kPortTable.begin()))) {
        if (done) {
            done(SettingChange::ProbeFailed);
        }
        return true;
    }
    Change(
        changed, [number] { SetPortNumber(number); }, std::move(done));
    return true;
}

bool RadioEngine::ChangeBaudRate(int32_t baud, SettingDone done) {
    if (std::ranges::find(kBaudRates, baud) == kBaudRates.end()) {
        return false;
    }
    Change(
        baud != BaudRate(), [baud] { SetBaudRate(baud); }, std::move(done));
    return true;
}

}  // namespace kestrel
