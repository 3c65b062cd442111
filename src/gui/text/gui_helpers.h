#pragma once

#include <QLabel>
#include <QString>

class QLineEdit;
class QObject;

namespace tarvela {

// Asks the desktop to open a web address or a file in its default handler, shown normally.
// `parameters` are handed to the target when it is a program; a document or web address has no
// use for them. Returns true when the desktop accepted the request; callers may ignore it.
bool OpenDocument(const QString& target, const QString& parameters = QString());

// OpenDocument for a user's command: when the desktop cannot open the target (no browser, no
// handler) a warning box says so: `failureMessage`, or CannotOpenMessage naming the address.
// On a desktop (X11, Wayland) the target goes to xdg-open without waiting; its failure is said
// when it ends. False when the target was refused at once.
bool OpenDocumentOrSay(const QString& target, const QString& failureMessage = QString());

// The warning's text for a target that could not be opened.
QString CannotOpenMessage(const QString& target);

// Enables every button named "Tl_Ok" among the widgets the dialog owns.
void EnableOkButton(QObject* dialog);

// Lets the GUI process pending events with user input excluded, so the window stays painted
// during a long listing but no click or key starts another command in the middle of it.
void ProcessPaintEvents();

// Limits what the user can type or paste into an edit field to `limit` characters (0: no
// limit). Unlike QLineEdit::setMaxLength, a text set by the program is never cut, and changing
// the limit leaves a longer text already in the field as it is.
void SetTypingLimit(QLineEdit* edit, int limit);
// The limit set by SetTypingLimit (0: none).
int TypingLimit(const QLineEdit* edit);

// A web link as a label: the address without its scheme, underlined in dark red with the hand
// cursor. A click opens "http://" + the text; the underline goes away while the mouse is over it.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(const QString& address = QString(), QWidget* parent = nullptr);
    // Without an address yet (as a form creates it).
    explicit LinkLabel(QWidget* parent) : LinkLabel(QString(), parent) {}

    void Click();
    void MouseEnter();
    void MouseLeave();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void setUnderline(bool on);
};

} // namespace tarvela
