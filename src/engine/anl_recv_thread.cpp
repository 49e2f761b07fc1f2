#include "engine/anl_recv_thread.h"

#include "engine/anl_send_thread.h"
#include "engine/answer_parsers.h"
#include "platform/main_window.h"
#include "platform/message.h"
#include "platform/runtime.h"
#include "platform/workers.h"
#include "protocol/message_ring.h"
#include "protocol/notifications.h"
#include "protocol/store_flags.h"

namespace kestrel {

namespace {

static_assert(kAnswerBufferSize == MessageRing::kSlotSize, "an answer is taken whole");

void Analyse(const AnswerBuffer& buffer) {
    const char* answer = buffer.Text();
    if (answer[0] == 'E' && answer[1] == 'X') {
        uint32_t extra = 0;
        if (ParseMenuAnswer(buffer, &extra)) {
            PostToMainWindow(kNotifyEX);
            if (extra != 0) {
                PostToMainWindow(extra);
            }
        }
        return;
    }
    const int row = FindAnalysedRow(answer[0], answer[1]);
    if (row >= 0 && ParseAnswer(row, buffer)) {
        PostToMainWindow(CatAnswerTable[static_cast<size_t>(row)].notification);
    }
}

void HandleMessage(const Message& message) {
    switch (message.id) {
        case kMsgAnalyse:
            AnalyseNextAnswer();
            break;
        case kMsgLinkLost:
            AnalyseLinkLost();
            break;
        default:
            break;
    }
}

}  // namespace

bool StartAnalysisThread() {
    auto loop = Rt().StartLoop("Anl_Recv_Thread", HandleMessage);
    if (loop == nullptr) {
        return false;
    }
    SetWorkerLoop(Worker::AnlRecv, std::move(loop));
    return true;
}

bool StopAnalysisThread() {
    return StopWorkerInSlot(Worker::AnlRecv);
}

void AnalyseAnswer(std::string_view answer) {
    const AnswerBuffer buffer(answer);
    // The watchdog counts silence: whatever the answer holds, the transceiver did answer.
    DisarmLinkWatchdog();
    Analyse(buffer);
    ArmLinkWatchdog();
}

void AnalyseNextAnswer() {
    char buffer[kAnswerBufferSize] = {};
    const size_t length = AnswerRing.Take(buffer);
    if (length == 0) {
        return;
    }
    AnalyseAnswer({buffer, length});
}

void AnalyseLinkLost() {
    PostStopReads();
    AutoInfoSent.store(0, std::memory_order_relaxed);
    // Not an answer from the transceiver, so the link watchdog is left as it stands.
    AnalyseSyntheticAnswer("AI0");
}

}  // namespace kestrel
