#include "ui/Pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <QSize>

namespace patchsmith::editor {

namespace {

const QColor kWaveColour(0, 255, 0);

void waveBackground(QPainter& p, const QSize& size) {
    p.fillRect(QRect(QPoint(0, 0), size), Qt::black);
    p.setPen(QPen(QColor(0, 90, 0), 1, Qt::DotLine));
    p.drawLine(0, size.height() / 2, size.width(), size.height() / 2);
    p.setPen(QPen(kWaveColour, 1));
}

} // namespace

void paintTechnoSynth(QPainter& p, const QSize& size) {
    const int w = size.width();
    const int h = size.height();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.fillRect(QRect(0, 0, w, h), QColor(212, 208, 200));

    // The body: a dark panel with a silver edge, slightly tilted back.
    const QRectF body(2, 4, w - 4, h - 6);
    QLinearGradient shade(body.topLeft(), body.bottomLeft());
    shade.setColorAt(0, QColor(70, 74, 84));
    shade.setColorAt(1, QColor(28, 30, 36));
    p.setPen(QPen(QColor(160, 164, 172), 1));
    p.setBrush(shade);
    p.drawRoundedRect(body, 4, 4);

    // Display with the instrument's name.
    const QRectF display(body.left() + 6, body.top() + 5, body.width() * 0.34, 12);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(10, 40, 10));
    p.drawRect(display);
    QFont f = p.font();
    f.setPixelSize(9);
    f.setBold(true);
    p.setFont(f);
    p.setPen(kWaveColour);
    p.drawText(display, Qt::AlignCenter, QStringLiteral("CS1x"));

    // Six knobs beside the display.
    const double knobLeft = display.right() + 8;
    const double knobStep = (body.right() - 6 - knobLeft) / 6.0;
    for (int i = 0; i < 6; ++i) {
        const QPointF c(knobLeft + knobStep * (i + 0.5), display.center().y());
        p.setPen(QPen(QColor(20, 20, 20), 1));
        p.setBrush(QColor(190, 190, 196));
        p.drawEllipse(c, 4.5, 4.5);
        p.setPen(QPen(QColor(230, 40, 40), 1.2));
        p.drawLine(c, c + QPointF(2.5 * ((i % 3) - 1), -3.5));
    }

    // Keyboard.
    const QRectF keys(body.left() + 4, display.bottom() + 6, body.width() - 8, body.bottom() - display.bottom() - 9);
    const int whiteCount = 21;
    const double kw = keys.width() / whiteCount;
    p.setPen(QPen(QColor(60, 60, 60), 0.8));
    p.setBrush(QColor(250, 250, 246));
    for (int i = 0; i < whiteCount; ++i) p.drawRect(QRectF(keys.left() + i * kw, keys.top(), kw, keys.height()));
    p.setBrush(QColor(15, 15, 15));
    p.setPen(Qt::NoPen);
    static const bool kHasBlack[7] = {true, true, false, true, true, true, false};
    for (int i = 0; i < whiteCount - 1; ++i)
        if (kHasBlack[i % 7])
            p.drawRect(QRectF(keys.left() + (i + 1) * kw - kw * 0.3, keys.top(), kw * 0.6, keys.height() * 0.6));
}

void paintTriangleWave(QPainter& p, const QSize& size) {
    waveBackground(p, size);
    const int w = size.width() - 1;
    const int top = 2;
    const int bottom = size.height() - 3;
    const int mid = size.height() / 2;
    QPolygon line;
    line << QPoint(0, mid) << QPoint(w / 4, top) << QPoint(3 * w / 4, bottom) << QPoint(w, mid);
    p.drawPolyline(line);
}

void paintSawtoothWave(QPainter& p, const QSize& size) {
    waveBackground(p, size);
    const int w = size.width() - 1;
    const int top = 2;
    const int bottom = size.height() - 3;
    QPolygon line;
    line << QPoint(0, bottom) << QPoint(w / 2, top) << QPoint(w / 2, bottom) << QPoint(w, top) << QPoint(w, bottom);
    p.drawPolyline(line);
}

void paintSampleHoldWave(QPainter& p, const QSize& size) {
    waveBackground(p, size);
    const int w = size.width() - 1;
    const int h = size.height();
    // Fixed "random" steps, so the picture is the same every time.
    static const double kLevels[6] = {0.35, 0.8, 0.15, 0.6, 0.9, 0.3};
    QPolygon line;
    for (int i = 0; i < 6; ++i) {
        const int y = 2 + static_cast<int>(kLevels[i] * (h - 5));
        line << QPoint(i * w / 6, y) << QPoint((i + 1) * w / 6, y);
    }
    p.drawPolyline(line);
}

} // namespace patchsmith::editor
