#pragma once
// The window's own drawings: the synthesizer picture and the three LFO wave
// shapes, painted at whatever size their boxes have.

class QPainter;
class QSize;

namespace patchsmith::editor {

void paintTechnoSynth(QPainter& p, const QSize& size);
void paintTriangleWave(QPainter& p, const QSize& size);
void paintSawtoothWave(QPainter& p, const QSize& size);
void paintSampleHoldWave(QPainter& p, const QSize& size);

} // namespace patchsmith::editor
