#include "text/sliced_work.h"

#include "text/message_boxes.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>

namespace tarvela {

namespace {

// How long one slice of work may keep the event loop waiting: short enough for the window to
// paint and to take a click on its close button without a noticeable delay.
constexpr qint64 kSliceMs = 8;

// How long a shown window may take to be put on the screen before its work starts anyway (a
// window shown minimised is never exposed).
constexpr int kExposeWaitMs = 300;

} // namespace

// ---- SlicedWork ------------------------------------------------------------------------------

SlicedWork::SlicedWork(QObject* parent) : QObject(parent) {}

SlicedWork::~SlicedWork() {
    if (handle_)
        handle_->removeEventFilter(this);
}

void SlicedWork::Start(Step step, std::function<void()> done, std::function<void()> afterSlice) {
    SlicedWork::Stop();
    step_ = std::move(step);
    done_ = std::move(done);
    afterSlice_ = std::move(afterSlice);
    running_ = true;
    QueueSlice();
}

void SlicedWork::StartWhenShown(QWidget* window, Step step, std::function<void()> done,
                                std::function<void()> afterSlice) {
    QWindow* handle = window->windowHandle();
    if (window->isVisible() && handle && handle->isExposed()) {
        Start(std::move(step), std::move(done), std::move(afterSlice));
        return;
    }
    SlicedWork::Stop();
    step_ = std::move(step);
    done_ = std::move(done);
    afterSlice_ = std::move(afterSlice);
    waiting_ = true;
    if (handle && handle != handle_) {
        if (handle_)
            handle_->removeEventFilter(this);
        handle_ = handle;
        handle_->installEventFilter(this);
    }
    const quint64 generation = generation_;
    QTimer::singleShot(kExposeWaitMs, this, [this, generation] {
        if (waiting_ && generation == generation_) {
            waiting_ = false;
            running_ = true;
            QueueSlice();
        }
    });
}

void SlicedWork::Stop() {
    running_ = false;
    waiting_ = false;
    steps_ = 0;
    ++generation_;
    step_ = nullptr;
    done_ = nullptr;
    afterSlice_ = nullptr;
}

bool SlicedWork::eventFilter(QObject* watched, QEvent* event) {
    // The window paints itself as it handles its exposure; the work starts after that.
    if (watched == handle_ && event->type() == QEvent::Expose && waiting_ && handle_->isExposed()) {
        waiting_ = false;
        running_ = true;
        ++generation_; // the fallback timer of the wait has nothing left to do
        QueueSlice();
    }
    return QObject::eventFilter(watched, event);
}

void SlicedWork::QueueSlice() {
    const quint64 generation = generation_;
    QTimer::singleShot(0, this, [this, generation] {
        if (running_ && generation == generation_)
            RunSlice();
    });
}

namespace {

// Runs `work` through the guard; false when it failed (the failure has been shown).
template <class F> bool RanGuarded(F&& work) {
    bool failed = true;
    RunGuarded([&] {
        work();
        failed = false;
    });
    return !failed;
}

} // namespace

void SlicedWork::RunSlice() {
    const quint64 generation = generation_;
    QElapsedTimer slice;
    slice.start();
    bool more = true;
    while (more) {
        const bool ok = RanGuarded([&] { more = step_(); });
        // A failure was shown; the step may also have stopped or restarted the work itself.
        if (generation != generation_)
            return;
        if (!ok) {
            Stop();
            return;
        }
        ++steps_;
        if (more && slice.elapsed() >= kSliceMs)
            break;
    }
    if (more) {
        if (afterSlice_) {
            const bool ok = RanGuarded(afterSlice_);
            if (generation != generation_)
                return;
            if (!ok) {
                Stop();
                return;
            }
        }
        emit progressed(steps_);
        if (generation == generation_)
            QueueSlice();
        return;
    }
    running_ = false;
    step_ = nullptr;
    afterSlice_ = nullptr;
    std::function<void()> done = std::move(done_);
    done_ = nullptr;
    if (done)
        RunGuarded(done);
}

// ---- WindowFill ------------------------------------------------------------------------------

WindowFill::WindowFill(QWidget* window, std::initializer_list<QWidget*> closers)
    : SlicedWork(nullptr), window_(window) {
    for (QWidget* closer : closers)
        closers_.emplace_back(closer);
    // A window that closes (Storno, Esc, accept, the title bar) stops its fill.
    window_->installEventFilter(this);
}

WindowFill::~WindowFill() {
    SlicedWork::Stop();
    window_->removeEventFilter(this);
    if (filterInstalled_ && qApp)
        qApp->removeEventFilter(this);
}

void WindowFill::StartWhenShown(Step step, std::function<void()> done,
                                std::function<void()> afterSlice) {
    SetFilling(true);
    SlicedWork::StartWhenShown(
        window_, std::move(step),
        [this, done = std::move(done)] {
            SetFilling(false);
            if (done)
                done();
        },
        std::move(afterSlice));
}

void WindowFill::Stop() {
    SlicedWork::Stop();
    SetFilling(false);
}

void WindowFill::SetFilling(bool filling) {
    window_->setProperty(kFillingProperty, filling);
    if (filling == filterInstalled_)
        return;
    filterInstalled_ = filling;
    if (filling)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
}

bool WindowFill::TakesInput(QObject* watched, QEvent* event) const {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
        // Esc closes the window; no other key does anything while it fills.
        return static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease: {
        auto* widget = static_cast<QWidget*>(watched);
        for (const QPointer<QWidget>& closer : closers_)
            if (closer && (closer == widget || closer->isAncestorOf(widget)))
                return true;
        return false;
    }
    default:
        return true;
    }
}

bool WindowFill::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_ && event->type() == QEvent::Hide) {
        if (Filling())
            Stop();
        return false;
    }
    if (filterInstalled_ && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if ((widget == window_ || window_->isAncestorOf(widget)) && !TakesInput(watched, event))
            return true;
    }
    return SlicedWork::eventFilter(watched, event);
}

} // namespace tarvela
