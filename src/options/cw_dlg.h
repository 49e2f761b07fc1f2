#pragma once

#include <QLineEdit>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "window/child_dlg.h"

class QKeyEvent;
class QPushButton;
class QTimer;

namespace kestrel {

// The keyer memory text box: at most 50 characters, each one the transceiver's keyer takes
// (space to "_" and "}"), never ";", which would end the write command early and let the rest
// of the text run as a command of its own. Anything else is refused, typed or pasted.
class KeyerTextEdit : public QLineEdit {
    Q_OBJECT
  public:
    // The most characters a keyer memory holds.
    static constexpr int kMaxLength = 50;

    // Makes the empty box.
    explicit KeyerTextEdit(QWidget* parent = nullptr);
};

// Reports whether a keyer memory may hold the character.
bool IsKeyerTextChar(QChar c);

// Returns the command that writes text into keyer memory 1-5 ("KM", the digit, the text, ";"),
// or nothing when the text is empty, longer than 50 characters or holds a character the memory
// does not take.
std::optional<std::string> KeyerWriteCommand(int memory, const QString& text);

// The CW window: reads the five keyer memories when it opens (locked until all five have come
// or 5 s have passed), plays message and text memories, and writes an edited text back.
class CCwDlg : public CChildDlg {
    Q_OBJECT
  public:
    // The keyer memories, 1 to 5.
    static constexpr int kMemories = 5;
    // How long the window waits for the five memories before it unlocks anyway (timer 26).
    static constexpr int kReadTimeoutMs = 5000;

    // Makes the hidden window.
    CCwDlg(QWidget* parent, MainWindow& window);

    // Opens the window locked and starts reading the memories from memory 1.
    void Open() override;
    // Stops the read time-out and hides the window.
    void Destroy() override;
    // Fills the text box of the memory a KM answer named; the fifth memory unlocks the window.
    void OnNotification(uint32_t id, uint64_t wParam, int64_t lParam) override;

    // Reports whether the window waits for the memories.
    bool Locked() const { return locked_; }
    // Returns the text box of memory 1-5.
    KeyerTextEdit& TextBox(int memory) { return *boxes_[static_cast<size_t>(memory - 1)]; }
    // Returns the write button of memory 1-5.
    QPushButton& WriteButton(int memory) { return *writes_[static_cast<size_t>(memory - 1)]; }
    // Returns play button 1-10: message memories 1-5, then text memories 1-5.
    QPushButton& PlayButton(int n) { return *plays_[static_cast<size_t>(n - 1)]; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void Fill(int memory);
    void Unlock();
    void SetLocked(bool locked);
    void Write(int memory);

    std::array<KeyerTextEdit*, kMemories> boxes_{};
    std::array<QPushButton*, kMemories> writes_{};
    std::array<QPushButton*, 2 * kMemories> plays_{};
    QTimer* readTimeout_;
    uint32_t answered_ = 0;  // bit n-1 set once memory n has been read since opening
    bool locked_ = true;
};

}  // namespace kestrel
