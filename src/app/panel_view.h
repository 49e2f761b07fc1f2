#pragma once

#include <QWidget>
#include <functional>

namespace kestrel {

class PanelClient;
class PanelPainter;

// The panel picture on screen: it shows what the painter has drawn and hands the mouse input on
// it to the panel controller. The widget is 1024 x 320 device-independent pixels, so mouse
// positions are panel pixels at any screen scale.
class PanelView final : public QWidget {
    Q_OBJECT
  public:
    // Shows the painter's picture; client returns the controller (or nullptr) at each event.
    PanelView(const PanelPainter& painter, std::function<PanelClient*()> client,
              QWidget* parent = nullptr);

    // Sets what runs when the screen's device pixel ratio differs from the picture's (the window
    // then redraws the picture at the new ratio).
    void SetRatioChange(std::function<void(double ratio)> onChange);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    const PanelPainter& painter_;
    std::function<PanelClient*()> client_;
    std::function<void(double)> onRatioChange_;
};

}  // namespace kestrel
