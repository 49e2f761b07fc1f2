#pragma once

#include <string_view>

namespace kestrel {

// Starts Anl_Recv_Thread in its worker slot: each 0x8102 analyses one answer taken from the
// AnswerRing, 0x810C handles a lost link, 0x8105 ends the thread.
bool StartAnalysisThread();
// Stops Anl_Recv_Thread with the common stop routine and empties its slot.
bool StopAnalysisThread();

// Analyses one answer as taken from the AnswerRing (without its ";"): disarms the link watchdog,
// stores what the answer carries, posts its notifications and arms the watchdog again.
void AnalyseAnswer(std::string_view answer);
// Takes the oldest AnswerRing entry and analyses it; an empty ring does nothing.
void AnalyseNextAnswer();
// Ends the connection after a lost link: stops the reads, clears AutoInfoSent and takes the
// transceiver's automatic information as reported off.
void AnalyseLinkLost();

}  // namespace kestrel
