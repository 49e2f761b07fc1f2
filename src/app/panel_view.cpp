#include "app/panel_view.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>

#include "app/panel_client.h"
#include "app/panel_painter.h"
#include "skin/skin_layout.h"

namespace kestrel {

PanelView::PanelView(const PanelPainter& painter, std::function<PanelClient*()> client,
                     QWidget* parent)
    : QWidget(parent), painter_(painter), client_(std::move(client)) {
    setFixedSize(kPanelWidth, kPanelHeight);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PanelView::SetRatioChange(std::function<void(double)> onChange) {
    onRatioChange_ = std::move(onChange);
}

// The picture carries its device pixel ratio, so drawing it at the origin maps each panel pixel
// to its device pixels; the painter is clipped to the exposed area.
void PanelView::paintEvent(QPaintEvent*) {
    const double ratio = devicePixelRatioF();
    if (onRatioChange_ && ratio != painter_.Scale()) {
        onRatioChange_(ratio);
    }
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), painter_.Picture());
}

// A double click counts as a second press, as the panel's keys treat it.
void PanelView::mousePressEvent(QMouseEvent* event) {
    if (PanelClient* client = client_()) {
        if (event->button() == Qt::LeftButton) {
            client->OnLeftButtonDown(event);
        } else if (event->button() == Qt::RightButton) {
            client->OnRightButtonDown(event);
        }
    }
}

void PanelView::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
}

void PanelView::mouseReleaseEvent(QMouseEvent* event) {
    if (PanelClient* client = client_()) {
        if (event->button() == Qt::LeftButton) {
            client->OnLeftButtonUp(event);
        } else if (event->button() == Qt::RightButton) {
            client->OnRightButtonUp(event);
        }
    }
}

void PanelView::mouseMoveEvent(QMouseEvent* event) {
    if (PanelClient* client = client_()) {
        client->OnMouseMove(event);
    }
}

void PanelView::wheelEvent(QWheelEvent* event) {
    if (PanelClient* client = client_()) {
        client->OnMouseWheel(event);
    }
}

}  // namespace kestrel
