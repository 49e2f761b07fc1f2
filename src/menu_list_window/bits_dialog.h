#pragma once

#include <QDialog>
#include <array>

#include "menulist/menu_item.h"
#include "menulist/menu_values.h"

class QCheckBox;

namespace kestrel {

// The check-box setting dialog of a bit-set menu item: one box per choice (at most twelve, in
// three columns of four), ticked by the bits of the shown value. OK records the ticked bits as
// the item's edit; bits that have no box keep their state.
class BitsDialog : public QDialog {
    Q_OBJECT
  public:
    // Makes the dialog for a copy of the item.
    BitsDialog(QWidget* parent, const MenuItem& item);

    // Returns the item with the choice recorded (after OK).
    const MenuItem& Item() const { return item_; }
    // Returns check box i (0-11).
    QCheckBox* Box(int i) const { return boxes_[static_cast<size_t>(i)]; }

    void accept() override;

  private:
    MenuItem item_;
    std::array<QCheckBox*, kMenuBitBoxes> boxes_{};
};

}  // namespace kestrel
