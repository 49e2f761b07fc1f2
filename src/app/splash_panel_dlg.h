#pragma once

#include <QImage>
#include <QWidget>

namespace kestrel {

// The splash picture that covers the panel for the first three seconds. It is disabled, so the
// panel under it takes no clicks meanwhile.
class CSplashPanelDlg final : public QWidget {
    Q_OBJECT
  public:
    // Covers the parent's client area; it shows nothing until it has a picture.
    explicit CSplashPanelDlg(QWidget* parent);

    // Sets the picture it shows, pure green transparent.
    void SetPicture(const QImage& picture);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage picture_;
};

}  // namespace kestrel
