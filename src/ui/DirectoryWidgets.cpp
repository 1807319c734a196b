#include "ui/DirectoryWidgets.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QStorageInfo>
#include <QStyle>

#include <algorithm>

namespace patchsmith::dialogs {

namespace {

constexpr int kPathRole = Qt::UserRole;

QString cleanAbsolute(const QString& path) { return QDir::cleanPath(QFileInfo(path).absoluteFilePath()); }

} // namespace

QString existingDirectory(const QString& path) {
    QString current = cleanAbsolute(path.isEmpty() ? QDir::homePath() : path);
    while (true) {
        const QFileInfo info(current);
        if (info.exists() && info.isDir()) return current;
        const QString parent = QFileInfo(current).dir().absolutePath();
        if (parent == current) return QDir::rootPath();
        current = parent;
    }
}

QStringList directoryRows(const QString& directory) {
    QStringList rows;
    QDir dir(directory);
    QStringList ancestors;
    while (true) {
        ancestors.prepend(QDir::cleanPath(dir.absolutePath()));
        if (dir.isRoot() || !dir.cdUp()) break;
    }
    rows = ancestors;
    QDir open(directory);
    QStringList subdirs = open.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : subdirs) rows.append(QDir::cleanPath(open.absoluteFilePath(name)));
    return rows;
}

QStringList volumeRoots() {
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady()) roots.append(QDir::cleanPath(volume.rootPath()));
    }
    roots.append(QDir::rootPath());
    roots.removeDuplicates();
    std::sort(roots.begin(), roots.end());
    return roots;
}

QString volumeRootOf(const QString& directory, const QStringList& roots) {
    QString best;
    for (const QString& root : roots) {
        const bool inside = directory == root || directory.startsWith(root.endsWith('/') ? root : root + '/');
        if (inside && root.size() > best.size()) best = root;
    }
    return best;
}

DirectoryListBox::DirectoryListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) { openRow(row(item)); });
}

void DirectoryListBox::setDirectory(const QString& path) {
    const QString dir = existingDirectory(path);
    const QStringList rows = directoryRows(dir);
    // Rows up to the open directory are its path (open folders, indented by
    // depth); the rows after it are its subdirectories, one level deeper.
    const int openRowIndex = static_cast<int>(rows.indexOf(dir));
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    clear();
    for (int i = 0; i < rows.size(); ++i) {
        const QString& rowPathText = rows.at(i);
        const QString fileName = QFileInfo(rowPathText).fileName();
        const QString name = fileName.isEmpty() ? rowPathText : fileName;
        const int level = std::min(i, openRowIndex + 1);
        auto* item = new QListWidgetItem(QString(level * 2, ' ') + name, this);
        item->setData(kPathRole, rowPathText);
        item->setIcon(i <= openRowIndex ? openIcon : closedIcon);
    }
    setCurrentRow(openRowIndex);
    const bool changed = dir != directory_;
    directory_ = dir;
    if (changed) emit directoryChanged(directory_);
}

QString DirectoryListBox::rowPath(int row) const {
    const QListWidgetItem* it = item(row);
    return it ? it->data(kPathRole).toString() : QString();
}

void DirectoryListBox::openRow(int row) {
    const QString path = rowPath(row);
    if (!path.isEmpty()) setDirectory(path);
}

void DirectoryListBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        openRow(currentRow());
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

DriveComboBox::DriveComboBox(QWidget* parent) : QComboBox(parent) {
    roots_ = volumeRoots();
    addItems(roots_);
    connect(this, &QComboBox::activated, this, [this](int index) { chosen(index); });
}

void DriveComboBox::setDirList(DirectoryListBox* list) {
    dirList_ = list;
    connect(list, &DirectoryListBox::directoryChanged, this, [this](const QString& dir) { showVolumeOf(dir); });
    showVolumeOf(list->directory());
}

void DriveComboBox::showVolumeOf(const QString& directory) {
    const QString root = volumeRootOf(directory, roots_);
    updating_ = true;
    setCurrentIndex(static_cast<int>(roots_.indexOf(root)));
    updating_ = false;
}

void DriveComboBox::chosen(int index) {
    if (updating_ || !dirList_ || index < 0 || index >= roots_.size()) return;
    dirList_->setDirectory(roots_.at(index));
}

} // namespace patchsmith::dialogs
