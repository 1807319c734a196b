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
    void QarnTimerTimer();

    int currentFrame() const { return QarnLogo->frame(); }

    QLabel* LogoImage = nullptr;
    dialogs::QarnLogoBox* QarnLogo = nullptr;
    QTimer* QarnTimer = nullptr;
    QLabel* TitleLabel = nullptr;
    QLabel* DesignedLabel = nullptr;
    QLabel* SynthLabel = nullptr;
    QLabel* ByLabel = nullptr;
    QLabel* MakerLabel = nullptr;
    QLabel* MailLabel = nullptr;
    QLabel* WebLabel = nullptr;
    QLineEdit* WebEdit = nullptr;
    QPushButton* OKButton = nullptr;

    const dialogs::QarnImageList QarnImageList;
};

// The " &About " menu and a click on the main window's picture.
void ShowAbout(QWidget* parent = nullptr);

} // namespace patchsmith
