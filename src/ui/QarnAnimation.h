#pragma once
// The pictures of the about window: the animated logo's 14 frames and the
// static logo, all drawn here.

#include <QPixmap>
#include <QWidget>

#include <vector>

namespace patchsmith::dialogs {

inline constexpr int kQarnFrames = 14;
inline constexpr int kQarnFrameSize = 48;
inline constexpr int kQarnFrameMs = 70;

// The frame after `frame`: 0, 1, ..., 13, then 0 again.
constexpr int nextQarnFrame(int frame) { return frame >= kQarnFrames - 1 || frame < 0 ? 0 : frame + 1; }

// The image list of the animated logo: a ring turning a step per frame
// around a pulsing "Q".
class QarnImageList {
public:
    QarnImageList();
    int count() const { return static_cast<int>(frames_.size()); }
    const QPixmap& frame(int index) const;

    static QPixmap drawFrame(int index);

private:
    std::vector<QPixmap> frames_;
};

// The static logo of the about window (64 x 64).
QPixmap qarnStaticLogo();

// The paint box that shows one frame of the image list at its top left.
class QarnLogoBox : public QWidget {
    Q_OBJECT
public:
    QarnLogoBox(const QarnImageList& images, QWidget* parent = nullptr);
    void setFrame(int frame);
    int frame() const { return frame_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const QarnImageList& images_;
    int frame_ = 0;
};

} // namespace patchsmith::dialogs
