#include "options/equalizer_window.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>
#include <QVBoxLayout>
#include <ctime>

#include "equalizer/equalizer_curves.h"
#include "equalizer/pef_file.h"
#include "options/color_static.h"
#include "options/hold_button.h"
#include "platform/paths.h"
#include "res/strings.h"
#include "window/panel_messages.h"

namespace kestrel {

namespace {

// String-table texts the window shows.
constexpr int kStringInputRange = 104;
constexpr int kStringFileSaveFailed = 120;

// The graph's place in its view: room for the level labels on the left and the frequency
// labels below.
constexpr int kGraphLeft = 40;
constexpr int kGraphTop = 8;
constexpr int kGraphRight = 24;
constexpr int kGraphBottom = 24;
// The level axis: a label every 2 dB from +20 to -20.
constexpr int kLevelLabelTop = 20;
constexpr int kLevelLabelStep = 2;
// Dots of the grid lines: this many pixels on, then as many off.
constexpr int kDotLength = 2;

// The up/down buttons of a band's three values and the parameters they step, in the order the
// window shows them.
struct ValueRow {
    EqParam param;
    const char* label;
    int firstUpCode;  // band 1's up button; down is one more, each band two further on
};
// clang-format off
constexpr std::array<ValueRow, 3> kValueRows{{
    {EqParam::Frequency, "FREQ",  4},
    {EqParam::Level,     "LEVEL", 10},
    {EqParam::Bandwidth, "BWTH",  16},
}};
// clang-format on

// The action buttons, top to bottom.
struct ActionButton {
    int code;
    const char* text;
};
// clang-format off
constexpr std::array<ActionButton, 5> kActionButtons{{
    {kEqualizerExit,     "EXIT"},
    {kEqualizerCancel,   "CANCEL"},
    {kEqualizerApply,    "APPLI"},
    {kEqualizerFileSave, "FILE SAVE"},
    {kEqualizerFileLoad, "FILE LOAD"},
}};
// clang-format on

QColor ToColour(Rgb rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

QColor BandColour(int band) {
    return ToColour(CurveColour(static_cast<EqualizerCurve>(band)));
}

QString StringText(int id) {
    const std::string_view text = LoadString(id);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString FromStd(const std::string& text) {
    return QString::fromStdString(text);
}

// Sets a pixel of the graph; everything outside is cut away.
void Plot(QImage& image, int x, int y, QRgb colour) {
    if (x >= 0 && y >= 0 && x < image.width() && y < image.height()) {
        image.setPixel(x, y, colour);
    }
}

void DrawGrid(QImage& image) {
    const QRgb orange = ToColour(kGridColour).rgb();
    for (const int x : GridColumns()) {
        for (int y = 0; y < kGraphHeight; ++y) {
            if ((y / kDotLength) % 2 == 0) {
                Plot(image, x, y, orange);
            }
        }
    }
    for (const int y : GridRows()) {
        for (int x = 0; x < kGraphWidth; ++x) {
            if ((x / kDotLength) % 2 == 0) {
                Plot(image, x, y, orange);
            }
        }
    }
    for (int row = 0; row < kZeroLineWidth; ++row) {
        for (int x = 0; x <= kZeroLineLastX; ++x) {
            Plot(image, x, kZeroLineY - kZeroLineWidth / 2 + row, orange);
        }
    }
}

// Draws an up or down arrow for the step buttons.
QIcon ArrowIcon(bool up, const QColor& colour) {
    QPixmap pixmap(20, 14);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath arrow;
    if (up) {
        arrow.moveTo(10, 1);
        arrow.lineTo(19, 13);
        arrow.lineTo(1, 13);
    } else {
        arrow.moveTo(1, 1);
        arrow.lineTo(19, 1);
        arrow.lineTo(10, 13);
    }
    arrow.closeSubpath();
    painter.fillPath(arrow, colour);
    return QIcon(pixmap);
}

QString DefaultChooseFile(QWidget* parent, bool save, const QString& suggestedPath) {
    QFileDialog dialog(parent, save ? QStringLiteral("File Save") : QStringLiteral("File Load"),
                       QString::fromStdString(WorkingDirectory()),
                       FromStd(std::string(kPefFilter)));
    dialog.setDefaultSuffix(FromStd(std::string(kPefExtension)));
    if (save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.selectFile(suggestedPath);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().front();
}

}  // namespace

QImage DrawEqualizerGraph(const EqualizerValues& values, int activeBand, bool curves) {
    QImage image(kGraphWidth, kGraphHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    DrawGrid(image);
    if (curves) {
        for (const EqualizerCurve curve : CurveDrawOrder(activeBand)) {
            const QRgb colour = ToColour(CurveColour(curve)).rgb();
            for (const GraphPixel& pixel : CurvePixels(values, curve)) {
                Plot(image, pixel.x, pixel.y, colour);
            }
        }
    }
    return image;
}

EqualizerGraphView::EqualizerGraphView(QWidget* parent) : QWidget(parent) {
    setFixedSize(kGraphLeft + kGraphWidth + kGraphRight, kGraphTop + kGraphHeight + kGraphBottom);
}

void EqualizerGraphView::SetPicture(const QImage& picture) {
    picture_ = picture;
    update(QRect(GraphOrigin(), QSize(kGraphWidth, kGraphHeight)));
}

QPoint EqualizerGraphView::GraphOrigin() {
    return {kGraphLeft, kGraphTop};
}

void EqualizerGraphView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(GraphOrigin(), picture_);
    painter.setPen(palette().color(QPalette::WindowText));
    const QFontMetrics metrics(font());
    const int half = metrics.height() / 2;
    for (int db = kLevelLabelTop; db >= -kLevelLabelTop; db -= kLevelLabelStep) {
        const int y = kGraphTop + static_cast<int>(LevelToY(db));
        const QString text = db > 0 ? QStringLiteral("+%1").arg(db) : QString::number(db);
        painter.drawText(QRect(0, y - half, kGraphLeft - 4, 2 * half),
                         Qt::AlignRight | Qt::AlignVCenter, text);
    }
    const std::array<int, kGridFrequencies.size()> columns = GridColumns();
    for (size_t i = 0; i < columns.size(); ++i) {
        const int x = kGraphLeft + columns[i];
        painter.drawText(QRect(x - 24, kGraphTop + kGraphHeight + 2, 48, kGraphBottom - 2),
                         Qt::AlignHCenter | Qt::AlignTop, QString::number(kGridFrequencies[i]));
    }
}

EqualizerWindow::EqualizerWindow(QWidget* parent, MainWindow& window)
    : CChildDlg(parent, window, kMsgEqualizerClosed, FromStd(EqualizerTitle(0))),
      session_(*this),
      boxes_([this](int id) { QMessageBox::warning(this, windowTitle(), StringText(id)); }),
      chooser_([this](bool save, const QString& suggested) {
          return DefaultChooseFile(this, save, suggested);
      }),
      graph_(new EqualizerGraphView(this)) {
    for (QTimer*& timer : timers_) {
        timer = new QTimer(this);
    }
    for (size_t i = 0; i < timers_.size(); ++i) {
        connect(timers_[i], &QTimer::timeout, this,
                [this, i] { session_.OnTimer(static_cast<EqualizerTimer>(i)); });
    }

    auto* top = new QHBoxLayout;
    top->addWidget(graph_);
    auto* actions = new QVBoxLayout;
    for (const ActionButton& action : kActionButtons) {
        auto* button = new HoldButton(QString::fromLatin1(action.text), action.code, this);
        button->setMinimumHeight(40);
        buttons_[static_cast<size_t>(action.code)] = button;
        actions->addWidget(button);
    }
    actions->addStretch();
    top->addLayout(actions);

    auto* bands = new QHBoxLayout;
    for (int band = 1; band <= kEqualizerBands; ++band) {
        const QColor colour = BandColour(band);
        auto* group = new QGroupBox(this);
        QPalette titleColours = group->palette();
        titleColours.setColor(QPalette::WindowText, colour);
        group->setPalette(titleColours);
        groups_[static_cast<size_t>(band - 1)] = group;
        auto* grid = new QGridLayout(group);
        for (size_t row = 0; row < kValueRows.size(); ++row) {
            const ValueRow& value = kValueRows[row];
            auto* label = new QLabel(QString::fromLatin1(value.label), group);
            label->setPalette(titleColours);
            grid->addWidget(label, static_cast<int>(row), 0);
            auto* text = new ColorStatic(group);
            text->SetBackground(Qt::white);
            text->SetTextColour(colour);
            text->setMinimumWidth(110);
            values_[static_cast<size_t>(ValueIndex(band, value.param))] = text;
            grid->addWidget(text, static_cast<int>(row), 1);
            const int upCode = value.firstUpCode + 2 * (band - 1);
            for (const int code : {upCode, upCode + 1}) {
                auto* button = new HoldButton(QString(), code, group);
                button->setIcon(ArrowIcon(code == upCode, colour));
                button->setIconSize(QSize(20, 14));
                button->setMinimumSize(44, 30);
                buttons_[static_cast<size_t>(code)] = button;
                grid->addWidget(button, static_cast<int>(row), code == upCode ? 2 : 3);
            }
        }
        bands->addWidget(group);
    }

    for (HoldButton* button : buttons_) {
        if (button != nullptr) {
            connect(button, &HoldButton::HoldPressed, this,
                    [this](int code) { session_.Press(code); });
            connect(button, &HoldButton::HoldReleased, this,
                    [this](int code) { OnReleased(code); });
        }
    }

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(bands);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    SetTitles();
    graph_->SetPicture(DrawEqualizerGraph({}, 1, false));
}

EqualizerWindow::~EqualizerWindow() {
    // The buttons and timers go after this part of the window: nothing may call back into it.
    for (HoldButton* button : buttons_) {
        if (button != nullptr) {
            button->disconnect(this);
        }
    }
    for (QTimer* timer : timers_) {
        timer->stop();
        timer->disconnect(this);
    }
}

void EqualizerWindow::SetTitles() {
    setWindowTitle(FromStd(EqualizerTitle(Mode())));
    for (int band = 1; band <= kEqualizerBands; ++band) {
        groups_[static_cast<size_t>(band - 1)]->setTitle(FromStd(BandTitle(Mode(), band)));
    }
}

void EqualizerWindow::Open() {
    SetTitles();
    session_.Open(Mode());
    CChildDlg::Open();
}

void EqualizerWindow::Destroy() {
    for (HoldButton* button : buttons_) {
        if (button != nullptr) {
            button->Release();
        }
    }
    session_.Close();
    CChildDlg::Destroy();
}

void EqualizerWindow::OnNotification(uint32_t id, uint64_t, int64_t) {
    session_.OnNotification(id);
}

HoldButton* EqualizerWindow::Button(int code) const {
    return code >= 0 && code < static_cast<int>(buttons_.size())
               ? buttons_[static_cast<size_t>(code)]
               : nullptr;
}

QString EqualizerWindow::ValueText(int band, EqParam param) const {
    const int index = ValueIndex(band, param);
    return index < 0 ? QString() : values_[static_cast<size_t>(index)]->text();
}

bool EqualizerWindow::Send(std::string_view text) {
    return sink_ && sink_(text);
}

void EqualizerWindow::StartTimer(EqualizerTimer timer, int ms) {
    timers_[static_cast<size_t>(timer)]->start(ms);
}

void EqualizerWindow::StopTimer(EqualizerTimer timer) {
    timers_[static_cast<size_t>(timer)]->stop();
}

void EqualizerWindow::Redraw() {
    // Until the values being read have all arrived there is nothing true to show but the grid.
    const bool known = session_.PendingAnswers() == 0;
    const EqualizerValues& values = session_.Values();
    for (int i = 0; i < kEqualizerValueCount; ++i) {
        const int band = BandOfValue(i);
        std::string text;
        if (known) {
            switch (ParamOfValue(i)) {
                case EqParam::Frequency:
                    text = FrequencyText(band, values[i]);
                    break;
                case EqParam::Level:
                    text = LevelText(values[i]);
                    break;
                case EqParam::Bandwidth:
                    text = BandwidthText(values[i]);
                    break;
            }
        }
        values_[static_cast<size_t>(i)]->setText(FromStd(text));
    }
    graph_->SetPicture(DrawEqualizerGraph(values, session_.ActiveBand(), known));
}

void EqualizerWindow::OnReleased(int code) {
    switch (session_.Release(code)) {
        case EqualizerAction::Close:
            SendClosing();
            break;
        case EqualizerAction::LoadFile:
            LoadFile();
            break;
        case EqualizerAction::SaveFile:
            SaveFile();
            break;
        case EqualizerAction::None:
            break;
    }
}

void EqualizerWindow::LoadFile() {
    const QString path = chooser_(false, {});
    if (path.isEmpty()) {
        return;
    }
    EqualizerValues values{};
    if (!ReadPefFile(path.toStdString(), values)) {
        boxes_(kStringInputRange);
        return;
    }
    session_.LoadValues(values);
}

void EqualizerWindow::SaveFile() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const QString suggested =
        QString::fromStdString(WorkingDirectory() + "/" + SuggestedPefName(local));
    const QString path = chooser_(true, suggested);
    if (path.isEmpty()) {
        return;
    }
    if (!WritePefFile(path.toStdString(), session_.Values())) {
        boxes_(kStringFileSaveFailed);
    }
}

}  // namespace kestrel
