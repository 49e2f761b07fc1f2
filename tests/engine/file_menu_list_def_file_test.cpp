#include "engine/file_menu_list_def_file.h"

#include <gtest/gtest.h>

#include "platform/virtual_runtime.h"
#include "platform/workers.h"
#include "protocol/radio_state.h"

namespace kestrel {
namespace {

class MenuLoaderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetRuntime(&runtime);
        ResetRadioState();
        SetMenuItemCount(1);
    }
    void TearDown() override {
        SetWorkerLoop(Worker::MenuLoader, nullptr);
        ResetRadioState();
        SetRuntime(nullptr);
    }
    VirtualRuntime runtime;
};

TEST_F(MenuLoaderTest, OnlyTheLoadMessageFillsAll118ItemsThenSetsStoreReadyAndEnds) {
    StartMenuListDefFile();
    auto loader = WorkerLoop(Worker::MenuLoader);
    ASSERT_NE(loader, nullptr);
    PostToWorker(Worker::MenuLoader, kMsgAnalyse);
    runtime.RunFor(50);
    EXPECT_EQ(StoreReady.load(), 0) << "nothing loads before the load message";
    EXPECT_EQ(GetMenuItemCount(), 1);
    EXPECT_TRUE(loader->IsRunning());

    bool readyBeforeFilled = false;
    runtime.StartTimer(
        1, [&] { readyBeforeFilled |= StoreReady.load() == 1 && GetMenuItemCount() != 118; });
    ASSERT_TRUE(PostToWorker(Worker::MenuLoader, kMsgLoadMenu));
    ASSERT_TRUE(runtime.RunUntil([] { return StoreReady.load() == 1; }, 100));
    EXPECT_FALSE(readyBeforeFilled);
    EXPECT_EQ(GetMenuItemCount(), 118);
    for (int n = 1; n <= 118; ++n) {
        MenuItem item;
        ASSERT_TRUE(GetMenuItem(n, &item));
        EXPECT_EQ(item.number, static_cast<uint32_t>(n));
    }
    runtime.RunFor(10);
    EXPECT_FALSE(loader->IsRunning());
}

}  // namespace
}  // namespace kestrel
