#include "options/repeater_dlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "engine_api/radio_engine.h"
#include "options/color_static.h"
#include "protocol/notifications.h"
#include "protocol/requests.h"
#include "window/option_support.h"
#include "window/panel_messages.h"

namespace kestrel {

namespace {

const QString kNoName = QStringLiteral("?????");

// clang-format off
constexpr std::array<const char*, 3> kCtcssModeNames{"OFF", "Tone Squelch", "Tone Encoder"};
constexpr std::array<const char*, 3> kShiftNames{"Simplex", "Plus Shift", "Minus Shift"};
// clang-format on

// One button of the window: its read-out column and the request it makes for the VFO.
struct RepeaterButton {
    const char* text;
    int column;
    int request;
};

// clang-format off
constexpr std::array<RepeaterButton, 6> kRepeaterButtons{{
    {"OFF", 0, kReqToneOff},       // "CT" s "0"
    {"ENC", 0, kReqToneEncoder},   // "CT" s "2"
    {"SQL", 0, kReqToneSquelch},   // "CT" s "1"
    {"S",   2, kReqShiftSimplex},  // "OS" s "0"
    {"-",   2, kReqShiftMinus},    // "OS" s "2"
    {"+",   2, kReqShiftPlus},     // "OS" s "1"
}};
// clang-format on

constexpr std::array<const char*, 3> kHeadings{"CTCSS MODE", "CTCSS TONE FREQUENCY",
                                               "REPEATER SHIFT DIRECTION"};

// The read-outs' text height: large, yet "Tone Squelch" fits the read-out's width.
constexpr int kReadoutPixels = 30;
constexpr int kToneColumnWidth = 44;
constexpr int kToneItemHeight = 18;

QString NameOf(const std::array<const char*, 3>& names, int32_t value) {
    return value >= 0 && value < static_cast<int32_t>(names.size())
               ? QString::fromLatin1(names[static_cast<size_t>(value)])
               : kNoName;
}

// The list's text of a tone: two spaces, the frequency and, below 100 Hz, a space, so that the
// decimal points line up.
QString ToneItemText(int tone) {
    const int tenths = kToneTenthsHz[static_cast<size_t>(tone)];
    const QString hz = QStringLiteral("%1.%2").arg(tenths / 10).arg(tenths % 10);
    return QStringLiteral("  ") + hz + (tenths < 1000 ? QStringLiteral(" ") : QString());
}

// Draws a tone item: highlight or window colour, a focus frame, and the text in red for the
// highlighted (current) tone, else black, one pixel inside the item.
class ToneItemDelegate final : public QStyledItemDelegate {
  public:
    explicit ToneItemDelegate(ToneListBox* list) : QStyledItemDelegate(list), list_(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool selected = (option.state & QStyle::State_Selected) != 0;
        painter->fillRect(option.rect,
                          option.palette.color(selected ? QPalette::Highlight : QPalette::Base));
        if ((option.state & QStyle::State_HasFocus) != 0) {
            painter->setPen(QPen(option.palette.color(QPalette::Text), 1, Qt::DotLine));
            painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
        }
        painter->setPen(index.row() == list_->HighlightedItem() ? QColor(255, 0, 0)
                                                                : QColor(0, 0, 0));
        painter->drawText(option.rect.adjusted(1, 1, -1, -1), Qt::AlignLeft | Qt::AlignVCenter,
                          index.data().toString());
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
        return {kToneColumnWidth, kToneItemHeight};
    }

  private:
    ToneListBox* list_;
};

}  // namespace

QString ToneName(int32_t tone) {
    if (tone < 0 || tone >= static_cast<int32_t>(kToneTenthsHz.size())) {
        return kNoName;
    }
    const int tenths = kToneTenthsHz[static_cast<size_t>(tone)];
    return QStringLiteral("%1.%2 Hz").arg(tenths / 10).arg(tenths % 10);
}

QString CtcssModeName(int32_t mode) {
    return NameOf(kCtcssModeNames, mode);
}

QString ShiftName(int32_t shift) {
    return NameOf(kShiftNames, shift);
}

int ToneAtItem(int item) {
    constexpr int kColumns = static_cast<int>(kToneTenthsHz.size()) / kToneRows;
    return (item % kToneRows) * kColumns + item / kToneRows;
}

ToneListBox::ToneListBox(QWidget* parent) : QListWidget(parent) {
    setFlow(QListView::TopToBottom);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    setUniformItemSizes(true);
    setGridSize(QSize(kToneColumnWidth, kToneItemHeight));
    setItemDelegate(new ToneItemDelegate(this));
    // Five columns of ten fill the list exactly, so no scroll bar takes room from the rows.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (int item = 0; item < static_cast<int>(kToneTenthsHz.size()); ++item) {
        addItem(ToneItemText(ToneAtItem(item)));
    }
    // The frame, and a few pixels the view keeps free below the last row before it wraps.
    const int frame = 2 * frameWidth() + 4;
    const int columns = count() / kToneRows;
    setFixedSize(columns * kToneColumnWidth + frame, kToneRows * kToneItemHeight + frame);
}

void ToneListBox::SetHighlightedTone(int32_t tone) {
    highlighted_ = 0;
    for (int item = 0; item < count(); ++item) {
        if (ToneAtItem(item) == tone) {
            highlighted_ = item;
        }
    }
    viewport()->update();
}

CToneDlg::CToneDlg(QWidget* parent, int vfoB, int32_t currentTone)
    : QDialog(parent), list_(new ToneListBox(this)), vfoB_(vfoB) {
    setWindowTitle(QStringLiteral("CTCSS Tone Frequency (Hz)"));
    list_->SetHighlightedTone(currentTone);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    const auto [ok, cancel] = AddOkCancelRow(this, layout);
    connect(ok, &QPushButton::clicked, this, &CToneDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CToneDlg::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, &CToneDlg::accept);
}

void CToneDlg::accept() {
    const int item = list_->currentRow();
    if (item >= 0 && list_->currentItem()->isSelected()) {
        RadioEngine::Request(kReqToneNumber, vfoB_, ToneAtItem(item));
    }
    QDialog::accept();
}

CRepeaterDlg::CRepeaterDlg(QWidget* parent, MainWindow& window)
    : CChildDlg(parent, window, kMsgRepeaterClosed, QStringLiteral("Repeater")),
      vfoLabel_(new QLabel(this)) {
    auto* grid = new QGridLayout(this);
    vfoLabel_->setAlignment(Qt::AlignCenter);
    grid->addWidget(vfoLabel_, 0, 0, 1, 3);
    std::array<QHBoxLayout*, 3> rows{};
    for (int column = 0; column < 3; ++column) {
        grid->addWidget(
            new QLabel(QString::fromLatin1(kHeadings[static_cast<size_t>(column)]), this), 1,
            column, Qt::AlignCenter);
        auto* readout = new ColorStatic(this);
        readout->setFont(ReadoutFont(kReadoutPixels));
        readout->SetBackground(Qt::white);
        readout->setMinimumSize(210, 56);
        grid->addWidget(readout, 2, column);
        readouts_[static_cast<size_t>(column)] = readout;
        rows[static_cast<size_t>(column)] = new QHBoxLayout;
        grid->addLayout(rows[static_cast<size_t>(column)], 3, column);
    }
    for (const RepeaterButton& row : kRepeaterButtons) {
        auto* button = new QPushButton(QString::fromLatin1(row.text), this);
        const int request = row.request;
        connect(button, &QPushButton::clicked, this,
                [this, request] { RadioEngine::Request(request, vfoB_); });
        rows[static_cast<size_t>(row.column)]->addWidget(button);
    }
    auto* freq = new QPushButton(QStringLiteral("Freq"), this);
    connect(freq, &QPushButton::clicked, this, [this] { OpenToneWindow(); });
    rows[1]->addWidget(freq);
    NoDefaultButton(this);
}

void CRepeaterDlg::Open() {
    // The window addresses the VFO its label names, so that what it shows and what it sets
    // belong to the VFO the operator sees selected.
    vfoB_ = RadioEngine::Read(Field::VS) == 1 ? 1 : 0;
    vfoLabel_->setText(vfoB_ != 0 ? QStringLiteral("<VFO-B>") : QStringLiteral("<VFO-A>"));
    RadioEngine::Request(kReqInformation, vfoB_);
    const bool b = vfoB_ != 0;
    Show(kMode, RadioEngine::Read(b ? Field::CT1 : Field::CT0));
    Show(kTone, RadioEngine::Read(b ? Field::CN1 : Field::CN0));
    Show(kShift, RadioEngine::Read(b ? Field::OS1 : Field::OS0));
    CChildDlg::Open();
}

void CRepeaterDlg::OnNotification(uint32_t id, uint64_t, int64_t) {
    const bool b = vfoB_ != 0;
    if (id == kNotifyCT) {
        Show(kMode, RadioEngine::Read(b ? Field::CT1 : Field::CT0));
    } else if (id == kNotifyCN) {
        Show(kTone, RadioEngine::Read(b ? Field::CN1 : Field::CN0));
    } else if (id == kNotifyOS) {
        Show(kShift, RadioEngine::Read(b ? Field::OS1 : Field::OS0));
    } else if (id == (b ? kNotifyOI : kNotifyIF)) {
        // The answer to the opening read carries all three settings of the VFO.
        Show(kMode, RadioEngine::Read(b ? Field::OIp22 : Field::IFp22));
        Show(kTone, RadioEngine::Read(b ? Field::OIp23 : Field::IFp23));
        Show(kShift, RadioEngine::Read(b ? Field::OIp25 : Field::IFp25));
    }
}

void CRepeaterDlg::keyPressEvent(QKeyEvent* event) {
    if (!HandleEnter(this, event)) {
        CChildDlg::keyPressEvent(event);
    }
}

QString CRepeaterDlg::VfoLabel() const {
    return vfoLabel_->text();
}

void CRepeaterDlg::Show(Readout n, int32_t value) {
    shown_[n] = value;
    const QString text = n == kMode   ? CtcssModeName(value)
                         : n == kTone ? ToneName(value)
                                      : ShiftName(value);
    readouts_[n]->setText(text);
}

void CRepeaterDlg::OpenToneWindow() {
    CToneDlg tone(this, vfoB_, shown_[kTone]);
    tone.exec();
}

}  // namespace kestrel
