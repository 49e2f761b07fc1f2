#pragma once

#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>

#include "menulist/menu_item.h"
#include "menulist/menu_values.h"

class QLabel;

namespace kestrel {

// The drop-down list of the setting dialog. It starts with no entry chosen, and a double click
// on an entry (in the open list, or the second click of a double click that closed it) asks for
// OK.
class ChoiceCombo : public QComboBox {
    Q_OBJECT
  public:
    // Makes the empty list.
    explicit ChoiceCombo(QWidget* parent);

  signals:
    // An entry was double-clicked; it is the current entry now.
    void EntryDoubleClicked();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    QElapsedTimer sinceChosen_;  // runs from the click that chose an entry in the open list
};

// The drop-down setting dialog of one menu item: every entry of its kind, the radio's current
// entry drawn in red, none chosen at opening. OK records the chosen entry as the item's edit;
// with nothing chosen it changes nothing.
class ChoiceDialog : public QDialog {
    Q_OBJECT
  public:
    // Makes the dialog for a copy of the item.
    ChoiceDialog(QWidget* parent, const MenuItem& item);

    // Returns the item with the choice recorded (after OK).
    const MenuItem& Item() const { return item_; }
    // Returns the drop-down list.
    ChoiceCombo* Combo() const { return combo_; }
    // Returns the entries the list shows.
    const MenuEntryList& Entries() const { return entries_; }

    void accept() override;

  private:
    MenuItem item_;
    MenuEntryList entries_;
    ChoiceCombo* combo_;
};

}  // namespace kestrel
