#include "window/option_support.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

#include "engine_api/radio_engine.h"
#include "window/shortcut_key_events.h"

namespace kestrel {

bool OfferShortcut(QWidget* dialog, QKeyEvent* event) {
    QWidget* mainWindow = dialog->parentWidget();
    if (mainWindow == nullptr || ShortcutKeyOf(event->key()) == ShortcutKey::Other) {
        return false;
    }
    QKeyEvent offered(event->type(), event->key(), event->modifiers(), event->text(),
                      event->isAutoRepeat(), static_cast<quint16>(event->count()));
    // The main window returns a key its shortcuts take as it came (accepted) and ignores the
    // others; an event that starts ignored would read as refused either way.
    offered.accept();
    QCoreApplication::sendEvent(mainWindow, &offered);
    return offered.isAccepted();
}

void NoDefaultButton(QWidget* dialog) {
    for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
}

bool HandleEnter(QWidget* dialog, QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        return false;
    }
    auto* button = qobject_cast<QAbstractButton*>(dialog->focusWidget());
    if (button != nullptr && button->isEnabled() && !event->isAutoRepeat()) {
        button->click();
    }
    event->accept();
    return true;
}

bool QueueRawOrReport(QWidget* parent, std::string_view text) {
    const char* why = nullptr;
    switch (RadioEngine::QueueRaw(text)) {
        case RawResult::Queued:
        case RawResult::Empty:
            return true;
        case RawResult::RingFull:
            why = "The command was not sent: the send queue is full.\nPlease try again.";
            break;
        case RawResult::TooLong:
            why = "The command was not sent: it is too long.";
            break;
        case RawResult::NotRunning:
            why = "The command was not sent: the port is not running.";
            break;
    }
    QMessageBox::warning(parent, parent->windowTitle(), QString::fromLatin1(why));
    return false;
}

QFont ReadoutFont(int pixelSize) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixelSize);
    font.setWeight(QFont::Normal);
    return font;
}

OkCancelRow AddOkCancelRow(QWidget* dialog, QBoxLayout* layout) {
    auto* buttons = new QHBoxLayout;
    OkCancelRow row{new QPushButton(QStringLiteral("OK"), dialog),
                    new QPushButton(QStringLiteral("CANCEL"), dialog)};
    row.ok->setDefault(true);
    row.cancel->setAutoDefault(false);
    buttons->addWidget(row.ok);
    buttons->addWidget(row.cancel);
    layout->addLayout(buttons);
    return row;
}

}  // namespace kestrel
