#include "app/FirstFrame.h"

#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWindow>

#include <utility>

namespace patchsmith::app {

namespace {

// Lives on the window and goes with it; whichever comes first, the expose
// or the fallback, starts the task, and the watcher then removes itself.
class FirstFrameWatch : public QObject {
public:
    FirstFrameWatch(QWidget& window, int fallbackMs, std::function<void()> task)
        : QObject(&window), task_(std::move(task)) {
        if (QWindow* handle = window.windowHandle()) {
            handle_ = handle;
            handle->installEventFilter(this);
        }
        QTimer::singleShot(fallbackMs, this, [this] { start(); });
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        // The expose is handled (and the frame painted) after the filters
        // have seen it: the task is queued behind it.
        if (watched == handle_ && event->type() == QEvent::Expose && handle_->isExposed())
            QMetaObject::invokeMethod(
                this, [this] { start(); }, Qt::QueuedConnection);
        return false;
    }

private:
    void start() {
        if (started_) return;
        started_ = true;
        if (handle_) handle_->removeEventFilter(this);
        auto task = std::move(task_);
        deleteLater();
        task();
    }

    std::function<void()> task_;
    QPointer<QWindow> handle_;
    bool started_ = false;
};

} // namespace

void runAfterFirstFrame(QWidget& window, int fallbackMs, std::function<void()> task) {
    new FirstFrameWatch(window, fallbackMs, std::move(task));
}

} // namespace patchsmith::app
