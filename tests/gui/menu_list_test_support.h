#pragma once

#include <QAbstractItemView>
#include <QPushButton>

#include "menu_list_window/choice_dialog.h"
#include "option_test_support.h"
#include "panel_test_fixture.h"

namespace kestrel::testing {

// Clicks the push button with the object name or, failing that, the text.
inline void ClickButton(QWidget* parent, const QString& name) {
    QPushButton* button = parent->findChild<QPushButton*>(name);
    for (QPushButton* b : parent->findChildren<QPushButton*>()) {
        button = button == nullptr && b->text() == name ? b : button;
    }
    ASSERT_NE(button, nullptr) << name.toStdString();
    ClickOn(button);
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

}  // namespace kestrel::testing
