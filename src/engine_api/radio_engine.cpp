#include "engine_api/radio_engine.h"

#include <algorithm>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "engine/anl_send_thread.h"
#include "engine/engine_lifecycle.h"
#include "engine/engine_timers.h"
#include "menulist/menu_values.h"
#include "platform/main_window.h"
#include "platform/runtime.h"
#include "platform/workers.h"
#include "protocol/cat_catalogue.h"
#include "protocol/message_ring.h"
#include "protocol/requests.h"
#include "serial/serial_port.h"

namespace kestrel {

namespace {

// A listener's loop: hand the oldest queued notification to the listener.
constexpr uint32_t kMsgDeliver = 0x8112;
// How long one wait for a listener's call in progress lasts before it is checked again.
constexpr int64_t kRemoveWaitMs = 1000;

constexpr int kSetRowTx = FindSetRow("TX");
constexpr int kSetRowMd = FindSetRow("MD");
static_assert(kSetRowTx >= 0 && CatSetTable[kSetRowTx].length == 4, "TX carries one digit");
static_assert(kSetRowMd >= 0 && CatSetTable[kSetRowMd].length == 5, "MD: selector and mode");
static_assert(RadioEngine::kLastModeCode <= 15, "a mode is one hexadecimal digit");

// One listener: its queue of undelivered notifications and the state of its delivery.
struct Channel {
    Channel(RadioEngine::Listener deliver, size_t queueLimit)
        : listener(std::move(deliver)), limit(queueLimit) {}

    const RadioEngine::Listener listener;
    const size_t limit;
    std::mutex mutex;  // guards everything below but `dropped`
    std::deque<Notification> queue;
    bool removed = false;
    bool calling = false;
    std::shared_ptr<Signal> idle;  // set when the call in progress ends, while a removal waits
    std::atomic<uint64_t> dropped{0};
};

struct Registration {
    RadioEngine::ListenerId id = 0;
    std::shared_ptr<Channel> channel;
    std::shared_ptr<MessageLoop> loop;
};

std::mutex registryMutex;
std::vector<Registration> registry;
RadioEngine::ListenerId lastListenerId = 0;

void Deliver(Channel& channel) {
    Notification notification;
    {
        std::lock_guard lock(channel.mutex);
        if (channel.removed || channel.queue.empty()) {
            return;
        }
        notification = channel.queue.front();
        channel.queue.pop_front();
        channel.calling = true;
    }
    channel.listener(notification);
    std::lock_guard lock(channel.mutex);
    channel.calling = false;
    if (channel.idle) {
        channel.idle->Set();
    }
}

// The main-window tap while any listener is registered. The registry lock orders the fan-out, so
// every listener sees the posts in one order; no lock is held while a listener runs.
void FanOut(uint32_t id, uint64_t wParam, int64_t lParam) {
    std::lock_guard lock(registryMutex);
    for (const Registration& registration : registry) {
        Channel& channel = *registration.channel;
        {
            std::lock_guard channelLock(channel.mutex);
            if (channel.queue.size() >= channel.limit) {
                channel.dropped.fetch_add(1, std::memory_order_relaxed);
                continue;
            }
            channel.queue.push_back({id, wParam, lParam});
        }
        registration.loop->Post({kMsgDeliver, 0, 0});
    }
}

bool RequestThreadRuns() {
    const auto loop = WorkerLoop(Worker::AnlSend);
    return loop != nullptr && loop->IsRunning();
}

}  // namespace

bool RadioEngine::Start(const std::function<void(int stringId)>& showMessage,
                        const std::function<void()>& beforePortOpens) {
    return StartEngine(showMessage, beforePortOpens);
}

void RadioEngine::Stop() {
    StopEngine();
}

bool RadioEngine::DispatchTimer(int timerId) {
    return DispatchEngineTimer(timerId);
}

void RadioEngine::SetDeviceOverride(std::string path) {
    TheSerialPort().SetDeviceOverride(std::move(path));
}

void RadioEngine::SetDeviceFactory(SerialDeviceFactory factory) {
    TheSerialPort().SetDeviceFactory(std::move(factory));
}

int32_t RadioEngine::PortNumber() {
    return TheSerialPort().PortNumber();
}

bool RadioEngine::SetPortNumber(int32_t number) {
    return TheSerialPort().SetPortNumber(number);
}

int32_t RadioEngine::BaudRate() {
    return TheSerialPort().BaudRate();
}

bool RadioEngine::SetBaudRate(int32_t baud) {
    return TheSerialPort().SetBaudRate(baud);
}

bool RadioEngine::SaveSerialSettings() {
    return TheSerialPort().SaveSettings();
}

bool RadioEngine::ProbePort(size_t row) {
    return TheSerialPort().Probe(row);
}

bool RadioEngine::ClosePort() {
    return TheSerialPort().Close();
}

bool RadioEngine::Connect() {
    return PostSetConnected(true);
}

bool RadioEngine::Disconnect() {
    return PostSetConnected(false);
}

bool RadioEngine::IsConnected() {
    return GetField(Field::AI) == 1;
}

bool RadioEngine::Request(int number, int vfoB, int32_t value) {
    return PostRequest(number, vfoB, value);
}

bool RadioEngine::RequestMessage(uint32_t message, uint64_t wParam, int64_t lParam) {
    return PostRequestMessage(message, wParam, lParam);
}

bool RadioEngine::SetFrequency(Vfo vfo, uint64_t hertz) {
    // The store takes only what the radio can report; request 81 alone would let 3 kHz pass.
    const Field field = vfo == Vfo::A ? Field::FA : Field::FB;
    if (hertz < static_cast<uint64_t>(FieldMin(field)) ||
        hertz > static_cast<uint64_t>(FieldMax(field))) {
        return false;
    }
    return PostRequest(vfo == Vfo::A ? kReqFrequencyA : kReqFrequencyB, 0,
                       static_cast<int32_t>(hertz));
}

bool RadioEngine::SetMode(int modeCode, Vfo vfo) {
    if (!IsModeCode(modeCode)) {
        return false;
    }
    const char parameter[] = {vfo == Vfo::A ? '0' : '1', "0123456789ABCDEF"[modeCode]};
    return PostCommandInOrder(BuildCommand(CatSetTable[kSetRowMd], {parameter, 2}));
}

bool RadioEngine::SetTransmit(bool on) {
    return PostCommandInOrder(BuildCommand(CatSetTable[kSetRowTx], on ? "1" : "0"));
}

bool RadioEngine::SetSplit(bool on) {
    return PostRequest(on ? kReqTxSideB : kReqTxSideA, 0, 0);
}

bool RadioEngine::SetActiveVfo(Vfo vfo) {
    return PostRequest(vfo == Vfo::A ? kReqVfoA : kReqVfoB, 0, 0);
}

bool RadioEngine::MenuValueAccepted(int itemNumber, int64_t value) {
    MenuItem item;
    return GetMenuItem(itemNumber, &item) && MenuTakesValue(item, value);
}

bool RadioEngine::SetMenuValue(int itemNumber, int64_t value) {
    MenuItem item;
    if (!GetMenuItem(itemNumber, &item) || !MenuTakesValue(item, value)) {
        return false;
    }
    item.editedValue = static_cast<double>(value);
    item.edited = 1;
    return StoreMenuEdits(std::span<const MenuItem>(&item, 1)) == 1;
}

std::vector<MenuItem> RadioEngine::MenuItems() {
    std::vector<MenuItem> items;
    const int32_t count = GetMenuItemCount();
    items.reserve(static_cast<size_t>(count));
    for (int32_t number = 1; number <= count; ++number) {
        MenuItem item;
        if (GetMenuItem(number, &item)) {
            items.push_back(item);
        }
    }
    return items;
}

int RadioEngine::StoreMenuEdits(std::span<const MenuItem> items) {
    if (std::ranges::none_of(items, [](const MenuItem& item) { return item.edited == 1; })) {
        return 0;
    }
    // Checked before storing: a record marked for sending with nobody to send it would go out
    // with a later, unrelated menu write.
    if (!RequestThreadRuns()) {
        return -1;
    }
    int stored = 0;
    for (MenuItem item : items) {
        if (item.edited != 1) {
            continue;
        }
        item.value = item.editedValue;
        stored += PutMenuItem(static_cast<int32_t>(item.number), &item) ? 1 : 0;
    }
    if (stored > 0 && !PostRequest(kReqMenuWrite, 0, 0)) {
        return -1;
    }
    return stored;
}

RawResult RadioEngine::QueueRaw(std::string_view text) {
    if (text.empty()) {
        return RawResult::Empty;
    }
    if (text.size() >= MessageRing::kSlotSize) {
        return RawResult::TooLong;
    }
    // Checked before the push: a text left in the ring with nobody to wake the sender would go
    // out later behind somebody else's command.
    if (!RequestThreadRuns()) {
        return RawResult::NotRunning;
    }
    if (!CommandRing.Push(text)) {
        return RawResult::RingFull;
    }
    PostRequest(kReqWakeSender, 0, 0);
    return RawResult::Queued;
}

int32_t RadioEngine::Read(Field field) {
    return GetField(field);
}

std::string RadioEngine::ReadKeyerText(int memory) {
    char text[kKeyerTextSize] = {};
    return FetchKeyerText(memory, kKeyerTextSize, text) ? std::string(text) : std::string();
}

RadioEngine::ListenerId RadioEngine::AddListener(Listener listener, size_t queueLimit) {
    if (!listener || queueLimit == 0) {
        return 0;
    }
    auto channel = std::make_shared<Channel>(std::move(listener), queueLimit);
    auto loop = Rt().StartLoop("Notification listener", [channel](const Message& message) {
        if (message.id == kMsgDeliver) {
            Deliver(*channel);
        }
    });
    if (loop == nullptr) {
        return 0;
    }
    std::lock_guard lock(registryMutex);
    registry.push_back({++lastListenerId, std::move(channel), std::move(loop)});
    SetMainWindowTap(FanOut);
    return lastListenerId;
}

void RadioEngine::RemoveListener(ListenerId id) {
    Registration removed;
    {
        std::lock_guard lock(registryMutex);
        const auto found = std::find_if(registry.begin(), registry.end(),
                                        [id](const Registration& r) { return r.id == id; });
        if (found == registry.end()) {
            return;
        }
        removed = std::move(*found);
        registry.erase(found);
        if (registry.empty()) {
            SetMainWindowTap(nullptr);
        }
    }
    std::shared_ptr<Signal> idle;
    {
        Channel& channel = *removed.channel;
        std::lock_guard lock(channel.mutex);
        channel.removed = true;
        channel.queue.clear();
        // Called from inside its own call, the listener is past its last call once it returns.
        if (channel.calling && Rt().CurrentLoop() != removed.loop.get()) {
            idle = channel.idle = Rt().MakeSignal();
        }
    }
    while (idle && !Rt().Wait(*idle, kRemoveWaitMs)) {
    }
    removed.loop->Post({kMsgStop, 0, 0});
}

uint64_t RadioEngine::DroppedNotifications(ListenerId id) {
    std::lock_guard lock(registryMutex);
    for (const Registration& registration : registry) {
        if (registration.id == id) {
            return registration.channel->dropped.load(std::memory_order_relaxed);
        }
    }
    return 0;
}

}  // namespace kestrel
