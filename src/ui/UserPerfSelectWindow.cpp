#include "ui/UserPerfSelectWindow.h"

#include "ui/DialogKit.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace patchsmith {

using namespace dialogs;

TUserPerfSelectWindow::TUserPerfSelectWindow(const QStringList& rows, QWidget* parent) : QDialog(parent) {
    setObjectName("TUserPerfSelectWindow");
    prepareDialog(this, "Select Dest", 149, 230);

    Label32 = new QLabel("User Performance", this);
    setAccessible(Label32, "User Performance", "Label32");
    styleBoldNavy(Label32);
    Label32->setAlignment(Qt::AlignCenter);
    Label32->setGeometry(4, 4, 141, 16);

    UserPerfSelect = new QListWidget(this);
    setHint(UserPerfSelect, "Select User-Performance to dump", "UserPerfSelect");
    styleLimeOnBlack(UserPerfSelect);
    UserPerfSelect->setSelectionMode(QAbstractItemView::SingleSelection);
    UserPerfSelect->setGeometry(4, 22, 141, 173);
    UserPerfSelect->addItems(rows);

    UserPerfOK = new QPushButton("Request", this);
    setAccessible(UserPerfOK, "Request", "UserPerfOK");
    UserPerfOK->setDefault(true);
    UserPerfOK->setGeometry(4, 201, 68, 25);
    UserPerfCancel = new QPushButton("Cancel", this);
    setAccessible(UserPerfCancel, "Cancel", "UserPerfCancel");
    UserPerfCancel->setGeometry(77, 201, 68, 25);

    connect(UserPerfOK, &QPushButton::clicked, this, [this] { userPerfOkClick(); });
    connect(UserPerfCancel, &QPushButton::clicked, this, [this] { userPerfCancelClick(); });
    connect(UserPerfSelect, &QListWidget::itemDoubleClicked, this, [this] { userPerfSelectDblClick(); });
}

void TUserPerfSelectWindow::setOkCaption(const QString& caption) {
    UserPerfOK->setText(caption);
    UserPerfOK->setAccessibleName(caption);
}

void TUserPerfSelectWindow::setSelectedRow(int row) {
    if (row >= 0 && row < UserPerfSelect->count()) {
        UserPerfSelect->setCurrentRow(row);
    } else {
        UserPerfSelect->setCurrentRow(-1);
        UserPerfSelect->clearSelection();
    }
}

void TUserPerfSelectWindow::setTopRow(int row) {
    if (row < 0 || row >= UserPerfSelect->count()) return;
    UserPerfSelect->scrollToItem(UserPerfSelect->item(row), QAbstractItemView::PositionAtTop);
}

int TUserPerfSelectWindow::selectedRow() const {
    const auto selected = UserPerfSelect->selectedItems();
    return selected.isEmpty() ? -1 : UserPerfSelect->row(selected.front());
}

int TUserPerfSelectWindow::topRow() const {
    const QModelIndex index = UserPerfSelect->indexAt(QPoint(1, 1));
    return index.isValid() ? index.row() : -1;
}

void TUserPerfSelectWindow::userPerfOkClick() {
    if (selectedRow() >= 0) confirmed_ = true;
    accept();
}

void TUserPerfSelectWindow::userPerfCancelClick() { reject(); }

void TUserPerfSelectWindow::userPerfSelectDblClick() { userPerfOkClick(); }

std::optional<int> selectUserPerformance(const QStringList& rows, const QString& caption, const QString& okCaption,
                                         int selectedRow, int topRow, QWidget* parent) {
    TUserPerfSelectWindow window(rows, parent);
    if (!caption.isEmpty()) window.setWindowTitle(caption);
    if (!okCaption.isEmpty()) window.setOkCaption(okCaption);
    window.setSelectedRow(selectedRow);
    window.setTopRow(topRow);
    runModal(window);
    if (!window.confirmed()) return std::nullopt;
    return window.selectedRow();
}

} // namespace patchsmith
