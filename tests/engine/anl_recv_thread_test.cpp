#include "engine_fixtures.h"
#include "protocol/requests.h"

namespace kestrel {
namespace {

class AnalysisThreadTest : public AnalysisTest {
  protected:
    void SetUp() override {
        AnalysisTest::SetUp();
        ASSERT_TRUE(StartAnalysisThread());
    }

    // Pushes an answer as the receive step does and announces it.
    void Deliver(const char* answer) {
        ASSERT_TRUE(AnswerRing.Push(answer));
        ASSERT_TRUE(PostToWorker(Worker::AnlRecv, kMsgAnalyse));
    }
};

// A message with an empty ring does nothing, not even re-arm the watchdog; each other message
// takes one answer, in order.
TEST_F(AnalysisThreadTest, TakesOneAnswerPerMessageInOrder) {
    ASSERT_TRUE(PostToWorker(Worker::AnlRecv, kMsgAnalyse));
    runtime.RunFor(0);
    EXPECT_TRUE(TakeWindowIds().empty());
    EXPECT_FALSE(window->HasTimer(17));
    EXPECT_EQ(LinkWatchdogArmed.load(), 0);
    Deliver("FA14250000");
    Deliver("LK1");
    Deliver("ZZ12");
    Deliver("FB07074000");
    runtime.RunFor(0);
    ExpectFields({{Field::FA, 14250000}, {Field::LK, 1}, {Field::FB, 7074000}});
    EXPECT_EQ(TakeWindowIds(), (Ids{0x8333, 0x830C, 0x8334}));
    EXPECT_EQ(AnswerRing.Count(), 0);
    EXPECT_TRUE(window->HasTimer(17));
}

TEST_F(AnalysisThreadTest, LinkLostStopsReadsTwiceZeroesMetersAndReportsAutoInfoOff) {
    Deliver("AI1");
    runtime.RunFor(0);
    TakeWindowIds();
    TakeSenderIds();
    AutoInfoSent.store(1);
    SetField(Field::RM0, 120);

    ASSERT_TRUE(PostToWorker(Worker::AnlRecv, kMsgLinkLost));
    runtime.RunFor(0);
    EXPECT_EQ(AutoInfoSent.load(), 0);
    ExpectFields({{Field::AI, 0}, {Field::RM0, 0}});
    EXPECT_EQ(GetMirror(Mirror::AI), 0);
    EXPECT_EQ(TakeSenderIds(), (Ids{kMsgStopReads, kMsgStopReads}));
    EXPECT_EQ(TakeWindowIds(), (Ids{0x8321, 0x8321, 0x8337, 0x833A}));

    // Stopped, the thread leaves its slot empty.
    EXPECT_TRUE(StopAnalysisThread());
    EXPECT_EQ(WorkerLoop(Worker::AnlRecv), nullptr);
    EXPECT_FALSE(PostToWorker(Worker::AnlRecv, kMsgAnalyse));
}

}  // namespace
}  // namespace kestrel
