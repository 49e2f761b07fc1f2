#include "panel/status_box.h"

#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>

#include "res/strings.h"

namespace kestrel {

void BuildStatusBox(QDialog& dialog, int stringId) {
    // Without a title bar the box needs a frame of its own to stand out from the panel.
    auto* outer = new QVBoxLayout(&dialog);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* frame = new QFrame(&dialog);
    frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    frame->setLineWidth(2);
    outer->addWidget(frame);
    auto* layout = new QVBoxLayout(frame);
    const std::string_view text = LoadString(stringId);
    auto* label =
        new QLabel(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), frame);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    dialog.resize(330, 130);
}

}  // namespace kestrel
