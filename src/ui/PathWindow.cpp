#include "ui/PathWindow.h"

#include "ui/DialogKit.h"

#include <QLabel>
#include <QPushButton>

namespace patchsmith {

using namespace dialogs;

TPathWindow::TPathWindow(QWidget* parent) : QDialog(parent) {
    setObjectName("TPathWindow");
    prepareDialog(this, " Select dest. path", 208, 242);

    PathLabel = new QLabel(this);
    setReadout(PathLabel, "PathLabel");
    PathLabel->setGeometry(8, 6, 192, 13);

    DirectoryListBox = new dialogs::DirectoryListBox(this);
    setAccessible(DirectoryListBox, "Directories", "DirectoryListBox");
    styleLimeOnBlack(DirectoryListBox);
    DirectoryListBox->setGeometry(8, 22, 192, 158);

    DriveComboBox = new dialogs::DriveComboBox(this);
    setAccessible(DriveComboBox, "Drives", "DriveComboBox");
    styleLimeOnBlack(DriveComboBox);
    DriveComboBox->setGeometry(8, 186, 192, 21);

    OKButton = new QPushButton("OK", this);
    setAccessible(OKButton, "OK", "OKButton");
    OKButton->setGeometry(8, 213, 92, 23);
    OKButton->setDefault(true);
    CancelButton = new QPushButton("Cancel", this);
    setAccessible(CancelButton, "Cancel", "CancelButton");
    CancelButton->setGeometry(108, 213, 92, 23);

    connect(DirectoryListBox, &dialogs::DirectoryListBox::directoryChanged, PathLabel, &QLabel::setText);
    DriveComboBox->setDirList(DirectoryListBox);
    connect(OKButton, &QPushButton::clicked, this, [this] { okButtonClick(); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { cancelButtonClick(); });
}

void TPathWindow::okButtonClick() {
    confirmed_ = true;
    accept();
}

void TPathWindow::cancelButtonClick() { reject(); }

bool ChooseLastDir(QString& lastDir, QWidget* parent) {
    TPathWindow window(parent);
    window.DirectoryListBox->setDirectory(lastDir);
    runModal(window);
    if (!window.confirmed()) return false;
    lastDir = window.DirectoryListBox->directory();
    return true;
}

bool ChooseLastDir(std::string& lastDir, QWidget* parent) {
    QString dir = QString::fromStdString(lastDir);
    if (!ChooseLastDir(dir, parent)) return false;
    lastDir = dir.toStdString();
    return true;
}

} // namespace patchsmith
