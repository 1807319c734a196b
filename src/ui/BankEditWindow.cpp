#include "ui/BankEditWindow.h"

#include "storage/BulkTransfers.h"
#include "storage/DumpImport.h"
#include "storage/FileNames.h"
#include "storage/PerformanceFiles.h"
#include "ui/DialogKit.h"
#include "ui/FileDialogs.h"

#include <QAction>
#include <QDir>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include <algorithm>

namespace patchsmith {

using namespace dialogs;

namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

// Slot texts hold the bytes of performance names, as the main list does:
// Latin-1, so a name byte from 80 hex up comes back unchanged.
QString fromText(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}
std::string toText(const QString& text) { return text.toLatin1().toStdString(); }

bool carriesBankFile(const QMimeData* mime) { return mime && mime->hasFormat(kBankFileDragFormat); }

// Children of a group box keep the plain font and colours; only the group
// caption is bold navy.
template <typename W>
W* plainChild(W* widget) {
    stylePlain(widget);
    return widget;
}

QPushButton* button(QWidget* parent, const QString& name, const QString& caption, const QString& hint, QRect geometry) {
    auto* b = plainChild(new QPushButton(caption, parent));
    if (hint.isEmpty()) {
        setAccessible(b, caption, name);
    } else {
        setHint(b, hint, name);
    }
    b->setGeometry(geometry);
    b->setAutoDefault(false);
    return b;
}

} // namespace

// ---- file list ----

BankFileListBox::BankFileListBox(TBankEditWindow& window, QWidget* parent) : QListWidget(parent), window_(window) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::CopyAction);
}

void BankFileListBox::fill(const QString& directory, const QString& mask) {
    directory_ = directory;
    clear();
    const QStringList names = QDir(directory).entryList({mask}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    addItems(names);
    setCurrentRow(-1);
    clearSelection();
}

QStringList BankFileListBox::mimeTypes() const { return {kBankFileDragFormat}; }

QMimeData* BankFileListBox::mimeData(const QList<QListWidgetItem*>& items) const {
    if (items.isEmpty()) return nullptr;
    auto* mime = new QMimeData;
    mime->setData(kBankFileDragFormat, items.front()->text().toUtf8());
    return mime;
}

void BankFileListBox::startDrag(Qt::DropActions) {
    QListWidgetItem* item = currentItem();
    if (!item || !item->isSelected()) return;
    auto* drag = new QDrag(this);
    drag->setMimeData(mimeData({item}));
    // A copy only: the file list never loses an entry to a drop.
    drag->exec(Qt::CopyAction, Qt::CopyAction);
}

void BankFileListBox::dragEnterEvent(QDragEnterEvent* event) {
    if (carriesBankFile(event->mimeData()) && window_.FileListBoxDragOver()) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void BankFileListBox::dragMoveEvent(QDragMoveEvent* event) {
    if (carriesBankFile(event->mimeData()) && window_.FileListBoxDragOver()) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

// Dropping back onto the file list changes nothing.
void BankFileListBox::dropEvent(QDropEvent* event) { event->ignore(); }

// ---- bank list ----

BankListBox::BankListBox(TBankEditWindow& window, QWidget* parent) : QListWidget(parent), window_(window) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setSpacing(0);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
    setContextMenuPolicy(Qt::CustomContextMenu);
}

int BankListBox::topIndex() const { return verticalScrollBar()->value(); }

void BankListBox::setTopIndex(int row) { verticalScrollBar()->setValue(row); }

void BankListBox::dragEnterEvent(QDragEnterEvent* event) {
    if (!carriesBankFile(event->mimeData())) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void BankListBox::dragMoveEvent(QDragMoveEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (carriesBankFile(event->mimeData()) && window_.BankListBoxDragOver(pos.x(), pos.y())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void BankListBox::dropEvent(QDropEvent* event) {
    if (!carriesBankFile(event->mimeData())) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    // Handled once the drag has ended, so that a load error's message box
    // does not open while the drag still holds the pointer.
    QMetaObject::invokeMethod(
        this, [this] { window_.BankListBoxDragDrop(); }, Qt::QueuedConnection);
}

// The right button opens the popup without moving the selection.
void BankListBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QListWidget::mousePressEvent(event);
}

// ---- window ----

TBankEditWindow::TBankEditWindow(PerformanceBank& bank, SlotLabels& labels, std::string& perfBankDir,
                                 Notifier& notifier, QWidget* parent)
    : QDialog(parent), bank_(bank), labels_(labels), perfBankDir_(perfBankDir), notifier_(notifier) {
    setObjectName("TBankEditWindow");
    prepareDialog(this, " Patchsmith - Performance-bank manager", 519, 332);

    // The shared dialogs of the window this one is opened over (its own
    // when there is none). The save dialog proposes the name it showed last
    // and asks nothing before overwriting, as every save.
    chooseSaveFile = [](QWidget* parent, const QString& title, const QString& dir, const QString& filter) {
        return SharedFileDialogs::of(parent)
            .chooseSaveFile(title, filter, dir, ProposedName::kept())
            .value_or(QString());
    };
    chooseOpenFile = [](QWidget* parent, const QString& title, const QString& dir, const QString& filter) {
        return SharedFileDialogs::of(parent).chooseOpenFile(title, filter, dir).value_or(QString());
    };

    // Left half: the disk.
    FileGroupBox = new QGroupBox(" SysEx-Files ", this);
    setAccessible(FileGroupBox, " SysEx-Files ", "FileGroupBox");
    FileGroupBox->setGeometry(5, 4, 333, 321);
    styleBoldNavy(FileGroupBox);

    DirectoryListBox = plainChild(new dialogs::DirectoryListBox(FileGroupBox));
    setAccessible(DirectoryListBox, "Directories", "DirectoryListBox");
    styleLimeOnBlack(DirectoryListBox);
    DirectoryListBox->setGeometry(12, 18, 160, 200);

    DriveComboBox = plainChild(new dialogs::DriveComboBox(FileGroupBox));
    setAccessible(DriveComboBox, "Drives", "DriveComboBox");
    styleLimeOnBlack(DriveComboBox);
    DriveComboBox->setGeometry(12, 227, 160, 19);

    FileListBox = plainChild(new BankFileListBox(*this, FileGroupBox));
    setAccessible(FileListBox, "Files", "FileListBox");
    styleLimeOnBlack(FileListBox);
    FileListBox->setGeometry(181, 18, 140, 228);

    PathLabel = plainChild(new QLabel(FileGroupBox));
    setReadout(PathLabel, "PathLabel");
    PathLabel->setGeometry(12, 256, 309, 13);

    TypeSysEx = plainChild(new QRadioButton("SysEx files", FileGroupBox));
    setHint(TypeSysEx, "List only SysEx-binary files", "TypeSysEx");
    TypeSysEx->setGeometry(168, 291, 77, 17);
    TypeSysEx->setChecked(true);
    TypePerfBanks = plainChild(new QRadioButton("Perf.-banks", FileGroupBox));
    setHint(TypePerfBanks, "List only Performance-bank files", "TypePerfBanks");
    TypePerfBanks->setGeometry(248, 291, 77, 17);

    LoadPerf = button(FileGroupBox, "LoadPerf", "Load Performance-bank", "Load the selected Performance-bank",
                      {12, 288, 141, 21});
    styleNavyText(LoadPerf);
    LoadPerf->setEnabled(false);

    // Right half: the bank.
    UserPerfGroupBox = new QGroupBox(" User-Performance ", this);
    setAccessible(UserPerfGroupBox, " User-Performance ", "UserPerfGroupBox");
    UserPerfGroupBox->setGeometry(348, 4, 165, 321);
    styleBoldNavy(UserPerfGroupBox);

    BankListBox = plainChild(new patchsmith::BankListBox(*this, UserPerfGroupBox));
    setAccessible(BankListBox, "User-Performances", "BankListBox");
    styleLimeOnBlack(BankListBox);
    BankListBox->setGeometry(12, 18, 140, 228);
    for (int s = 0; s < kBankSlots; ++s) {
        auto* item = new QListWidgetItem(fromText(slotNumberText(s)), BankListBox);
        item->setSizeHint(QSize(0, kBankRowHeight));
    }

    DeletePerf = button(UserPerfGroupBox, "DeletePerf", "Delete", "Delete the selected Performance", {12, 257, 66, 21});
    DeletePerf->setEnabled(false);
    ClearAll = button(UserPerfGroupBox, "ClearAll", "Clear all", "Delete all Performances", {87, 257, 65, 21});
    SavePerf =
        button(UserPerfGroupBox, "SavePerf", "Save Performance-bank", "Save your work to harddisk", {12, 288, 141, 21});
    styleNavyText(SavePerf);

    BankPopup = new QMenu(this);
    BankPopup->setObjectName("BankPopup");
    BankPopDelete = BankPopup->addAction("Delete");
    BankPopDelete->setObjectName("BankPopDelete");
    BankPopDelete->setEnabled(false);
    BankPopClearAll = BankPopup->addAction("Clear All");
    BankPopClearAll->setObjectName("BankPopClearAll");
    // The fixed layout has no room for another button: the import is a
    // command of the bank's popup, and Ctrl+I anywhere in the window.
    BankPopup->addSeparator();
    bankPopImport = BankPopup->addAction("Import SysEx-dump / MIDI-file ...");
    bankPopImport->setObjectName("BankPopImport");
    bankPopImport->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    bankPopImport->setShortcutContext(Qt::WindowShortcut);
    bankPopImport->setToolTip("Import performances from a SysEx-dump or a MIDI-file");
    addAction(bankPopImport);

    // Wiring.
    DriveComboBox->setDirList(DirectoryListBox);
    connect(DirectoryListBox, &dialogs::DirectoryListBox::directoryChanged, this, [this](const QString& dir) {
        PathLabel->setText(dir);
        listFiles();
    });
    connect(TypeSysEx, &QRadioButton::clicked, this, [this] { TypeSysExClick(); });
    connect(TypePerfBanks, &QRadioButton::clicked, this, [this] { TypePerfBanksClick(); });
    connect(FileListBox, &QListWidget::itemSelectionChanged, this, [this] { FileListBoxClick(); });
    connect(FileListBox, &QListWidget::itemClicked, this, [this] { FileListBoxClick(); });
    connect(FileListBox, &QListWidget::itemDoubleClicked, this, [this] { LoadPerfClick(); });
    // Delete follows the selected slot however the selection moved: a click,
    // a drag across rows, the keys, a drag of a file over the list.
    connect(BankListBox, &QListWidget::itemSelectionChanged, this, [this] { BankListBoxClick(); });
    connect(BankListBox, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { BankPopup->popup(BankListBox->viewport()->mapToGlobal(pos)); });
    connect(DeletePerf, &QPushButton::clicked, this, [this] { DeletePerfClick(); });
    connect(BankPopDelete, &QAction::triggered, this, [this] { DeletePerfClick(); });
    connect(ClearAll, &QPushButton::clicked, this, [this] { ClearAllClick(); });
    connect(BankPopClearAll, &QAction::triggered, this, [this] { ClearAllClick(); });
    connect(bankPopImport, &QAction::triggered, this, [this] { importClick(); });
    connect(LoadPerf, &QPushButton::clicked, this, [this] { LoadPerfClick(); });
    connect(SavePerf, &QPushButton::clicked, this, [this] { SavePerfClick(); });

    FormCreate();
}

void TBankEditWindow::FormCreate() {
    DirectoryListBox->setDirectory(qs(perfBankDir_));
    for (int s = 0; s < kBankSlots; ++s) setEntry(s, labels_.label(s));
}

void TBankEditWindow::FormClose() {
    perfBankDir_ = DirectoryListBox->directory().toStdString();
    for (int s = 0; s < kBankSlots; ++s) labels_.store(s, toText(BankListBox->item(s)->text()));
}

void TBankEditWindow::done(int result) {
    if (!closed_) {
        closed_ = true;
        FormClose();
    }
    QDialog::done(result);
}

QString TBankEditWindow::mask() const { return TypePerfBanks->isChecked() ? "*.PFB" : "*.SYX"; }

void TBankEditWindow::listFiles() {
    FileListBox->fill(DirectoryListBox->directory(), mask());
    FileListBoxClick();
}

int TBankEditWindow::selectedSlot() const {
    const auto selected = BankListBox->selectedItems();
    if (selected.isEmpty()) return -1;
    const int row = BankListBox->row(selected.front());
    return row >= 0 && row < kBankSlots ? row : -1;
}

void TBankEditWindow::setDeleteEnabled(bool on) {
    DeletePerf->setEnabled(on);
    BankPopDelete->setEnabled(on);
}

void TBankEditWindow::setEntry(int slot, const std::string& text) {
    if (QListWidgetItem* item = BankListBox->item(slot)) item->setText(fromText(text));
}

void TBankEditWindow::TypeSysExClick() {
    TypeSysEx->setChecked(true);
    FileGroupBox->setTitle(" SysEx-Files ");
    FileGroupBox->setAccessibleName(" SysEx-Files ");
    listFiles();
    LoadPerf->setEnabled(false);
    setDeleteEnabled(false);
    BankListBox->clearSelection();
}

void TBankEditWindow::TypePerfBanksClick() {
    TypePerfBanks->setChecked(true);
    FileGroupBox->setTitle(" Performance-Banks ");
    FileGroupBox->setAccessibleName(" Performance-Banks ");
    listFiles();
    LoadPerf->setEnabled(false);
    setDeleteEnabled(false);
    BankListBox->clearSelection();
}

void TBankEditWindow::FileListBoxClick() {
    if (!TypePerfBanks->isChecked()) return;
    LoadPerf->setEnabled(!FileListBox->selectedItems().isEmpty());
}

void TBankEditWindow::BankListBoxClick() { setDeleteEnabled(bank_.occupied(selectedSlot())); }

bool TBankEditWindow::BankListBoxDragOver(int x, int y) {
    const bool accept = FileListBox->count() > 0;
    if (x > 0 && y > 0) {
        const int index = y / kBankRowHeight + BankListBox->topIndex();
        if (index >= 0 && index < BankListBox->count()) {
            BankListBox->setCurrentRow(index);
        } else {
            // Below the last row: no slot to drop on.
            BankListBox->setCurrentRow(-1);
            BankListBox->clearSelection();
        }
    }
    return accept;
}

bool TBankEditWindow::FileListBoxDragOver() { return FileListBox->count() > 0 && TypeSysEx->isChecked(); }

void TBankEditWindow::BankListBoxDragDrop() {
    const int slot = selectedSlot();
    const auto files = FileListBox->selectedItems();
    // Without a slot or a file there is nothing to drop.
    if (slot < 0 || files.isEmpty()) return;
    const int top = BankListBox->topIndex();
    const QString name = files.front()->text();
    const std::string path = QDir(FileListBox->directory()).filePath(name).toStdString();
    // The entry shows the file only once its record is really in the slot.
    if (!dropFileIntoSlot(path, slot, bank_, notifier_)) {
        BankListBox->setTopIndex(top);
        return;
    }
    setEntry(slot, dropLabel(slot, toText(name)));
    BankListBox->setTopIndex(top);
    BankListBox->clearSelection();
}

void TBankEditWindow::DeletePerfClick() {
    DirectoryListBox->setFocus();
    setDeleteEnabled(false);
    const int slot = selectedSlot();
    if (slot < 0) return;
    ClearSlot(slot + 1);
    BankListBox->clearSelection();
}

void TBankEditWindow::ClearAllClick() {
    DirectoryListBox->setFocus();
    setDeleteEnabled(false);
    for (int n = 1; n <= kBankSlots; ++n) ClearSlot(n);
    BankListBox->clearSelection();
}

void TBankEditWindow::ClearSlot(int n) {
    if (n < 1 || n > kBankSlots) return;
    bank_.ClearSlot(n);
    setEntry(n - 1, slotNumberText(n - 1));
}

void TBankEditWindow::LoadPerfClick() {
    if (!TypePerfBanks->isChecked()) return;
    const auto files = FileListBox->selectedItems();
    if (files.isEmpty()) return;
    loadBank(QDir(FileListBox->directory()).filePath(files.front()->text()).toStdString());
}

void TBankEditWindow::openBankFile(const QString& path) {
    const QFileInfo file(path);
    DirectoryListBox->setDirectory(file.absolutePath());
    TypePerfBanksClick();
    const auto listed = FileListBox->findItems(file.fileName(), Qt::MatchExactly);
    if (!listed.isEmpty()) FileListBox->setCurrentItem(listed.front());
    loadBank(file.absoluteFilePath().toStdString());
}

void TBankEditWindow::loadBank(const std::string& path) {
    std::vector<int> loaded;
    loadBankIntoSlots(path, bank_, notifier_, &loaded);
    // Whatever went into a slot gets its line, even if the file broke off.
    for (int slot : loaded) setEntry(slot, PerformanceLine(bank_.slot(slot)));
    BankListBox->clearSelection();
    BankListBox->setTopIndex(0);
}

void TBankEditWindow::SavePerfClick() {
    const QString chosen = chooseSaveFile
                               ? chooseSaveFile(this, "Save Performance-bank as ...", qs(perfBankDir_), kBankFilter)
                               : QString();
    if (chosen.isEmpty()) return;
    const std::string path = ReplaceExtension(chosen.toStdString(), ".PFB");
    if (!saveBank(path, bank_)) {
        ShowLoadError(LoadError::UnableToSave, notifier_);
        return;
    }
    // A bank saved into the listed folder shows up in the list at once.
    if (TypePerfBanks->isChecked() &&
        QFileInfo(qs(path)).absolutePath() == QFileInfo(FileListBox->directory() + "/x").absolutePath()) {
        const auto files = FileListBox->selectedItems();
        const QString keep = files.isEmpty() ? QString() : files.front()->text();
        listFiles();
        const auto again = FileListBox->findItems(keep, Qt::MatchExactly);
        if (!keep.isEmpty() && !again.isEmpty()) FileListBox->setCurrentItem(again.front());
    }
}

void TBankEditWindow::importClick() {
    const QString chosen =
        chooseOpenFile ? chooseOpenFile(this, kImportTitle, DirectoryListBox->directory(), kImportFilter) : QString();
    if (chosen.isEmpty()) return;
    ImportResult result;
    if (!importDumpFile(chosen.toStdString(), bank_, notifier_, result)) return;
    // Every slot that took a performance shows it, as after loading a bank.
    for (int slot : result.filledSlots) setEntry(slot, PerformanceLine(bank_.slot(slot)));
    setDeleteEnabled(false);
    BankListBox->clearSelection();
    BankListBox->setTopIndex(
        result.filledSlots.empty() ? 0 : *std::min_element(result.filledSlots.begin(), result.filledSlots.end()));
    notifier_.showMessage(importSummaryText(result.counts));
}

void showBankManager(PerformanceBank& bank, SlotLabels& labels, std::string& perfBankDir, Notifier& notifier,
                     QWidget* parent) {
    TBankEditWindow window(bank, labels, perfBankDir, notifier, parent);
    runModal(window);
}

} // namespace patchsmith
