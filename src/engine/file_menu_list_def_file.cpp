#include "engine/file_menu_list_def_file.h"

#include <memory>

#include "menulist/menu_catalogue.h"
#include "platform/runtime.h"
#include "platform/workers.h"
#include "protocol/radio_state.h"

namespace kestrel {

namespace {

// The loader gets a moment to start its loop before it is sent its one message.
constexpr int64_t kLoaderStartDelayMs = 10;

}  // namespace

void File_MenuListDefFile::OnMessage(const Message& message) {
    if (message.id != kMsgLoadMenu) {
        return;
    }
    LoadMenuCatalogue();
    // The loop ends on the stop message without handing it to the handler, so the loader marks
    // the store ready here, before it posts itself the stop.
    StoreReady.store(1, std::memory_order_relaxed);
    if (MessageLoop* self = Rt().CurrentLoop()) {
        self->Post({kMsgStop, 0, 0});
    }
}

void InitRadioState() {
    ResetRadioState();
    StartMenuListDefFile();
    Rt().SleepMs(kLoaderStartDelayMs);
    PostToWorker(Worker::MenuLoader, kMsgLoadMenu);
}

void StartMenuListDefFile() {
    auto loader = std::make_shared<File_MenuListDefFile>();
    SetWorkerLoop(Worker::MenuLoader,
                  Rt().StartLoop("File_MenuListDefFile",
                                 [loader](const Message& message) { loader->OnMessage(message); }));
}

}  // namespace kestrel
