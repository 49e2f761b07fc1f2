#pragma once

#include <QImage>
#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <string_view>

#include "equalizer/equalizer_session.h"
#include "window/child_dlg.h"

class QGroupBox;
class QLabel;
class QTimer;

namespace kestrel {

class ColorStatic;
class HoldButton;

// Draws the equalizer graph, 901 x 352 pixels: the dotted grid and the thick 0 dB line, and
// when `curves` is set the sum curve and the three bands' curves with the active band last.
QImage DrawEqualizerGraph(const EqualizerValues& values, int activeBand, bool curves);

// Shows a drawn graph with its level axis on the left and its frequency axis below. It only
// copies the picture it is given: nothing is drawn again for a repaint.
class EqualizerGraphView : public QWidget {
    Q_OBJECT
  public:
    explicit EqualizerGraphView(QWidget* parent = nullptr);
    // Shows a new picture of the graph.
    void SetPicture(const QImage& picture);
    // Returns the picture shown.
    const QImage& Picture() const { return picture_; }
    // Returns where the graph's pixel (0, 0) stands in the view.
    static QPoint GraphOrigin();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage picture_;
};

// The parametric equalizer window ("Prmtrc" or "P-Prmtrc"): the three bands' values with their
// up/down buttons, the frequency response graph, and EXIT, CANCEL, APPLI, FILE SAVE and FILE
// LOAD. What it does lives in its EqualizerSession; the window shows the session's values and
// hands it the buttons, timers and notifications.
class EqualizerWindow : public CChildDlg, private EqualizerHost {
    Q_OBJECT
  public:
    // Queues a command text for the line; true when it was taken.
    using CommandSink = std::function<bool(std::string_view text)>;
    // Shows a string-table text in a message box.
    using BoxRunner = std::function<void(int stringId)>;
    // Asks for a file: to save (with a suggested path) or to load; empty when cancelled.
    using FileChooser = std::function<QString(bool save, const QString& suggestedPath)>;

    // Makes the hidden window.
    EqualizerWindow(QWidget* parent, MainWindow& window);
    ~EqualizerWindow() override;

    // Opens the window on the set of its mode (0 normal, 1 processor) and starts its session.
    void Open() override;
    // Lets every held button go, stops the session and hides the window.
    void Destroy() override;
    // Takes the notifications the controller hands on: "EX", "PE" and "AI".
    void OnNotification(uint32_t id, uint64_t wParam, int64_t lParam) override;

    // Replaces where commands go, how boxes show and how files are chosen.
    void SetCommandSink(CommandSink sink) { sink_ = std::move(sink); }
    void SetBoxRunner(BoxRunner runner) { boxes_ = std::move(runner); }
    void SetFileChooser(FileChooser chooser) { chooser_ = std::move(chooser); }

    // Returns the session behind the window.
    const EqualizerSession& Session() const { return session_; }
    // Returns a button by its code (4-26).
    HoldButton* Button(int code) const;
    // Returns the value text of band 1-3's parameter.
    QString ValueText(int band, EqParam param) const;
    // Returns the graph view.
    EqualizerGraphView& Graph() { return *graph_; }

  private:
    // EqualizerHost.
    bool Send(std::string_view text) override;
    void StartTimer(EqualizerTimer timer, int ms) override;
    void StopTimer(EqualizerTimer timer) override;
    void Redraw() override;

    void OnReleased(int code);
    void LoadFile();
    void SaveFile();
    void SetTitles();

    EqualizerSession session_;
    CommandSink sink_;
    BoxRunner boxes_;
    FileChooser chooser_;
    EqualizerGraphView* graph_;
    std::array<QGroupBox*, kEqualizerBands> groups_{};
    std::array<ColorStatic*, kEqualizerValueCount> values_{};
    std::array<HoldButton*, kEqualizerFileSave + 1> buttons_{};
    std::array<QTimer*, 5> timers_{};
};

}  // namespace kestrel
