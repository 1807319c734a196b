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
    SetAccessible(label, text, name);
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(geometry);
    return label;
}

} // namespace

TAboutWindow::TAboutWindow(QWidget* parent) : QDialog(parent) {
    setObjectName("TAboutWindow");
    PrepareDialog(this, " About Qarn Patchsmith", 324, 247);

    LogoImage = new QLabel(this);
    SetAccessible(LogoImage, "Qarn Patchsmith logo", "LogoImage");
    LogoImage->setPixmap(QarnStaticLogo());
    LogoImage->setGeometry(12, 12, 64, 64);

    QarnLogo = new QarnLogoBox(QarnImageList, this);
    SetAccessible(QarnLogo, "Qarn logo", "QarnLogo");
    QarnLogo->setGeometry(264, 16, kQarnFrameSize, kQarnFrameSize);

    TitleLabel = centredLabel(this, "TitleLabel", "Qarn Patchsmith", {80, 12, 176, 22});
    QFont titleFont = font();
    titleFont.setBold(true);
    titleFont.setPointSize(12);
    TitleLabel->setFont(titleFont);
    StyleBoldNavy(TitleLabel);
    DesignedLabel = centredLabel(this, "DesignedLabel", "designed for", {80, 38, 176, 14});
    SynthLabel = centredLabel(this, "SynthLabel", "YAMAHA-CS1x Synthesizers", {80, 54, 176, 16});
    StyleBoldNavy(SynthLabel);
    ByLabel = centredLabel(this, "ByLabel", "by", {80, 78, 176, 14});
    MakerLabel = centredLabel(this, "MakerLabel", "Qarn Inc.", {80, 94, 176, 16});
    StyleBoldNavy(MakerLabel);

    MailLabel = centredLabel(this, "MailLabel", "Mail: patchsmith@patchsmith.example", {12, 130, 300, 14});
    WebLabel = new QLabel("Web:", this);
    SetAccessible(WebLabel, "Web:", "WebLabel");
    WebLabel->setGeometry(12, 156, 40, 21);
    WebEdit = new QLineEdit("https://patchsmith.example", this);
    SetAccessible(WebEdit, "Web address", "WebEdit");
    WebEdit->setReadOnly(true);
    WebEdit->setGeometry(56, 156, 256, 21);

    OKButton = new QPushButton("OK", this);
    SetAccessible(OKButton, "OK", "OKButton");
    OKButton->setDefault(true);
    OKButton->setGeometry(124, 206, 76, 25);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    QarnTimer = new QTimer(this);
    QarnTimer->setObjectName("QarnTimer");
    QarnTimer->setSingleShot(true);
    connect(QarnTimer, &QTimer::timeout, this, [this] { QarnTimerTimer(); });

    FormCreate();
}

void TAboutWindow::FormCreate() {
    QarnTimer->start(kQarnFrameMs);
    QarnLogo->setFrame(0);
}

void TAboutWindow::QarnTimerTimer() {
    QarnTimer->stop();
    QarnLogo->setFrame(NextQarnFrame(QarnLogo->frame()));
    QarnTimer->start(kQarnFrameMs);
}

void ShowAbout(QWidget* parent) {
    TAboutWindow window(parent);
    RunModal(window);
}

} // namespace patchsmith
