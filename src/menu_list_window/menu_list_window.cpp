#include "menu_list_window/menu_list_window.h"

#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "engine_api/radio_engine.h"
#include "menu_list_window/bits_dialog.h"
#include "menu_list_window/choice_dialog.h"
#include "menulist/menu_settings_file.h"
#include "menulist/menu_values.h"
#include "window/option_support.h"
#include "window/panel_messages.h"

namespace kestrel {

namespace {

// The window's client area: the list where the layout puts it, the headings above it and the
// buttons along the top.
constexpr QRect kListRect(QPoint(21, 100), QPoint(990, 460));
constexpr int kHeadingTop = 80;
constexpr int kButtonTop = 20;
constexpr int kButtonWidth = 90;
constexpr int kButtonHeight = 26;
constexpr int kButtonGap = 10;
constexpr int kClientWidth = 1011;
constexpr int kClientHeight = 480;
constexpr int kFontPoints = 8;

// The character columns where the row fields start: number, name, range, setting.
constexpr int kNameColumn = 5;
constexpr int kRangeColumn = 26;
constexpr int kSettingColumn = 121;

constexpr char kProgram[] = "kestrel-panel";

// "Courier New" where it is installed, otherwise a font with the same metrics, so that the
// space-filled row fields line up.
QFont ListFont() {
    QString family = QStringLiteral("Courier New");
    if (!QFontDatabase::hasFamily(family)) {
        family = QFontDatabase::hasFamily(QStringLiteral("Liberation Mono"))
                     ? QStringLiteral("Liberation Mono")
                     : QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    }
    QFont font(family, kFontPoints);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

QString Padded(const std::string& text, int width) {
    return QString::fromStdString(text).leftJustified(width);
}

QString ComparisonText(const std::vector<MenuItem>& items,
                       const std::vector<MenuDifference>& differences) {
    if (differences.empty()) {
        return QStringLiteral("The radio has every setting of the file.");
    }
    QString text = QStringLiteral("%1 settings differ.\n\n").arg(differences.size());
    text += Padded("NO", 5) + Padded("USER NAME", 21) + Padded("FILE", 24) + "RADIO\n";
    for (const MenuDifference& d : differences) {
        const MenuItem& item = items[static_cast<size_t>(d.number - 1)];
        text += QStringLiteral("%1  ").arg(d.number, 3, 10, QLatin1Char('0')) +
                Padded(MenuItemName(item), 21) + Padded(MenuValueText(item, d.fileValue), 24) +
                QString::fromStdString(MenuValueText(item, d.radioValue)) + "\n";
    }
    return text;
}

void ShowComparison(QWidget* parent, const QString& text) {
    QDialog box(parent);
    box.setWindowTitle(QStringLiteral("Compare the menu settings"));
    auto* layout = new QVBoxLayout(&box);
    auto* view = new QPlainTextEdit(text, &box);
    view->setReadOnly(true);
    view->setFont(ListFont());
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(view);
    auto* close = new QPushButton(QStringLiteral("OK"), &box);
    QObject::connect(close, &QPushButton::clicked, &box, &QDialog::accept);
    layout->addWidget(close, 0, Qt::AlignRight);
    box.resize(720, 420);
    box.exec();
}

}  // namespace

MenuListWindow::MenuListWindow(QWidget* parent, MainWindow& window)
    : CChildDlg(parent, window, kMsgMenuListClosed, QStringLiteral("MENU LIST")),
      list_(new QListWidget(this)) {
    const QFont font = ListFont();
    setFont(font);
    setFixedSize(kClientWidth, kClientHeight);

    list_->setGeometry(kListRect);
    list_->setUniformItemSizes(true);
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->installEventFilter(this);
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0) {
            selectedRow = row;
        }
    });
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { EditSelected(); });

    // The headings stand over the columns of the rows.
    // Characters advance by a fraction of a pixel: measure a long run, not one character.
    const double charWidth =
        QFontMetricsF(font).horizontalAdvance(QString(kSettingColumn, QLatin1Char('0'))) /
        kSettingColumn;
    const int textLeft = kListRect.left() + list_->frameWidth() + 3;
    const std::pair<const char*, int> headings[] = {{"NO", 0},
                                                    {"USER NAME", kNameColumn},
                                                    {"SETTING RANGE", kRangeColumn},
                                                    {"SETTING", kSettingColumn}};
    for (const auto& [text, column] : headings) {
        auto* heading = new QLabel(QString::fromLatin1(text), this);
        heading->move(textLeft + static_cast<int>(column * charWidth + 0.5), kHeadingTop);
    }

    const std::tuple<const char*, const char*, std::function<void()>> buttons[] = {
        {"save", "Save...", [this] { SaveSettings(); }},
        {"load", "Load...", [this] { LoadSettings(); }},
        {"compare", "Compare...", [this] { CompareSettings(); }},
        {"ok", "OK", [this] { StoreAndClose(); }},
        {"cancel", "CANCEL", [this] { SendClosing(); }},
    };
    int left = kListRect.left();
    for (const auto& [name, text, action] : buttons) {
        auto* button = new QPushButton(QString::fromLatin1(text), this);
        button->setObjectName(QString::fromLatin1(name));
        button->setAutoDefault(false);
        button->setGeometry(left, kButtonTop, kButtonWidth, kButtonHeight);
        connect(button, &QPushButton::clicked, this, action);
        left += kButtonWidth + kButtonGap;
        if (std::string_view(name) == "compare") {
            // OK and CANCEL stand at the right end.
            left = kListRect.right() + 1 - 2 * kButtonWidth - kButtonGap;
        }
    }
}

void MenuListWindow::Open() {
    items_ = RadioEngine::MenuItems();
    itemCount = static_cast<int>(items_.size());
    bitIndex = kMenuBitIndexAtOpening;
    for (const MenuItem& item : items_) {
        if (IsBitSetItem(item)) {
            bitIndex = static_cast<int>(item.choiceCount) - 1;
        }
    }
    list_->clear();
    QStringList rows;
    rows.reserve(itemCount);
    for (const MenuItem& item : items_) {
        rows.append(QString::fromStdString(MenuRowText(item, bitIndex)));
    }
    list_->addItems(rows);
    const int row = std::clamp(selectedRow, 0, std::max(0, itemCount - 1));
    list_->setCurrentRow(row);
    CChildDlg::Open();
    list_->setFocus();
}

void MenuListWindow::SetFileChooser(FileChooser chooser) {
    chooser_ = std::move(chooser);
}

void MenuListWindow::SetReporter(Reporter reporter) {
    reporter_ = std::move(reporter);
}

void MenuListWindow::EditSelected() {
    const int row = list_->currentRow();
    if (row < 0 || row >= itemCount) {
        return;
    }
    MenuItem& item = items_[static_cast<size_t>(row)];
    if (IsBitSetItem(item)) {
        BitsDialog dialog(this, item);
        if (dialog.exec() != QDialog::Accepted) {
            return;
        }
        item = dialog.Item();
    } else {
        ChoiceDialog dialog(this, item);
        if (dialog.exec() != QDialog::Accepted) {
            return;
        }
        item = dialog.Item();
    }
    RebuildRow(row);
    list_->setCurrentRow(row);
}

void MenuListWindow::RebuildRow(int row) {
    if (QListWidgetItem* entry = list_->item(row)) {
        entry->setText(
            QString::fromStdString(MenuRowText(items_[static_cast<size_t>(row)], bitIndex)));
    }
}

void MenuListWindow::MoveBitIndex(int row, bool forward) {
    const MenuItem& item = items_[static_cast<size_t>(row)];
    const int last = static_cast<int>(item.choiceCount) - 1;
    if (forward) {
        bitIndex = bitIndex >= last ? 0 : bitIndex + 1;
    } else {
        bitIndex = bitIndex <= 0 || bitIndex > last ? last : bitIndex - 1;
    }
    RebuildRow(row);
}

bool MenuListWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != list_ || event->type() != QEvent::KeyPress) {
        return CChildDlg::eventFilter(watched, event);
    }
    auto* key = static_cast<QKeyEvent*>(event);
    const int row = list_->currentRow();
    switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            EditSelected();
            return true;
        case Qt::Key_Left:
        case Qt::Key_Right:
            // Only a bit-set row reacts; on every row the selection stays where it is.
            if (row >= 0 && row < itemCount && IsBitSetItem(items_[static_cast<size_t>(row)])) {
                MoveBitIndex(row, key->key() == Qt::Key_Right);
            }
            return true;
        default:
            return OfferShortcut(this, key);
    }
}

void MenuListWindow::keyPressEvent(QKeyEvent* event) {
    // Keys that the buttons leave come here; the shortcut keys see them first.
    if (!OfferShortcut(this, event)) {
        CChildDlg::keyPressEvent(event);
    }
}

void MenuListWindow::StoreAndClose() {
    if (RadioEngine::StoreMenuEdits(items_) < 0) {
        Tell(Report::Error, QStringLiteral("The changed settings cannot be sent now."));
        return;
    }
    SendClosing();
}

QString MenuListWindow::ChoosePath(FileAction action) {
    if (chooser_) {
        return chooser_(action);
    }
    const QString filter = QString::fromLatin1(kMenuSettingsFilter.data(),
                                               static_cast<qsizetype>(kMenuSettingsFilter.size()));
    if (action == FileAction::Save) {
        QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save the menu settings"),
                                                    lastFolder_, filter);
        if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty()) {
            path += QLatin1Char('.') + QString::fromLatin1(kMenuSettingsExtension.data(),
                                                           kMenuSettingsExtension.size());
        }
        return path;
    }
    return QFileDialog::getOpenFileName(this,
                                        action == FileAction::Load
                                            ? QStringLiteral("Load the menu settings")
                                            : QStringLiteral("Compare the menu settings"),
                                        lastFolder_, filter);
}

void MenuListWindow::Tell(Report kind, const QString& text) {
    if (reporter_) {
        reporter_(kind, text);
    } else if (kind == Report::Comparison) {
        ShowComparison(this, text);
    } else {
        QMessageBox::warning(this, windowTitle(), text);
    }
}

void MenuListWindow::SaveSettings() {
    const QString path = ChoosePath(FileAction::Save);
    if (path.isEmpty()) {
        return;
    }
    lastFolder_ = QFileInfo(path).absolutePath();
    if (!WriteMenuSettingsFile(path.toStdString(), items_, kProgram)) {
        Tell(Report::Error, QStringLiteral("The menu settings could not be saved to\n%1.")
                                .arg(QDir::toNativeSeparators(path)));
    }
}

bool MenuListWindow::ReadFile(FileAction action, std::vector<int64_t>& values) {
    const QString path = ChoosePath(action);
    if (path.isEmpty()) {
        return false;
    }
    lastFolder_ = QFileInfo(path).absolutePath();
    std::string error;
    if (!ReadMenuSettingsFile(path.toStdString(), items_, values, error)) {
        Tell(Report::Error,
             QStringLiteral("%1 was not read:\n%2.")
                 .arg(QDir::toNativeSeparators(path), QString::fromStdString(error)));
        return false;
    }
    return true;
}

void MenuListWindow::LoadSettings() {
    std::vector<int64_t> values;
    if (!ReadFile(FileAction::Load, values)) {
        return;
    }
    ApplyMenuSettings(items_, values);
    for (int row = 0; row < itemCount; ++row) {
        RebuildRow(row);
    }
}

void MenuListWindow::CompareSettings() {
    std::vector<int64_t> values;
    if (ReadFile(FileAction::Compare, values)) {
        Tell(Report::Comparison, ComparisonText(items_, CompareMenuSettings(items_, values)));
    }
}

}  // namespace kestrel
