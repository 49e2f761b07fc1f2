#include "equalizer/equalizer_session.h"

#include <utility>

#include "equalizer/equalizer_commands.h"
#include "protocol/notifications.h"
#include "protocol/radio_state.h"

namespace kestrel {

namespace {

bool AutoInfoOn() {
    return GetField(Field::AI) != 0;
}

}  // namespace

void EqualizerSession::Open(int mode) {
    Close();
    open_ = true;
    mode_ = mode;
    extendedId_ = GetField(Field::IDX);
    values_ = {};
    restore_ = {};
    cancelBusy_ = false;
    activeBand_ = 1;
    lastButton_ = 0;
    learningRestore_ = true;
    online_ = AutoInfoOn();
    if (online_ && extendedId_ != 0) {
        // The "PE" answers count down the reads; each answer makes its values the restore point.
        pendingAnswers_ = 0;
        ReadAllValues(extendedId_, true);
    } else {
        pendingAnswers_ = 1;
        Refresh();
    }
    if (online_) {
        pollIndex_ = 0;
        host_.StartTimer(EqualizerTimer::Poll, kEqualizerPollMs);
    }
    host_.Redraw();
}

void EqualizerSession::Close() {
    open_ = false;
    online_ = false;
    pendingAnswers_ = 0;
    bursts_.clear();
    pacing_ = false;
    for (const EqualizerTimer timer :
         {EqualizerTimer::Poll, EqualizerTimer::Repeat, EqualizerTimer::Pace,
          EqualizerTimer::CancelFollowUp, EqualizerTimer::PendingTimeout}) {
        host_.StopTimer(timer);
    }
}

bool EqualizerSession::Refresh() {
    bool changed = ReadEqualizerFromStore(mode_, extendedId_, values_);
    if (pendingAnswers_ > 0) {
        --pendingAnswers_;
        // While the opening reads come in, the radio's values are the restore point. After a
        // CANCEL or a load the restore point is the target, and the answers on the way (the
        // radio reports its own change as well as answering the read) must not overwrite it
        // with values only half restored.
        if (learningRestore_) {
            restore_ = values_;
        }
        changed = true;
        if (pendingAnswers_ > 0) {
            host_.StartTimer(EqualizerTimer::PendingTimeout, kEqualizerPendingTimeoutMs);
        } else {
            host_.StopTimer(EqualizerTimer::PendingTimeout);
            learningRestore_ = false;
        }
    }
    return changed;
}

void EqualizerSession::OnNotification(uint32_t id) {
    if (!open_) {
        return;
    }
    if (id == kNotifyEX || id == kNotifyPE) {
        if (online_ && Refresh() && pendingAnswers_ == 0) {
            host_.Redraw();
        }
    } else if (id == kNotifyAI) {
        // Only the loss of the link changes the window. Coming back on line is the connection's
        // business: the window stays off line until it is opened again.
        if (!AutoInfoOn() && online_) {
            GoOffline();
        }
    }
}

void EqualizerSession::GoOffline() {
    online_ = false;
    pendingAnswers_ = 0;
    bursts_.clear();
    host_.StopTimer(EqualizerTimer::Poll);
    host_.StopTimer(EqualizerTimer::PendingTimeout);
}

void EqualizerSession::OnTimer(EqualizerTimer timer) {
    if (!open_) {
        host_.StopTimer(timer);
        return;
    }
    switch (timer) {
        case EqualizerTimer::Poll:
            if (pollIndex_ >= kEqualizerValueCount) {
                pollIndex_ = 0;
            }
            // A poll waits behind commands still to go out rather than piling up behind them.
            if (bursts_.empty() && !pacing_) {
                Queue({std::string(EqualizerReadCommand(mode_, extendedId_, pollIndex_).Text())});
                ++pollIndex_;
            }
            break;
        case EqualizerTimer::Repeat:
            Step(lastButton_);
            break;
        case EqualizerTimer::Pace:
            SendNextBurst();
            break;
        case EqualizerTimer::CancelFollowUp:
            host_.StopTimer(EqualizerTimer::CancelFollowUp);
            if (online_) {
                pendingAnswers_ = 1;
                if (Refresh() && pendingAnswers_ == 0) {
                    host_.Redraw();
                }
            }
            ResumePolling();
            cancelBusy_ = false;
            break;
        case EqualizerTimer::PendingTimeout:
            // A refused set or a lost answer would otherwise hold APPLI, the files and the
            // curves for ever: take what the store has and ask for every value once more.
            host_.StopTimer(EqualizerTimer::PendingTimeout);
            if (pendingAnswers_ > 0) {
                pendingAnswers_ = 1;
                Refresh();
                host_.Redraw();
                if (online_) {
                    ReadAllValues(extendedId_, false);
                }
            }
            break;
    }
}

void EqualizerSession::Press(int code) {
    if (!open_) {
        return;
    }
    host_.StopTimer(EqualizerTimer::Poll);
    host_.StopTimer(EqualizerTimer::Repeat);
    if (code >= kEqualizerFirstStepButton && code <= kEqualizerLastStepButton) {
        lastButton_ = code;
        Step(code);
        host_.StartTimer(EqualizerTimer::Repeat, kEqualizerRepeatMs);
    }
}

EqualizerAction EqualizerSession::Release(int code) {
    if (!open_) {
        return EqualizerAction::None;
    }
    host_.StopTimer(EqualizerTimer::Repeat);
    switch (code) {
        case kEqualizerCancel:
            if (cancelBusy_ || pendingAnswers_ > 0) {
                ResumePolling();
                return EqualizerAction::None;
            }
            ReturnToRestorePoint();
            host_.StartTimer(EqualizerTimer::CancelFollowUp, kEqualizerCancelFollowUpMs);
            cancelBusy_ = true;
            return EqualizerAction::None;
        case kEqualizerApply:
            if (pendingAnswers_ == 0) {
                restore_ = values_;
            }
            break;
        case kEqualizerExit:
            return EqualizerAction::Close;
        case kEqualizerFileLoad:
        case kEqualizerFileSave:
            ResumePolling();
            if (pendingAnswers_ > 0) {
                return EqualizerAction::None;
            }
            return code == kEqualizerFileLoad ? EqualizerAction::LoadFile
                                              : EqualizerAction::SaveFile;
        default:
            break;
    }
    ResumePolling();
    return EqualizerAction::None;
}

void EqualizerSession::LoadValues(const EqualizerValues& values) {
    if (!open_ || !EqualizerValuesValid(values)) {
        return;
    }
    restore_ = values;
    ReturnToRestorePoint();
    ResumePolling();
}

void EqualizerSession::ReturnToRestorePoint() {
    learningRestore_ = false;
    bool changed = false;
    for (int i = 0; i < kEqualizerValueCount; ++i) {
        if (values_[i] == restore_[i]) {
            continue;
        }
        changed = true;
        if (online_) {
            SendSetAndRead(i, restore_[i], true);
        } else {
            values_[i] = restore_[i];
        }
    }
    if (!changed) {
        return;
    }
    if (!online_) {
        host_.Redraw();
    } else if (extendedId_ != 0) {
        // The menu records of the set follow the "PE" values; read them as well.
        ReadAllValues(0, false);
    }
}

void EqualizerSession::Step(int code) {
    const std::optional<EqualizerStep> step = StepOfButton(values_, code);
    if (!step) {
        return;
    }
    activeBand_ = step->band;
    if (online_) {
        // The display follows once the transceiver's answer is stored.
        SendSetAndRead(step->valueIndex, step->value, false);
    } else {
        values_[step->valueIndex] = step->value;
        host_.Redraw();
    }
}

void EqualizerSession::SendSetAndRead(int valueIndex, int32_t value, bool counted) {
    if (MenuItem item; extendedId_ == 0 && !FindEqualizerItem(mode_, valueIndex, &item)) {
        return;
    }
    const CatCommand set = EqualizerSetCommand(mode_, extendedId_, valueIndex, value);
    const CatCommand read = EqualizerReadCommand(mode_, extendedId_, valueIndex);
    if (set.length == 0 || read.length == 0) {
        return;
    }
    Queue({std::string(set.Text()), std::string(read.Text())});
    if (counted) {
        AnswerExpected();
    }
}

void EqualizerSession::ReadAllValues(int32_t family, bool counted) {
    for (int i = 0; i < kEqualizerValueCount; ++i) {
        const CatCommand read = EqualizerReadCommand(mode_, family, i);
        if (read.length == 0) {
            continue;
        }
        Queue({std::string(read.Text())});
        if (counted) {
            AnswerExpected();
        }
    }
}

void EqualizerSession::AnswerExpected() {
    ++pendingAnswers_;
    host_.StartTimer(EqualizerTimer::PendingTimeout, kEqualizerPendingTimeoutMs);
}

void EqualizerSession::Queue(std::vector<std::string> burst) {
    bursts_.push_back(std::move(burst));
    if (!pacing_) {
        SendNextBurst();
    }
}

void EqualizerSession::SendNextBurst() {
    if (bursts_.empty()) {
        pacing_ = false;
        host_.StopTimer(EqualizerTimer::Pace);
        return;
    }
    for (const std::string& text : bursts_.front()) {
        host_.Send(text);
    }
    bursts_.pop_front();
    // The next burst goes out one pace later, so the line and the command queue keep up.
    if (!pacing_) {
        pacing_ = true;
        host_.StartTimer(EqualizerTimer::Pace, kEqualizerPaceMs);
    }
}

void EqualizerSession::ResumePolling() {
    if (online_) {
        host_.StartTimer(EqualizerTimer::Poll, kEqualizerPollMs);
    }
}

}  // namespace kestrel
