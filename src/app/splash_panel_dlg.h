#pragma once

#include <QImage>
#include <QWidget>

namespace kestrel {

// The splash picture that covers the panel for the first three seconds. It takes every click,
// wheel turn and key meanwhile, so that nothing reaches the panel under it.
class CSplashPanelDlg final : public QWidget {
    Q_OBJECT
  public:
    // Covers the parent's client area; it shows nothing until it has a picture.
    explicit CSplashPanelDlg(QWidget* parent);

    // Sets the picture it shows, pure green transparent.
    void SetPicture(const QImage& picture);

  protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage picture_;
};

}  // namespace kestrel
