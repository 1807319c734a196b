#include "ui/QarnAnimation.h"

#include "ui/DialogKit.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

namespace patchsmith::dialogs {

QarnImageList::QarnImageList() {
    frames_.reserve(kQarnFrames);
    for (int i = 0; i < kQarnFrames; ++i) frames_.push_back(drawFrame(i));
}

const QPixmap& QarnImageList::frame(int index) const {
    return frames_.at(static_cast<std::size_t>(index >= 0 && index < count() ? index : 0));
}

QPixmap QarnImageList::drawFrame(int index) {
    const double s = kQarnFrameSize;
    QPixmap pixmap(kQarnFrameSize, kQarnFrameSize);
    pixmap.fill(Qt::black);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(s / 2, s / 2);

    // Seven dots on a ring, the brightest one a step further each frame.
    const double step = 2 * std::numbers::pi / kQarnFrames;
    for (int k = 0; k < kQarnFrames; k += 2) {
        const double angle = (k + index) * step - std::numbers::pi / 2;
        const int age = (kQarnFrames + k) % kQarnFrames;
        const int green = 255 - age * 12;
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, green, 0));
        const QPointF dot(centre.x() + std::cos(angle) * (s / 2 - 5), centre.y() + std::sin(angle) * (s / 2 - 5));
        p.drawEllipse(dot, 3.0, 3.0);
    }

    // The "Q" swells and shrinks once per turn.
    const double pulse = 0.5 + 0.5 * std::sin(index * step);
    QFont f;
    f.setBold(true);
    f.setPixelSize(static_cast<int>(18 + 6 * pulse));
    p.setFont(f);
    p.setPen(QColor(static_cast<int>(80 + 175 * pulse), static_cast<int>(80 + 175 * pulse), 255));
    p.drawText(QRectF(0, 0, s, s), Qt::AlignCenter, "Q");
    return pixmap;
}

QPixmap qarnStaticLogo() {
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(kNavy);
    p.drawRoundedRect(QRectF(2.5, 2.5, 59, 59), 8, 8);
    // A sine wave over five keys.
    QPainterPath wave;
    for (int x = 8; x <= 56; ++x) {
        const double y = 22 - 10 * std::sin((x - 8) * std::numbers::pi / 12);
        if (x == 8)
            wave.moveTo(x, y);
        else
            wave.lineTo(x, y);
    }
    p.setPen(QPen(kLime, 2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(wave);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    for (int k = 0; k < 5; ++k) p.drawRect(QRectF(8 + k * 9.6, 38, 9.6, 18));
    p.setBrush(Qt::black);
    for (int k : {0, 1, 3}) p.drawRect(QRectF(14 + k * 9.6, 38, 6, 10));
    return pixmap;
}

QarnLogoBox::QarnLogoBox(const QarnImageList& images, QWidget* parent) : QWidget(parent), images_(images) {}

void QarnLogoBox::setFrame(int frame) {
    frame_ = frame;
    update();
}

void QarnLogoBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawPixmap(0, 0, images_.frame(frame_));
}

} // namespace patchsmith::dialogs
