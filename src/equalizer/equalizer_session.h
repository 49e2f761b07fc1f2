#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "equalizer/equalizer_tables.h"

namespace kestrel {

// The timers of the equalizer window.
enum class EqualizerTimer : uint8_t {
    Poll,            // reads one of the nine values back while on line
    Repeat,          // repeats the step of a held up/down button
    Pace,            // spaces the commands of a burst apart on the line
    CancelFollowUp,  // takes the restore point from the store once a CANCEL has been answered
    PendingTimeout,  // gives up waiting for answers that do not come
};

// The periods of the timers, in milliseconds.
inline constexpr int kEqualizerPollMs = 50;
inline constexpr int kEqualizerRepeatMs = 200;
inline constexpr int kEqualizerPaceMs = 25;
inline constexpr int kEqualizerCancelFollowUpMs = 500;
inline constexpr int kEqualizerPendingTimeoutMs = 1000;

// The action buttons of the window, by the code their reports carry.
inline constexpr int kEqualizerCancel = 22;
inline constexpr int kEqualizerApply = 23;
inline constexpr int kEqualizerExit = 24;
inline constexpr int kEqualizerFileLoad = 25;
inline constexpr int kEqualizerFileSave = 26;

// What the window must do after a button went up.
enum class EqualizerAction : uint8_t { None, Close, LoadFile, SaveFile };

// What the equalizer session needs from its window: the line, timers and the screen.
class EqualizerHost {
  public:
    virtual ~EqualizerHost() = default;
    // Queues one command text for the line; false when it was not taken.
    virtual bool Send(std::string_view text) = 0;
    // Starts a timer, or starts it again from now, with the period in milliseconds.
    virtual void StartTimer(EqualizerTimer timer, int ms) = 0;
    // Stops a timer; a stopped timer is left alone.
    virtual void StopTimer(EqualizerTimer timer) = 0;
    // Shows the current values, their texts and their curves.
    virtual void Redraw() = 0;
};

// The behaviour of the parametric equalizer window without its widgets: the nine values of one
// set, kept in step with the transceiver while the link is up (sent at once, read back by
// polling) and only shown while it is down, the restore point of CANCEL and APPLI, and the
// count of answers still expected. It runs on the window's thread; the host's timers and the
// notifications the window receives call back into it.
class EqualizerSession {
  public:
    explicit EqualizerSession(EqualizerHost& host) : host_(host) {}
    EqualizerSession(const EqualizerSession&) = delete;
    EqualizerSession& operator=(const EqualizerSession&) = delete;

    // Starts a session for the set `mode` (0 normal, 1 processor): takes the command family from
    // the stored extended identification and the link state from automatic information, then
    // reads the values (from the radio when on line with the "PE" family, else from the store).
    void Open(int mode);
    // Ends the session: every timer stops and nothing more is sent.
    void Close();

    // Takes a notification the window receives: a menu value or an equalizer value was stored
    // (refresh from the store) or automatic information changed.
    void OnNotification(uint32_t id);
    // Runs the tick of one of the session's timers.
    void OnTimer(EqualizerTimer timer);
    // Handles a button going down (codes 4-26).
    void Press(int code);
    // Handles a button going up and says what the window must do next.
    EqualizerAction Release(int code);
    // Makes loaded values the restore point and returns to them as CANCEL does.
    void LoadValues(const EqualizerValues& values);

    // Returns the nine values shown.
    const EqualizerValues& Values() const { return values_; }
    // Returns the values CANCEL returns to.
    const EqualizerValues& RestorePoint() const { return restore_; }
    // Returns the band whose curve is drawn last (1-3).
    int ActiveBand() const { return activeBand_; }
    // Returns the set (0 normal, 1 processor).
    int Mode() const { return mode_; }
    // Reports whether changes go to the transceiver.
    bool Online() const { return online_; }
    // Returns the number of answers still expected; files and APPLI wait while it is not 0.
    int PendingAnswers() const { return pendingAnswers_; }

  private:
    bool Refresh();
    void SendSetAndRead(int valueIndex, int32_t value, bool counted);
    void Queue(std::vector<std::string> burst);
    void SendNextBurst();
    void ReadAllValues(int32_t family, bool counted);
    void ReturnToRestorePoint();
    void Step(int code);
    void ResumePolling();
    void GoOffline();
    void AnswerExpected();

    EqualizerHost& host_;
    int mode_ = 0;
    int32_t extendedId_ = 0;
    bool online_ = false;
    bool open_ = false;
    EqualizerValues values_{};
    EqualizerValues restore_{};
    int activeBand_ = 1;
    int pendingAnswers_ = 0;
    int pollIndex_ = 0;
    int lastButton_ = 0;
    bool cancelBusy_ = false;
    bool learningRestore_ = false;  // the answers being counted make the restore point
    bool pacing_ = false;
    std::deque<std::vector<std::string>> bursts_;
};

}  // namespace kestrel
