#include "options/serial_setting_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <algorithm>

#include "res/strings.h"
#include "window/panel_messages.h"

namespace kestrel {

namespace {

// String-table texts the windows show.
constexpr int kStringProbeFailed = 115;
constexpr int kStringAutoInfoStayedOn = 121;
constexpr int kStringLinkFailed = 122;

// The entries of the two lists: the ports and the speeds the program offers, in table order.
std::vector<SettingEntry> PortEntries() {
    std::vector<SettingEntry> entries;
    for (const PortTableRow& row : kPortTable) {
        entries.push_back({QString::fromLatin1(row.name.data(), row.name.size()), row.number});
    }
    return entries;
}

std::vector<SettingEntry> BaudEntries() {
    std::vector<SettingEntry> entries;
    for (const int32_t baud : kBaudRates) {
        entries.push_back({QString::number(baud), baud});
    }
    return entries;
}

// The list's rows: 15 pixels high, or the font's height where that is more.
constexpr int kRowPixels = 15;
// Where a row keeps the value it stands for.
constexpr int kValueRole = Qt::UserRole;

QString StringText(int id) {
    const std::string_view text = LoadString(id);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Draws each row as a space and its text, the setting in force in red.
class EntryDelegate : public QStyledItemDelegate {
  public:
    EntryDelegate(QObject* parent, std::function<int32_t()> current)
        : QStyledItemDelegate(parent), current_(std::move(current)) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem row = option;
        if (index.data(kValueRole).toInt() == current_()) {
            row.palette.setColor(QPalette::Text, Qt::red);
            row.palette.setColor(QPalette::HighlightedText, Qt::red);
        }
        QStyledItemDelegate::paint(painter, row, index);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(std::max(kRowPixels, size.height()));
        return size;
    }

  private:
    std::function<int32_t()> current_;
};

}  // namespace

SerialSettingWindow::SerialSettingWindow(QWidget* parent, MainWindow& window, uint32_t closeMessage,
                                         const QString& title, std::vector<SettingEntry> entries)
    : CChildDlg(parent, window, closeMessage, title),
      entries_(std::move(entries)),
      list_(new QComboBox(this)),
      ok_(new QPushButton(QStringLiteral("OK"), this)),
      cancel_(new QPushButton(QStringLiteral("CANCEL"), this)),
      boxes_([this](int id) { QMessageBox::warning(this, windowTitle(), StringText(id)); }) {
    list_->setItemDelegate(new EntryDelegate(list_, [this] { return CurrentValue(); }));
    connect(list_, &QComboBox::currentIndexChanged, this, [this](int index) {
        chosenValue = index < 0 ? 0 : list_->itemData(index, kValueRole).toInt();
    });
    connect(list_, &QComboBox::activated, this, [this](int) { ok_->setFocus(); });
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &SerialSettingWindow::accept);
    connect(cancel_, &QPushButton::clicked, this, &SerialSettingWindow::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto* layout = new QGridLayout(this);
    layout->addWidget(list_, 0, 0, 1, 2);
    layout->addLayout(buttons, 2, 0, 1, 2);
    layout->setColumnStretch(1, 1);
    setMinimumWidth(240);
}

void SerialSettingWindow::FillList() {
    list_->clear();
    for (const SettingEntry& entry : entries_) {
        QString text = QLatin1Char(' ') + entry.text;
        const QString note = EntryNote(entry.value);
        if (!note.isEmpty()) {
            text += QStringLiteral("  ") + note;
        }
        list_->addItem(text, QVariant(entry.value));
    }
    list_->setCurrentIndex(-1);
    list_->setPlaceholderText(QStringLiteral(" "));
    chosenValue = 0;
}

void SerialSettingWindow::Open() {
    busy_ = false;
    ok_->setEnabled(true);
    cancel_->setEnabled(true);
    FillList();
    CChildDlg::Open();
}

void SerialSettingWindow::accept() {
    if (busy_) {
        return;
    }
    busy_ = true;
    ok_->setEnabled(false);
    cancel_->setEnabled(false);
    // The engine reports from its own thread; the window takes the outcome on its own, if it
    // is still there.
    QPointer<SerialSettingWindow> self(this);
    const Start start = StartChange([self](RadioEngine::SettingChange outcome) {
        QMetaObject::invokeMethod(
            qApp,
            [self, outcome] {
                if (self) {
                    self->OnChangeDone(outcome);
                }
            },
            Qt::QueuedConnection);
    });
    if (start != Start::Started) {
        busy_ = false;
        ok_->setEnabled(true);
        cancel_->setEnabled(true);
    }
    if (start == Start::Close) {
        SendClosing();
    }
}

void SerialSettingWindow::OnChangeDone(RadioEngine::SettingChange outcome) {
    ChangeEnded(outcome);
    busy_ = false;
    ok_->setEnabled(true);
    cancel_->setEnabled(true);
    switch (outcome) {
        case RadioEngine::SettingChange::ProbeFailed:
            ShowBox(kStringProbeFailed);
            return;
        case RadioEngine::SettingChange::AutoInfoStayedOn:
            ShowBox(kStringAutoInfoStayedOn);
            break;
        case RadioEngine::SettingChange::Saved:
        case RadioEngine::SettingChange::Switched:
            break;
    }
    SendClosing();
}

void SerialSettingWindow::reject() {
    if (!busy_) {
        CChildDlg::reject();
    }
}

void SerialSettingWindow::closeEvent(QCloseEvent* event) {
    if (busy_) {
        event->ignore();
        return;
    }
    CChildDlg::closeEvent(event);
}

ComSelectWindow::ComSelectWindow(QWidget* parent, MainWindow& window, std::string byIdFolder)
    : SerialSettingWindow(parent, window, kMsgComSelectClosed, QStringLiteral("COM Select"),
                          PortEntries()),
      byIdFolder_(std::move(byIdFolder)),
      adapters_(new QComboBox(this)) {
    auto* grid = static_cast<QGridLayout*>(layout());
    grid->addWidget(new QLabel(QStringLiteral("Adapter"), this), 1, 0);
    grid->addWidget(adapters_, 1, 1);
    setMinimumWidth(520);
}

void ComSelectWindow::Open() {
    adapters_->clear();
    found_ = ListSerialAdapters(byIdFolder_);
    for (const SerialAdapter& adapter : found_) {
        adapters_->addItem(QString::fromStdString(adapter.name) + QStringLiteral("  (") +
                           QString::fromStdString(adapter.device) + QLatin1Char(')'));
    }
    adapters_->setCurrentIndex(-1);
    adapters_->setPlaceholderText(found_.empty() ? QStringLiteral("none plugged in")
                                                 : QStringLiteral(" "));
    adapters_->setEnabled(!found_.empty());
    linkedPort_ = 0;
    SerialSettingWindow::Open();
}

int32_t ComSelectWindow::CurrentValue() const {
    return RadioEngine::PortNumber();
}

QString ComSelectWindow::EntryNote(int32_t value) const {
    return QString::fromStdString(ComTargetText(value));
}

SerialSettingWindow::Start ComSelectWindow::StartChange(RadioEngine::SettingDone done) {
    const int adapter = adapters_->currentIndex();
    if (chosenValue == 0 && adapter < 0) {
        return Start::Close;
    }
    // An adapter goes to the chosen port, or to the one in use when no port was chosen.
    const int32_t number = chosenValue != 0 ? chosenValue : CurrentValue();
    bool relinked = false;
    if (adapter >= 0) {
        const std::string& path = found_[static_cast<size_t>(adapter)].path;
        const std::string before = ComLinkTarget(number);
        if (path != before) {
            if (!LinkComPort(number, path)) {
                ShowBox(kStringLinkFailed);
                return Start::Stay;
            }
            linkedPort_ = number;
            linkBefore_ = before;
            relinked = true;
        }
    }
    return RadioEngine::ChangePort(number, relinked, std::move(done)) ? Start::Started
                                                                      : Start::Close;
}

void ComSelectWindow::ChangeEnded(RadioEngine::SettingChange outcome) {
    // A port that cannot be used changes nothing, its link included.
    if (outcome == RadioEngine::SettingChange::ProbeFailed && linkedPort_ != 0) {
        if (linkBefore_.empty()) {
            UnlinkComPort(linkedPort_);
        } else {
            LinkComPort(linkedPort_, linkBefore_);
        }
    }
    linkedPort_ = 0;
}

BaudRateWindow::BaudRateWindow(QWidget* parent, MainWindow& window)
    : SerialSettingWindow(parent, window, kMsgBaudRateClosed, QStringLiteral("Baud rate"),
                          BaudEntries()) {}

int32_t BaudRateWindow::CurrentValue() const {
    return RadioEngine::BaudRate();
}

SerialSettingWindow::Start BaudRateWindow::StartChange(RadioEngine::SettingDone done) {
    return chosenValue != 0 && RadioEngine::ChangeBaudRate(chosenValue, std::move(done))
               ? Start::Started
               : Start::Close;
}

}  // namespace kestrel
