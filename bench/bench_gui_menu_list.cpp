// How long the MENU LIST window takes to open with every row (copy of the store, 118 row texts,
// the list filled, shown and painted once), and to rebuild one row when the operator steps a
// bit-set row with an arrow key. The window opens right after the reading window closes, so
// the opening is what the operator waits for after pressing MENU.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QWidget>

#include "menu_list_window/menu_list_window.h"
#include "menulist/menu_values.h"
#include "platform/main_window.h"
#include "protocol/radio_state.h"

namespace kestrel {
namespace {

// A main window that takes the closing message and nothing else.
class QuietWindow final : public MainWindow {
  public:
    bool PostMessage(uint32_t, uint64_t, int64_t) override { return true; }
    int64_t SendMessage(uint32_t, uint64_t, int64_t) override { return 0; }
    void SetTimer(int, int64_t) override {}
    void KillTimer(int) override {}
    uint8_t WindowWaiting() const override { return 0; }
    void SetWindowWaiting(uint8_t) override {}
    uint8_t ReadingRunning() const override { return 0; }
    void SetReadingRunning(uint8_t) override {}
};

void BM_OpenMenuList(benchmark::State& state) {
    ResetRadioState();
    LoadMenuCatalogue();
    QWidget parent;
    QuietWindow window;
    MenuListWindow list(&parent, window);
    for (auto _ : state) {
        list.Open();
        state.PauseTiming();
        list.Destroy();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenMenuList)->Unit(benchmark::kMillisecond);

void BM_RebuildBitSetRow(benchmark::State& state) {
    ResetRadioState();
    LoadMenuCatalogue();
    QWidget parent;
    QuietWindow window;
    MenuListWindow list(&parent, window);
    list.Open();
    list.List()->setCurrentRow(89);  // item 90, the bit-set row
    for (auto _ : state) {
        QKeyEvent left(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
        QApplication::sendEvent(list.List(), &left);
    }
    list.Destroy();
}
BENCHMARK(BM_RebuildBitSetRow)->Unit(benchmark::kMicrosecond);

void BM_AllRowTexts(benchmark::State& state) {
    ResetRadioState();
    LoadMenuCatalogue();
    std::vector<MenuItem> items(118);
    for (int n = 1; n <= 118; ++n) {
        GetMenuItem(n, &items[static_cast<size_t>(n - 1)]);
    }
    for (auto _ : state) {
        for (const MenuItem& item : items) {
            benchmark::DoNotOptimize(MenuRowText(item, 11));
        }
    }
}
BENCHMARK(BM_AllRowTexts)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kestrel

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
