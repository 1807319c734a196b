#pragma once
// The user-performance chooser: one of the 128 user performances as the
// source of a request or the destination of a send.

#include <QDialog>
#include <QStringList>

#include <optional>

class QLabel;
class QListWidget;
class QPushButton;

namespace patchsmith {

class TUserPerfSelectWindow : public QDialog {
public:
    // `rows`: a copy of the user-performance list as it stands.
    explicit TUserPerfSelectWindow(const QStringList& rows, QWidget* parent = nullptr);

    // What the caller sets before showing it.
    void setOkCaption(const QString& caption);
    void setSelectedRow(int row); // -1: none
    void setTopRow(int row);

    // Handlers.
    void userPerfOkClick();
    void userPerfCancelClick();
    void userPerfSelectDblClick();

    // Set by OK (or a double click) only while a row is selected.
    bool confirmed() const { return confirmed_; }
    // The selected row, -1 for none.
    int selectedRow() const;
    int topRow() const;

    QLabel* Label32 = nullptr;
    QListWidget* UserPerfSelect = nullptr;
    QPushButton* UserPerfOK = nullptr;
    QPushButton* UserPerfCancel = nullptr;

private:
    bool confirmed_ = false;
};

// Shows the chooser with the given caption (empty: its own "Select Dest"),
// confirm caption, selected row and top row; the chosen row when confirmed
// with a row selected, nothing otherwise.
std::optional<int> selectUserPerformance(const QStringList& rows, const QString& caption, const QString& okCaption,
                                         int selectedRow, int topRow, QWidget* parent = nullptr);

} // namespace patchsmith
