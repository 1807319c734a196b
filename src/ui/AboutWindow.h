#pragma once
// The about window, with its animated logo.

#include "ui/QarnAnimation.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace patchsmith {

class TAboutWindow : public QDialog {
public:
    explicit TAboutWindow(QWidget* parent = nullptr);

    void FormCreate();
    // One tick of the animation: stop, next frame, draw, restart.
    void qarnTimerTimer();

    int currentFrame() const { return QarnLogo->frame(); }

    QLabel* logoImage = nullptr;
    dialogs::QarnLogoBox* QarnLogo = nullptr;
    QTimer* QarnTimer = nullptr;
    QLabel* titleLabel = nullptr;
    QLabel* designedLabel = nullptr;
    QLabel* synthLabel = nullptr;
    QLabel* byLabel = nullptr;
    QLabel* makerLabel = nullptr;
    QLabel* mailLabel = nullptr;
    QLabel* webLabel = nullptr;
    QLineEdit* webEdit = nullptr;
    QPushButton* OKButton = nullptr;

    const dialogs::QarnImageList QarnImageList;
};

// The " &About " menu and a click on the main window's picture.
void showAbout(QWidget* parent = nullptr);

} // namespace patchsmith
