#pragma once

#include <QColor>
#include <QLabel>

namespace kestrel {

// A sunken, centred text label with colours of its own: the lamps and read-outs of the option
// windows.
class ColorStatic : public QLabel {
    Q_OBJECT
  public:
    // Makes the label with a button-face background and black text.
    explicit ColorStatic(QWidget* parent = nullptr);

    // Fills the label's background with a colour.
    void SetBackground(const QColor& colour);
    // Draws the label's text in a colour.
    void SetTextColour(const QColor& colour);
    // Returns the background colour.
    QColor Background() const { return background_; }
    // Returns the text colour.
    QColor TextColour() const { return text_; }

  private:
    void ApplyColours();

    QColor background_;
    QColor text_;
};

}  // namespace kestrel
