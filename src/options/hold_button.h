#pragma once

#include <QPushButton>

class QTimer;

namespace kestrel {

// A push button that acts while it is held: it reports the start and the end of a hold apart,
// and can repeat while held. The end of a hold is never lost: the left button or the space bar
// going up, the button losing the focus, being disabled or hidden, its window closing, going
// inactive or being blocked by a modal box, and Escape all end it. Enter gives a press and a
// release at once. Keyboard auto-repeat is ignored.
class HoldButton : public QPushButton {
    Q_OBJECT
  public:
    // Makes the button with its text and its code, the number its reports carry.
    HoldButton(const QString& text, int code, QWidget* parent = nullptr);

    // Returns the number the button's reports carry.
    int Code() const { return code_; }
    // Repeats every ms milliseconds while held (0, the default, repeats nothing).
    void SetRepeatInterval(int ms);
    // Reports whether the button is held.
    bool IsHeld() const { return held_; }
    // Reports whether the repeat runs.
    bool IsRepeating() const;
    // Stops the repeat of this hold; the button stays held, and the next hold repeats again.
    void StopRepeat();
    // Ends the hold, if any, as if the button were let go.
    void Release();

  signals:
    // The button went down.
    void HoldPressed(int code);
    // The button went up.
    void HoldReleased(int code);
    // The repeat interval passed while the button is held.
    void HoldRepeated(int code);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Press();

    int code_;
    bool held_ = false;
    bool mouseHold_ = false;
    int repeatMs_ = 0;
    QTimer* repeat_;
    QObject* watchedWindow_ = nullptr;
};

}  // namespace kestrel
