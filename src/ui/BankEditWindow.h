#pragma once
// The performance-bank manager: a file list of .SYX or .PFB files on the
// left, the 128 slots of the bank on the right. .SYX files are dragged onto
// slots, banks are loaded into the slots, raw SysEx dumps and MIDI files are
// imported into them, and the occupied slots are saved as a bank file. The
// bank and the slot texts belong to the application and outlive the window.

#include "midi/Notifier.h"
#include "storage/PerformanceBank.h"
#include "storage/PerformanceText.h"
#include "ui/DirectoryWidgets.h"

#include <QDialog>
#include <QListWidget>

#include <functional>
#include <string>

class QAction;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;

namespace patchsmith {

class TBankEditWindow;

// Mime type of a file dragged from the file list (its name as listed).
inline constexpr const char* kBankFileDragFormat = "application/x-patchsmith-bank-file";
inline constexpr int kBankRowHeight = 14;
// The open dialog of the import: raw SysEx dumps and MIDI files.
inline constexpr const char* kImportTitle = "Import SysEx-dump or MIDI-file ...";
inline constexpr const char* kImportFilter =
    "SysEx dumps and MIDI files (*.syx *.mid *.midi)|*.syx;*.mid;*.midi|All files (*.*)|*.*";

// The file list: the files of the open directory that match the mask; an
// entry dragged with the mouse carries its name.
class BankFileListBox : public QListWidget {
    Q_OBJECT
public:
    BankFileListBox(TBankEditWindow& window, QWidget* parent);
    // Lists the files of `directory` that match `mask` ("*.SYX"), without
    // regard to case, sorted by name.
    void fill(const QString& directory, const QString& mask);
    QString directory() const { return directory_; }

protected:
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QList<QListWidgetItem*>& items) const override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    TBankEditWindow& window_;
    QString directory_;
};

// The bank list: 128 rows of 14 pixels, the target of dropped files.
class BankListBox : public QListWidget {
    Q_OBJECT
public:
    BankListBox(TBankEditWindow& window, QWidget* parent);
    // The index of the top visible row.
    int topIndex() const;
    void setTopIndex(int row);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    TBankEditWindow& window_;
};

class TBankEditWindow : public QDialog {
public:
    // Chooses the name of a bank file to save: (parent, title, initial
    // directory, filter as "text|pattern|text|pattern") -> name, empty when
    // cancelled.
    using SaveFileChooser = std::function<QString(QWidget*, const QString&, const QString&, const QString&)>;
    // The same for a file to open (an existing one).
    using OpenFileChooser = SaveFileChooser;

    TBankEditWindow(PerformanceBank& bank, SlotLabels& labels, std::string& perfBankDir, Notifier& notifier,
                    QWidget* parent = nullptr);

    // Handlers.
    void FormCreate();
    void FormClose();
    void TypeSysExClick();
    void TypePerfBanksClick();
    void FileListBoxClick();
    void BankListBoxClick();
    // A drag from the file list at (x, y) of the bank list; true: accepted.
    bool BankListBoxDragOver(int x, int y);
    bool FileListBoxDragOver();
    void BankListBoxDragDrop();
    void DeletePerfClick();
    void ClearAllClick();
    void LoadPerfClick();
    void SavePerfClick();
    // Imports a raw SysEx dump or a MIDI file into the bank and tells how
    // many performances came in and how many messages were skipped.
    void importClick();
    // Empties slot n - 1 and gives its entry the plain number (n = 1..128).
    void ClearSlot(int n);
    // A bank named from outside the window (the command line): its
    // directory shown with banks listed and the file selected, and the bank
    // loaded as LoadPerfClick loads it.
    void openBankFile(const QString& path);

    // The save dialog and the import's open dialog: the shared ones
    // (SharedFileDialogs::of this window) unless replaced.
    SaveFileChooser chooseSaveFile;
    OpenFileChooser chooseOpenFile;

    QGroupBox* FileGroupBox = nullptr;
    dialogs::DirectoryListBox* DirectoryListBox = nullptr;
    dialogs::DriveComboBox* DriveComboBox = nullptr;
    BankFileListBox* FileListBox = nullptr;
    QLabel* PathLabel = nullptr;
    QRadioButton* TypeSysEx = nullptr;
    QRadioButton* TypePerfBanks = nullptr;
    QPushButton* LoadPerf = nullptr;
    QGroupBox* UserPerfGroupBox = nullptr;
    patchsmith::BankListBox* BankListBox = nullptr;
    QPushButton* DeletePerf = nullptr;
    QPushButton* ClearAll = nullptr;
    QPushButton* SavePerf = nullptr;
    QMenu* BankPopup = nullptr;
    QAction* BankPopDelete = nullptr;
    QAction* BankPopClearAll = nullptr;
    QAction* bankPopImport = nullptr;

    void done(int result) override;

private:
    QString mask() const;
    void listFiles();
    int selectedSlot() const;
    void setDeleteEnabled(bool on);
    void setEntry(int slot, const std::string& text);
    void loadBank(const std::string& path);

    PerformanceBank& bank_;
    SlotLabels& labels_;
    std::string& perfBankDir_;
    Notifier& notifier_;
    bool closed_ = false;
};

// Bulk-Dump > Performance-bank manager: creates the window, shows it
// modally and destroys it.
void showBankManager(PerformanceBank& bank, SlotLabels& labels, std::string& perfBankDir, Notifier& notifier,
                     QWidget* parent = nullptr);

} // namespace patchsmith
