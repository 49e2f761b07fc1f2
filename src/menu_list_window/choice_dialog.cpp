#include "menu_list_window/choice_dialog.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace kestrel {

namespace {

// The most entries the open list shows at once; longer lists scroll.
constexpr int kVisibleEntries = 20;

// Draws every entry as a space and its text: the radio's current entry in red, the others in
// black, over the highlight colour when chosen.
class EntryDelegate : public QStyledItemDelegate {
  public:
    EntryDelegate(QObject* parent, int current) : QStyledItemDelegate(parent), current_(current) {}

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->text = QLatin1Char(' ') + option->text;
        const QColor ink = index.row() == current_ ? Qt::red : Qt::black;
        option->palette.setColor(QPalette::Text, ink);
        option->palette.setColor(QPalette::HighlightedText, ink);
    }

  private:
    int current_;
};

}  // namespace

ChoiceCombo::ChoiceCombo(QWidget* parent) : QComboBox(parent) {
    // Styles that open the list over the combo box would show a long range screen-high and
    // ignore the visible count; a plain drop-down list keeps it.
    setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    setMaxVisibleItems(kVisibleEntries);
    view()->viewport()->installEventFilter(this);
    connect(this, &QComboBox::activated, this, [this] { sinceChosen_.start(); });
}

bool ChoiceCombo::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view()->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        const QModelIndex index =
            view()->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint());
        if (index.isValid()) {
            setCurrentIndex(index.row());
            hidePopup();
            emit EntryDoubleClicked();
            return true;
        }
    }
    return QComboBox::eventFilter(watched, event);
}

void ChoiceCombo::mousePressEvent(QMouseEvent* event) {
    // The first click of a double click chose the entry and closed the list; the second lands
    // on the closed list, and would open it again.
    if (sinceChosen_.isValid() && sinceChosen_.elapsed() < QApplication::doubleClickInterval() &&
        currentIndex() >= 0) {
        sinceChosen_.invalidate();
        event->accept();
        emit EntryDoubleClicked();
        return;
    }
    QComboBox::mousePressEvent(event);
}

void ChoiceCombo::mouseDoubleClickEvent(QMouseEvent* event) {
    if (currentIndex() >= 0) {
        event->accept();
        emit EntryDoubleClicked();
        return;
    }
    QComboBox::mouseDoubleClickEvent(event);
}

ChoiceDialog::ChoiceDialog(QWidget* parent, const MenuItem& item)
    : QDialog(parent), item_(item), entries_(MenuEntriesOf(item)), combo_(new ChoiceCombo(this)) {
    setWindowTitle(QStringLiteral("MENU LIST SETTING"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QString::fromStdString(MenuChoiceTitle(item_)), this));
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(entries_.entries.size()));
    for (const MenuEntry& entry : entries_.entries) {
        texts.append(QString::fromStdString(entry.text));
    }
    combo_->setItemDelegate(new EntryDelegate(combo_, entries_.current));
    combo_->addItems(texts);
    // A combo box chooses its first entry by itself; the dialog opens with none chosen, so that
    // OK without a choice changes nothing.
    combo_->setCurrentIndex(-1);
    combo_->setMinimumWidth(240);
    layout->addWidget(combo_);
    if (entries_.rangeUnavailable) {
        combo_->setEnabled(false);
        layout->addWidget(new QLabel(QStringLiteral("The setting range is unavailable."), this));
    }
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("CANCEL"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &ChoiceDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ChoiceDialog::reject);
    connect(combo_, &ChoiceCombo::EntryDoubleClicked, this, &ChoiceDialog::accept);
    layout->addWidget(buttons);
}

void ChoiceDialog::accept() {
    const int chosen = combo_->currentIndex();
    if (chosen >= 0 && static_cast<size_t>(chosen) < entries_.entries.size()) {
        ChooseMenuValue(item_, entries_.entries[static_cast<size_t>(chosen)].value);
    }
    QDialog::accept();
}

}  // namespace kestrel
