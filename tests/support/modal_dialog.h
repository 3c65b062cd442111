#pragma once

// Driving modal windows from a test. One rule for all: the test fails with a clear message when
// the window does not appear in time, and a window still open after the test's action is closed,
// so a failed check inside the action never leaves the test waiting for the ctest timeout.

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

#include "text/sliced_work.h"

namespace tarvela::test {

// How long a modal window may take to appear, and how long it may stay open after the action.
inline constexpr int kModalAppearMs = 5000;
inline constexpr int kModalCloseMs = 3000;

// True when the window is up and ready for the test: shown, and a listing window done filling.
inline bool ReadyModal(QWidget* modal) {
    return modal && modal->isVisible() && !modal->property(kFillingProperty).toBool();
}

namespace detail {

inline void CloseLater(QWidget* modal) {
    QPointer<QWidget> shown(modal);
    QTimer::singleShot(kModalCloseMs, [shown] {
        if (!shown || !shown->isVisible())
            return;
        if (auto* dialog = qobject_cast<QDialog*>(shown.data()))
            dialog->reject();
        else
            shown->close();
    });
}

} // namespace detail

// Runs `action` on the next modal window other than `current` as soon as it is ready, and returns
// at once; the caller then does what opens the window. Fails the running test when no such window
// appears within kModalAppearMs.
inline void OnNextModal(std::function<void(QWidget*)> action, QWidget* current = nullptr) {
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [action, current, timer, poll] {
        QWidget* modal = QApplication::activeModalWidget();
        if (ReadyModal(modal) && modal != current) {
            *poll = nullptr; // break the cycle before the action may open the next window
            detail::CloseLater(modal);
            action(modal);
            return;
        }
        if (timer->elapsed() < kModalAppearMs) {
            QTimer::singleShot(10, *poll);
            return;
        }
        *poll = nullptr;
        QTest::qFail("no modal window appeared within 5 seconds", __FILE__, __LINE__);
    };
    QTimer::singleShot(0, *poll);
}

// Runs `open` (which shows a modal window and returns once it is closed) and `whileUp` on that
// window while it is up. True when the window appeared; otherwise the test has failed with a
// message saying so. A window `whileUp` leaves open is closed after kModalCloseMs.
inline bool WithModal(const std::function<void()>& open,
                      const std::function<void(QWidget*)>& whileUp) {
    bool seen = false;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!ReadyModal(modal) || seen)
            return;
        seen = true;
        poll.stop();
        detail::CloseLater(modal);
        whileUp(modal);
    });
    poll.start();
    open();
    poll.stop();
    if (!seen)
        QTest::qFail("the expected modal window did not appear", __FILE__, __LINE__);
    return seen;
}

} // namespace tarvela::test
