#pragma once

#include <QAbstractItemView>
#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <vector>

#include "menu_list_window/choice_dialog.h"
#include "panel_test_fixture.h"

namespace kestrel::testing {

// Presses and releases the left button on a widget at a point, or double-clicks there.
inline void ClickAt(QWidget* widget, QPoint at, bool twice = false) {
    const QPointF p(at);
    const QPointF global = widget->mapToGlobal(p);
    for (const QEvent::Type type :
         twice ? std::vector<QEvent::Type>{QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                           QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}
               : std::vector<QEvent::Type>{QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        const bool down = type != QEvent::MouseButtonRelease;
        QMouseEvent event(type, p, global, Qt::LeftButton, down ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    }
}

// Clicks the push button with the object name or, failing that, the text.
inline void ClickButton(QWidget* parent, const QString& name) {
    QPushButton* button = parent->findChild<QPushButton*>(name);
    for (QPushButton* b : parent->findChildren<QPushButton*>()) {
        button = button == nullptr && b->text() == name ? b : button;
    }
    ASSERT_NE(button, nullptr) << name.toStdString();
    ClickAt(button, button->rect().center());
}

// Opens a setting dialog's list and clicks the entry with the text (or double-clicks it).
inline void ClickEntry(ChoiceDialog* dialog, const QString& text, bool twice = false) {
    ChoiceCombo* combo = dialog->Combo();
    const int row = combo->findText(text);
    ASSERT_GE(row, 0) << text.toStdString();
    combo->showPopup();
    QAbstractItemView* view = combo->view();
    const QModelIndex index = view->model()->index(row, 0);
    view->scrollTo(index, QAbstractItemView::PositionAtCenter);
    ClickAt(view->viewport(), view->visualRect(index).center(), twice);
}

// Clicks an entry of the setting dialog that opens next, then its OK button.
inline void WhenChoiceDialog(const QString& entry) {
    WhenModal([entry](QWidget* w) {
        auto* dialog = qobject_cast<ChoiceDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        ClickEntry(dialog, entry);
        ClickButton(dialog, "OK");
    });
}

}  // namespace kestrel::testing
