#pragma once

#include <QString>
#include <functional>
#include <vector>

#include "menulist/menu_item.h"
#include "window/child_dlg.h"

class QKeyEvent;
class QListWidget;

namespace kestrel {

// The MENU LIST window: every menu setting as one fixed-width row of a private copy of the
// store's records, taken afresh at each opening. The operator edits settings on the copy through
// the two setting dialogs; OK hands the edited records to the store and has them sent, CANCEL
// drops them. "Save...", "Load..." and "Compare..." keep a station's settings in a file, restore
// them as edits, and list where a file and the radio differ.
class MenuListWindow : public CChildDlg {
    Q_OBJECT
  public:
    // The file actions that ask the operator for a path.
    enum class FileAction { Save, Load, Compare };
    // Asks for the path of a file action; an empty path cancels it.
    using FileChooser = std::function<QString(FileAction action)>;
    // What the window tells the operator in a box of its own.
    enum class Report { Error, Comparison };
    // Shows a report to the operator.
    using Reporter = std::function<void(Report kind, const QString& text)>;

    // Makes the hidden window.
    MenuListWindow(QWidget* parent, MainWindow& window);

    // Copies every item from the store, builds the rows, selects the row of the last opening
    // and shows the window.
    void Open() override;

    // Replaces how paths are asked for (the default is a file dialog).
    void SetFileChooser(FileChooser chooser);
    // Replaces how reports are shown (the default is a message box or a list box).
    void SetReporter(Reporter reporter);

    // Edits the selected row in its setting dialog, run modally; OK rebuilds the row.
    void EditSelected();
    // Writes the values the list shows to a file the operator chooses.
    void SaveSettings();
    // Reads a file the operator chooses and makes its values the list's edits, all or nothing.
    void LoadSettings();
    // Lists the items where a file the operator chooses and the radio differ.
    void CompareSettings();

    // Returns the list of rows.
    QListWidget* List() const { return list_; }
    // Returns the private copy of the items.
    const std::vector<MenuItem>& Items() const { return items_; }
    // Returns the 0-based selected row, kept across openings.
    int SelectedRow() const { return selectedRow; }
    // Returns the choice that bit-set rows show.
    int BitIndex() const { return bitIndex; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void RebuildRow(int row);
    void MoveBitIndex(int row, bool forward);
    void StoreAndClose();
    QString ChoosePath(FileAction action);
    void Tell(Report kind, const QString& text);
    bool ReadFile(FileAction action, std::vector<int64_t>& values);

    std::vector<MenuItem> items_;
    int itemCount = 0;
    int selectedRow = 0;
    int bitIndex = 0;

    QListWidget* list_;
    FileChooser chooser_;
    Reporter reporter_;
    QString lastFolder_;
};

}  // namespace kestrel
