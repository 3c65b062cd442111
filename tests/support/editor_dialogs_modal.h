#pragma once

// Driving modal dialogs from a test: the action runs once the next modal dialog is up.

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

namespace tarvela::test {

// Runs `action` on the next modal dialog other than `current` as soon as it is shown (polled
// every 10 ms for up to five seconds).
inline void OnNextModal(std::function<void(QWidget*)> action, QWidget* current = nullptr) {
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [action, current, timer, poll] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal != current && modal->isVisible()) {
            QPointer<QWidget> shown(modal);
            action(modal);
            *poll = nullptr; // break the cycle
            // A failed check inside the action must not leave the test waiting forever.
            QTimer::singleShot(3000, [shown] {
                if (auto* dialog = qobject_cast<QDialog*>(shown.data());
                    dialog && dialog->isVisible())
                    dialog->reject();
            });
            return;
        }
        if (timer->elapsed() < 5000)
            QTimer::singleShot(10, *poll);
    };
    QTimer::singleShot(0, *poll);
}

} // namespace tarvela::test
