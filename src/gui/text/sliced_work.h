#pragma once

#include <QObject>
#include <QPointer>
#include <QWindow>

#include <functional>
#include <initializer_list>
#include <vector>

class QWidget;

namespace tarvela {

// Reading many files without making a window wait: the work is cut into steps (one file each)
// that run from the event loop in slices of a few milliseconds, so the windows paint and take
// input between the slices and nothing runs nested inside the work.
class SlicedWork : public QObject {
    Q_OBJECT
public:
    // One step of the work: false when there is nothing more to do.
    using Step = std::function<bool()>;

    explicit SlicedWork(QObject* parent = nullptr);
    ~SlicedWork() override;

    // Runs `step` from the event loop until it returns false, then `done`; `afterSlice` (when
    // given) runs after every slice but the last (a window shows what was read so far). Work
    // still running is stopped first. A step that fails stops the work (the failure goes to the
    // error box) and `done` does not run.
    void Start(Step step, std::function<void()> done, std::function<void()> afterSlice = {});
    // The same, once `window` has been put on the screen and painted (at once when it already
    // is), so the work never delays the window's appearance.
    void StartWhenShown(QWidget* window, Step step, std::function<void()> done,
                        std::function<void()> afterSlice = {});
    // No further step runs and `done` is not called.
    virtual void Stop();
    // True from Start (or StartWhenShown) until the work is done or stopped.
    bool IsRunning() const { return running_ || waiting_; }

signals:
    // After each slice while the work runs, with the steps done so far (a window shows its
    // progress).
    void progressed(int stepsDone);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void RunSlice();
    void QueueSlice();

    Step step_;
    std::function<void()> done_;
    std::function<void()> afterSlice_;
    bool running_ = false;
    bool waiting_ = false; // StartWhenShown: the window not yet painted
    int steps_ = 0;
    quint64 generation_ = 0;   // a queued slice or wait of stopped work does nothing
    QPointer<QWindow> handle_; // the native window watched for its first exposure
};

// The name of the window property that is true while a listing window fills (the tests' modal
// drivers wait for it to turn false before they act on the window).
inline constexpr char kFillingProperty[] = "tarvelaFilling";

// A listing window that appears at once and fills afterwards: the work starts when the window
// has been put on the screen and painted. While it fills, the window takes no user input except
// closing it: Esc, the close button of the title bar, and the buttons given as `closers`
// (Storno, Zavřít). Closing stops the fill; nothing is written to the window after.
class WindowFill : public SlicedWork {
    Q_OBJECT
public:
    // Made by the window, as a member destroyed before the window's controls.
    WindowFill(QWidget* window, std::initializer_list<QWidget*> closers);
    ~WindowFill() override;

    void StartWhenShown(Step step, std::function<void()> done,
                        std::function<void()> afterSlice = {});
    // Stops the fill; the window takes input again.
    void Stop() override;
    bool Filling() const { return IsRunning(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetFilling(bool filling);
    bool TakesInput(QObject* watched, QEvent* event) const;

    QWidget* window_;
    std::vector<QPointer<QWidget>> closers_;
    bool filterInstalled_ = false;
};

} // namespace tarvela
