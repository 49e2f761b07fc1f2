#include "station_fixture.h"

#include <algorithm>
#include <iterator>

#include "engine/anl_send_thread.h"
#include "protocol/field_names.h"
#include "protocol/notifications.h"
#include "protocol/requests.h"

namespace kestrel {

void Station::SetUp() {
    const std::string failed = Start(
        RadioOptions(),
        [this](const Message& m) {
            if (m.id != kMsgTimer) {
                std::lock_guard lock(windowMutex_);
                windowEvents_.push_back({rt.NowMs(), m});
            }
            if (windowHook) {
                windowHook(m);
            }
        },
        [](int stringId) { ADD_FAILURE() << "startup string " << stringId; });
    ASSERT_EQ(failed, "");
}

bool Station::ConnectAndReadAll() {
    const int64_t from = rt.NowMs();
    return PostRequest(kReqConnect, 0, 0) && RunUntilOnLine(from);
}

int64_t Station::OnLineAt(int64_t sinceMs) const {
    // 0x8307 is also the CO answer's notification, so the end of the menu read is told by the
    // pair of notifications that follows its last read.
    int64_t lastReadMs = -1;
    for (const LineText& entry : commands.Since(sinceMs)) {
        if (entry.text == "EX118;") {
            lastReadMs = entry.atMs;
        }
    }
    if (lastReadMs < 0) {
        return -1;
    }
    const std::vector<WindowEvent> events = WindowSince(lastReadMs);
    for (size_t i = 0; i + 1 < events.size(); ++i) {
        if (events[i].message.id == kNotifyBG && events[i + 1].message.id == kNotifyCO) {
            return events[i + 1].atMs;
        }
    }
    return -1;
}

bool Station::RunUntilOneMore(uint32_t id, int64_t maxMs) {
    const size_t count = WindowOf(id).size() + 1;
    return rt.RunUntil([&] { return WindowOf(id).size() >= count; }, maxMs);
}

std::vector<WindowEvent> Station::WindowOf(uint32_t id, int64_t sinceMs) const {
    std::lock_guard lock(windowMutex_);
    std::vector<WindowEvent> found;
    std::copy_if(
        windowEvents_.begin(), windowEvents_.end(), std::back_inserter(found),
        [&](const WindowEvent& e) { return e.atMs >= sinceMs && (id == 0 || e.message.id == id); });
    return found;
}

std::string Station::Store(std::string_view name) {
    std::string value;
    if (!GetFieldByName(name, value)) {
        ADD_FAILURE() << "no store field " << name;
    }
    return value;
}

}  // namespace kestrel
