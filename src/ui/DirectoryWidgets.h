#pragma once
// The directory list and the drive selector of the directory chooser and the
// bank manager. The list shows the path of the open directory from its root
// down, then the open directory's subdirectories; a double click or Enter on
// a row opens that directory. There are no drive letters here: the drive
// selector lists the roots of the mounted volumes and opens the chosen one.

#include <QComboBox>
#include <QListWidget>
#include <QString>
#include <QStringList>

namespace patchsmith::dialogs {

// The rows of a directory list for `directory`: each ancestor from the root
// down, the directory itself, then its visible subdirectories sorted by name
// without regard to case. Every row is an absolute path.
QStringList directoryRows(const QString& directory);
// The nearest existing directory at or above `path` (the root when none).
QString existingDirectory(const QString& path);
// Roots of the mounted, ready volumes, "/" always among them, sorted.
QStringList volumeRoots();
// The volume root that holds `directory` (the longest matching root).
QString volumeRootOf(const QString& directory, const QStringList& roots);

class DirectoryListBox : public QListWidget {
    Q_OBJECT
public:
    explicit DirectoryListBox(QWidget* parent = nullptr);

    // The open directory (absolute, without a trailing separator except "/").
    QString directory() const { return directory_; }
    // Opens a directory; a path that does not exist opens its nearest
    // existing ancestor.
    void setDirectory(const QString& path);
    // The path a row stands for.
    QString rowPath(int row) const;
    // Opens the directory of a row (what a double click does).
    void openRow(int row);

signals:
    void directoryChanged(const QString& directory);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString directory_;
};

class DriveComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit DriveComboBox(QWidget* parent = nullptr);

    // Binds the selector to a directory list: choosing a volume opens its
    // root there, and the selector follows the list's directory.
    void setDirList(DirectoryListBox* list);
    // Shows the volume that holds `directory` (without opening anything).
    void showVolumeOf(const QString& directory);
    // The roots listed.
    QStringList roots() const { return roots_; }

private:
    void chosen(int index);

    DirectoryListBox* dirList_ = nullptr;
    QStringList roots_;
    bool updating_ = false;
};

} // namespace patchsmith::dialogs
