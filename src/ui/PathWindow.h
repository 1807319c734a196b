#pragma once
// The directory chooser: where performances received from the synthesizer
// are stored.

#include "ui/DirectoryWidgets.h"

#include <QDialog>

#include <string>

class QLabel;
class QPushButton;

namespace patchsmith {

class TPathWindow : public QDialog {
public:
    explicit TPathWindow(QWidget* parent = nullptr);

    void okButtonClick();
    void cancelButtonClick();

    // Set by OKButton.
    bool confirmed() const { return confirmed_; }

    QLabel* PathLabel = nullptr;
    dialogs::DirectoryListBox* DirectoryListBox = nullptr;
    dialogs::DriveComboBox* DriveComboBox = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

private:
    bool confirmed_ = false;
};

// Shows the chooser at `lastDir`; when it is confirmed, `lastDir` becomes the
// chosen directory and the result is true.
bool ChooseLastDir(QString& lastDir, QWidget* parent = nullptr);
bool ChooseLastDir(std::string& lastDir, QWidget* parent = nullptr);

} // namespace patchsmith
