#include "ui/AboutWindow.h"

#include "ui/DialogKit.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace patchsmith {

using namespace dialogs;

namespace {

QLabel* centredLabel(QWidget* parent, const QString& name, const QString& text, QRect geometry) {
    auto* label = new QLabel(text, parent);
    setAccessible(label, text, name);
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(geometry);
    return label;
}

} // namespace

TAboutWindow::TAboutWindow(QWidget* parent) : QDialog(parent) {
    setObjectName("TAboutWindow");
    prepareDialog(this, " About Qarn Patchsmith", 324, 247);

    logoImage = new QLabel(this);
    setAccessible(logoImage, "Qarn Patchsmith logo", "LogoImage");
    logoImage->setPixmap(qarnStaticLogo());
    logoImage->setGeometry(12, 12, 64, 64);

    QarnLogo = new QarnLogoBox(QarnImageList, this);
    setAccessible(QarnLogo, "Qarn logo", "QarnLogo");
    QarnLogo->setGeometry(264, 16, kQarnFrameSize, kQarnFrameSize);

    titleLabel = centredLabel(this, "TitleLabel", "Qarn Patchsmith", {80, 12, 176, 22});
    QFont titleFont = font();
    titleFont.setBold(true);
    titleFont.setPointSize(12);
    titleLabel->setFont(titleFont);
    styleBoldNavy(titleLabel);
    designedLabel = centredLabel(this, "DesignedLabel", "designed for", {80, 38, 176, 14});
    synthLabel = centredLabel(this, "SynthLabel", "YAMAHA-CS1x Synthesizers", {80, 54, 176, 16});
    styleBoldNavy(synthLabel);
    byLabel = centredLabel(this, "ByLabel", "by", {80, 78, 176, 14});
    makerLabel = centredLabel(this, "MakerLabel", "Qarn Inc.", {80, 94, 176, 16});
    styleBoldNavy(makerLabel);

    mailLabel = centredLabel(this, "MailLabel", "Mail: patchsmith@patchsmith.example", {12, 130, 300, 14});
    webLabel = new QLabel("Web:", this);
    setAccessible(webLabel, "Web:", "WebLabel");
    webLabel->setGeometry(12, 156, 40, 21);
    webEdit = new QLineEdit("https://patchsmith.example", this);
    setAccessible(webEdit, "Web address", "WebEdit");
    webEdit->setReadOnly(true);
    webEdit->setGeometry(56, 156, 256, 21);

    OKButton = new QPushButton("OK", this);
    setAccessible(OKButton, "OK", "OKButton");
    OKButton->setDefault(true);
    OKButton->setGeometry(124, 206, 76, 25);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    QarnTimer = new QTimer(this);
    QarnTimer->setObjectName("QarnTimer");
    QarnTimer->setSingleShot(true);
    connect(QarnTimer, &QTimer::timeout, this, [this] { qarnTimerTimer(); });

    FormCreate();
}

void TAboutWindow::FormCreate() {
    QarnTimer->start(kQarnFrameMs);
    QarnLogo->setFrame(0);
}

void TAboutWindow::qarnTimerTimer() {
    QarnTimer->stop();
    QarnLogo->setFrame(nextQarnFrame(QarnLogo->frame()));
    QarnTimer->start(kQarnFrameMs);
}

void showAbout(QWidget* parent) {
    TAboutWindow window(parent);
    runModal(window);
}

} // namespace patchsmith
