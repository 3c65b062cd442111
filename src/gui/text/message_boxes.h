#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <exception>
#include <functional>
#include <new>
#include <type_traits>
#include <utility>

#include "text/errors.h"

namespace tarvela {

// The application title: the caption of ShowInfo and ErrorBox and the main window's caption.
inline constexpr const char* kApplicationTitle = "Tarvela";

// The modal boxes in which the program speaks to the user. All of them are modal to the whole
// application; the text may hold line breaks (CR LF or LF).

// Information icon, OK, caption "Tarvela".
void ShowInfo(const QString& text);
// Information icon, OK, the caller's caption.
void ShowInfoCaption(const QString& caption, const QString& text);
// Warning icon, OK, the caller's caption.
void ShowWarning(const QString& caption, const QString& text);
// Question icon, "Ano" and "Ne" with "Ne" as the default button; true when the user answers Yes.
// The window's close button is not offered.
bool AskYesNo(const QString& caption, const QString& text);

// The answer to a question that can also be called off.
enum class Answer { Yes, No, Cancel };
// Question icon, "Ano", "Ne" and "Storno" with "Storno" as the default button; Escape and the
// window's close button answer Storno too, so that neither Enter nor a slip loses anything.
Answer AskYesNoCancel(const QString& caption, const QString& text);
// Error icon, OK, caption "Tarvela": a failure that a handler did not handle. The message gets a
// full stop when its last character has a code above that of the full stop.
void ErrorBox(const QString& message);

// The text ErrorBox shows for a failure message (the full-stop rule).
QString ErrorBoxText(const QString& message);

// What the error box says when the memory ran out.
QString OutOfMemoryMessage();

// What a box was, as recorded by MessageBoxRecorder.
enum class BoxKind { Info, InfoCaption, Warning, YesNo, YesNoCancel, Error };

struct ShownBox {
    BoxKind kind;
    QString caption;
    QString text; // as shown (for ErrorBox with the full stop added)
    bool operator==(const ShownBox&) const = default;
};

// Test seam: while an instance lives, no box appears; every box is recorded instead, and AskYesNo
// takes its answers from the queue (an empty queue answers No, the default button), AskYesNoCancel
// likewise (an empty queue answers Cancel, its default). Instances nest; the innermost one
// records.
class MessageBoxRecorder {
public:
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    void queueAnswer(bool yes);
    void queueAnswer(Answer answer);
    const QList<ShownBox>& shown() const { return shown_; }
    QList<ShownBox> takeShown();
    int pendingAnswers() const { return static_cast<int>(answers_.size()); }

    // Used by the boxes themselves.
    void record(const ShownBox& box) { shown_.append(box); }
    bool nextAnswer();
    Answer nextChoice();

private:
    QList<ShownBox> shown_;
    QList<Answer> answers_;
    MessageBoxRecorder* outer_ = nullptr;
};

// ---- The handler guard ----------------------------------------------------------------------
//
// Every action, button and event handler runs through RunGuarded: a failure it does not handle
// ends the handler and is shown in ErrorBox; the program goes on with the state reached so far.

template <class F> void RunGuarded(F&& handler) {
    try {
        std::forward<F>(handler)();
    } catch (const TarvelaError& e) {
        ErrorBox(e.message());
    } catch (const std::bad_alloc&) {
        ErrorBox(OutOfMemoryMessage());
    } catch (const std::exception& e) {
        ErrorBox(QString::fromLocal8Bit(e.what()));
    }
}

// Calls `handler` with the signal's arguments when it takes them, else without arguments. A
// function template of its own, so that the call not taken is never compiled (inside a generic
// lambda, clang checks a call that does not depend on the lambda's parameters even when it is
// not taken).
template <class F, class... Args> void InvokeWithSignalArguments(F& handler, Args&&... args) {
    if constexpr (std::is_invocable_v<F&, Args...>) {
        std::invoke(handler, std::forward<Args>(args)...);
    } else {
        std::invoke(handler);
    }
}

// A callable for QObject::connect that runs `handler` guarded. The handler may take the signal's
// arguments or none.
template <class F> auto Guarded(F handler) {
    return [handler = std::move(handler)](auto&&... args) mutable {
        RunGuarded(
            [&] { InvokeWithSignalArguments(handler, std::forward<decltype(args)>(args)...); });
    };
}

// connect(sender, signal, context, handler) with the handler guarded; the connection ends with
// the context object.
template <class Sender, class Signal, class F>
auto ConnectGuarded(const Sender* sender, Signal signal, const QObject* context, F handler) {
    return QObject::connect(sender, signal, context, Guarded(std::move(handler)));
}

// The same for a member function without arguments: ConnectGuarded(button, &QPushButton::clicked,
// this, &TKonfig::Tl_OkClick).
template <class Sender, class Signal, class Receiver>
auto ConnectGuarded(const Sender* sender, Signal signal, Receiver* receiver,
                    void (Receiver::*method)()) {
    return QObject::connect(sender, signal, receiver,
                            Guarded([receiver, method] { (receiver->*method)(); }));
}

} // namespace tarvela
