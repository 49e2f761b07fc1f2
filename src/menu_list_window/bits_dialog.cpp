#include "menu_list_window/bits_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestrel {

namespace {

constexpr int kBoxesPerColumn = 4;

}  // namespace

BitsDialog::BitsDialog(QWidget* parent, const MenuItem& item) : QDialog(parent), item_(item) {
    setWindowTitle(QStringLiteral("MENU LIST SETTING"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QString::fromStdString(MenuItemTitle(item_)), this));
    auto* grid = new QGridLayout;
    const int64_t shown = MenuBitsShown(item_);
    for (int i = 0; i < kMenuBitBoxes; ++i) {
        auto* box = new QCheckBox(QString::fromStdString(MenuChoiceText(item_, i)), this);
        box->setChecked((shown & MenuChoiceBit(i)) != 0);
        box->setHidden(i >= MenuBitBoxCount(item_));
        grid->addWidget(box, i % kBoxesPerColumn, i / kBoxesPerColumn);
        boxes_[static_cast<size_t>(i)] = box;
    }
    layout->addLayout(grid);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("CANCEL"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &BitsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &BitsDialog::reject);
    layout->addWidget(buttons);
}

void BitsDialog::accept() {
    uint32_t ticked = 0;
    for (int i = 0; i < MenuBitBoxCount(item_); ++i) {
        if (boxes_[static_cast<size_t>(i)]->isChecked()) {
            ticked |= 1u << i;
        }
    }
    ChooseMenuBits(item_, ticked);
    QDialog::accept();
}

}  // namespace kestrel
