#pragma once
// The two-button message window: a question with two answers whose captions
// the caller chooses. Created once and reused.

#include <QDialog>
#include <QPixmap>

class QLabel;
class QPushButton;

namespace patchsmith {

class TMessageWindow : public QDialog {
public:
    explicit TMessageWindow(QWidget* parent = nullptr);

    // Shows `text` with the two buttons captioned `first` and `second`;
    // 1 when the first closed it, 2 when the second did, 0 otherwise.
    int AskTwoChoices(const QString& text, const QString& first, const QString& second);

    void okButtonClick();
    void cancelButtonClick();
    int result() const { return result_; }

    // The 32 x 32 picture beside the text, with a transparent background.
    static QPixmap messagePicture();

    QLabel* TextLabel = nullptr;
    QLabel* Image1 = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    int result_ = 0;
    bool sized_ = false;
};

} // namespace patchsmith
