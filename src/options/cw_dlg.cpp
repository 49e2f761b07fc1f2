#include "options/cw_dlg.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QValidator>

#include "engine_api/radio_engine.h"
#include "protocol/notifications.h"
#include "protocol/requests.h"
#include "window/option_support.h"
#include "window/panel_messages.h"

namespace kestrel {

namespace {

constexpr uint32_t kAllAnswered = (1u << CCwDlg::kMemories) - 1;

// Refuses a text, typed or pasted, that holds a character the keyer does not take or is longer
// than a memory.
class KeyerTextValidator final : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        if (input.size() > KeyerTextEdit::kMaxLength) {
            return Invalid;
        }
        for (const QChar c : input) {
            if (!IsKeyerTextChar(c)) {
                return Invalid;
            }
        }
        return Acceptable;
    }
};

// Returns the stored text of a keyer memory without its trailing spaces (the memory pads its
// text to 50 characters).
QString StoredKeyerText(int memory) {
    std::string text = RadioEngine::ReadKeyerText(memory);
    text.erase(text.find_last_not_of(' ') + 1);
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

bool IsKeyerTextChar(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 0x20 && u <= 0x5F && u != ';') || u == '}';
}

std::optional<std::string> KeyerWriteCommand(int memory, const QString& text) {
    if (memory < 1 || memory > CCwDlg::kMemories || text.isEmpty() ||
        text.size() > KeyerTextEdit::kMaxLength) {
        return std::nullopt;
    }
    std::string command = "KM" + std::to_string(memory);
    for (const QChar c : text) {
        if (!IsKeyerTextChar(c)) {
            return std::nullopt;
        }
        command += static_cast<char>(c.unicode());
    }
    return command + ';';
}

KeyerTextEdit::KeyerTextEdit(QWidget* parent) : QLineEdit(parent) {
    setMaxLength(kMaxLength);
    setValidator(new KeyerTextValidator(this));
}

CCwDlg::CCwDlg(QWidget* parent, MainWindow& window)
    : CChildDlg(parent, window, kMsgCwClosed, QStringLiteral("CW")),
      readTimeout_(new QTimer(this)) {
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Message Play"), this), 0, 0, 1, kMemories);
    grid->addWidget(new QLabel(QStringLiteral("Text Play"), this), 0, kMemories + 1, 1, kMemories);
    // Message memories 1-5 play with requests 128-132 ("KY1;"-"KY5;"), text memories with
    // 133-137 ("KY6;"-"KY9;", "KYA;").
    for (int n = 0; n < 2 * kMemories; ++n) {
        auto* play = new QPushButton(QStringLiteral("Ch-%1").arg(n % kMemories + 1), this);
        const int request = kReqKeyerPlay1 + n;
        connect(play, &QPushButton::clicked, this, [request] { RadioEngine::Request(request); });
        grid->addWidget(play, 1, n < kMemories ? n : n + 1);
        plays_[static_cast<size_t>(n)] = play;
    }
    for (int memory = 1; memory <= kMemories; ++memory) {
        const int row = memory + 1;
        grid->addWidget(new QLabel(QStringLiteral("Text Ch-%1").arg(memory), this), row, 0);
        auto* box = new KeyerTextEdit(this);
        grid->addWidget(box, row, 1, 1, 2 * kMemories - 1);
        auto* write = new QPushButton(QStringLiteral("Ch-%1 WR").arg(memory), this);
        connect(write, &QPushButton::clicked, this, [this, memory] { Write(memory); });
        grid->addWidget(write, row, 2 * kMemories);
        boxes_[static_cast<size_t>(memory - 1)] = box;
        writes_[static_cast<size_t>(memory - 1)] = write;
    }
    readTimeout_->setSingleShot(true);
    connect(readTimeout_, &QTimer::timeout, this, [this] {
        for (int memory = 1; memory <= kMemories; ++memory) {
            Fill(memory);
        }
        Unlock();
    });
    NoDefaultButton(this);
}

void CCwDlg::Open() {
    answered_ = 0;
    SetLocked(true);
    RadioEngine::Request(kReqKeyerMemoryRead);
    readTimeout_->start(kReadTimeoutMs);
    CChildDlg::Open();
}

void CCwDlg::Destroy() {
    readTimeout_->stop();
    CChildDlg::Destroy();
}

void CCwDlg::OnNotification(uint32_t id, uint64_t, int64_t) {
    if (id != kNotifyKM) {
        return;
    }
    // The answer names its memory: a box is filled from that memory alone, so an answer that
    // comes late or twice never lands in another memory's box.
    const int memory = RadioEngine::Read(Field::KM);
    if (memory < 1 || memory > kMemories) {
        return;
    }
    Fill(memory);
    answered_ |= 1u << (memory - 1);
    if (locked_ && answered_ == kAllAnswered) {
        Unlock();
    }
}

void CCwDlg::Fill(int memory) {
    boxes_[static_cast<size_t>(memory - 1)]->setText(StoredKeyerText(memory));
}

void CCwDlg::Unlock() {
    readTimeout_->stop();
    SetLocked(false);
    plays_[0]->setFocus();
}

void CCwDlg::SetLocked(bool locked) {
    locked_ = locked;
    for (QPushButton* button : plays_) {
        button->setEnabled(!locked);
    }
    for (QPushButton* button : writes_) {
        button->setEnabled(!locked);
    }
    for (KeyerTextEdit* box : boxes_) {
        box->setReadOnly(locked);
    }
}

void CCwDlg::Write(int memory) {
    // The box refuses what the memory cannot hold; the command is checked again here because a
    // text can also come from the store.
    const std::optional<std::string> command =
        KeyerWriteCommand(memory, boxes_[static_cast<size_t>(memory - 1)]->text());
    if (command) {
        QueueRawOrReport(this, *command);
    }
}

void CCwDlg::keyPressEvent(QKeyEvent* event) {
    if (HandleEnter(this, event) || (!locked_ && OfferShortcut(this, event))) {
        return;
    }
    CChildDlg::keyPressEvent(event);
}

}  // namespace kestrel
