#include "engine/file_menu_list_def_file.h"

#include "engine_fixtures.h"

namespace kestrel {
namespace {

class MenuLoaderTest : public EngineTest {
  protected:
    void TearDown() override {
        StopWorkerInSlot(Worker::MenuLoader);
        EngineTest::TearDown();
    }
};

TEST_F(MenuLoaderTest, OnlyTheLoadMessageFillsAll118ItemsThenSetsStoreReadyAndEnds) {
    SetMenuItemCount(1);
    StartMenuListDefFile();
    auto loader = WorkerLoop(Worker::MenuLoader);
    ASSERT_NE(loader, nullptr);
    PostToWorker(Worker::MenuLoader, kMsgAnalyse);
    runtime.RunFor(50);
    EXPECT_EQ(StoreReady.load(), 0) << "nothing loads before the load message";
    EXPECT_EQ(GetMenuItemCount(), 1);
    EXPECT_TRUE(loader->IsRunning());

    bool readyBeforeFilled = false;
    const TimerId probe = runtime.StartTimer(
        1, [&] { readyBeforeFilled |= StoreReady.load() == 1 && GetMenuItemCount() != 118; });
    ASSERT_TRUE(PostToWorker(Worker::MenuLoader, kMsgLoadMenu));
    const bool ready = runtime.RunUntil([] { return StoreReady.load() == 1; }, 100);
    runtime.CancelTimer(probe);  // it watches a local of this test
    ASSERT_TRUE(ready);
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
