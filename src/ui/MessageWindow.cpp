#include "ui/MessageWindow.h"

#include "ui/DialogKit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace patchsmith {

using namespace dialogs;

TMessageWindow::TMessageWindow(QWidget* parent) : QDialog(parent) {
    setObjectName("TMessageWindow");
    prepareDialog(this, " Patchsmith Message", 295, 110, /*sizable=*/true);

    Image1 = new QLabel(this);
    setAccessible(Image1, "Question", "Image1");
    Image1->setFixedSize(32, 32);
    Image1->setPixmap(messagePicture());

    TextLabel = new QLabel(this);
    setReadout(TextLabel, "TextLabel");
    TextLabel->setWordWrap(true);
    TextLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    OKButton = new QPushButton("OK", this);
    setAccessible(OKButton, "OK", "OKButton");
    OKButton->setDefault(true);
    CancelButton = new QPushButton("Cancel", this);
    setAccessible(CancelButton, "Cancel", "CancelButton");

    // The window can be resized: the text takes the room, the buttons stay
    // centred below it.
    auto* top = new QHBoxLayout;
    top->addWidget(Image1, 0, Qt::AlignTop);
    top->addSpacing(8);
    top->addWidget(TextLabel, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKButton);
    buttons->addSpacing(8);
    buttons->addWidget(CancelButton);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 8, 10, 8);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);

    connect(OKButton, &QPushButton::clicked, this, [this] { okButtonClick(); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { cancelButtonClick(); });
}

int TMessageWindow::AskTwoChoices(const QString& text, const QString& first, const QString& second) {
    result_ = 0;
    OKButton->setText(first);
    OKButton->setAccessibleName(first);
    CancelButton->setText(second);
    CancelButton->setAccessibleName(second);
    TextLabel->setText(text);
    runModal(*this);
    return result_;
}

void TMessageWindow::okButtonClick() {
    result_ = 1;
    accept();
}

void TMessageWindow::cancelButtonClick() {
    result_ = 2;
    accept();
}

void TMessageWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // 295 x 110 is the size with the frame; the frame is known only once the
    // window is shown the first time.
    if (!sized_) {
        sized_ = true;
        const QSize frame = frameGeometry().size() - geometry().size();
        if (frame.width() > 0 || frame.height() > 0) resize(QSize(295, 110) - frame);
    }
}

QPixmap TMessageWindow::messagePicture() {
    QPixmap picture(32, 32);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(kNavy);
    p.drawEllipse(QRectF(1.5, 1.5, 29, 29));
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(22);
    p.setFont(f);
    p.setPen(kLime);
    p.drawText(QRect(0, 0, 32, 32), Qt::AlignCenter, "?");
    return picture;
}

} // namespace patchsmith
