#include "text/message_boxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "text/helpers.h"

namespace tarvela {

namespace {

MessageBoxRecorder* g_recorder = nullptr;

QString DisplayText(const QString& text) {
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return shown;
}

QWidget* BoxParent() {
    QWidget* parent = QApplication::activeModalWidget();
    if (!parent)
        parent = QApplication::activeWindow();
    return parent;
}

// A modal box with one OK button.
void ShowOkBox(QMessageBox::Icon icon, const QString& caption, const QString& text) {
    QMessageBox box(icon, caption, DisplayText(text), QMessageBox::NoButton, BoxParent());
    box.setWindowModality(Qt::ApplicationModal);
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
}

void Show(BoxKind kind, QMessageBox::Icon icon, const QString& caption, const QString& text) {
    if (g_recorder) {
        g_recorder->record({kind, caption, text});
        return;
    }
    ShowOkBox(icon, caption, text);
}

} // namespace

MessageBoxRecorder::MessageBoxRecorder() : outer_(g_recorder) {
    g_recorder = this;
}

MessageBoxRecorder::~MessageBoxRecorder() {
    g_recorder = outer_;
}

void MessageBoxRecorder::queueAnswer(bool yes) {
    answers_.append(yes ? Answer::Yes : Answer::No);
}

void MessageBoxRecorder::queueAnswer(Answer answer) {
    answers_.append(answer);
}

QList<ShownBox> MessageBoxRecorder::takeShown() {
    QList<ShownBox> result;
    result.swap(shown_);
    return result;
}

bool MessageBoxRecorder::nextAnswer() {
    return answers_.isEmpty() ? false : answers_.takeFirst() == Answer::Yes;
}

Answer MessageBoxRecorder::nextChoice() {
    return answers_.isEmpty() ? Answer::Cancel : answers_.takeFirst();
}

void ShowInfo(const QString& text) {
    Show(BoxKind::Info, QMessageBox::Information, QString::fromLatin1(kApplicationTitle), text);
}

void ShowInfoCaption(const QString& caption, const QString& text) {
    Show(BoxKind::InfoCaption, QMessageBox::Information, caption, text);
}

void ShowWarning(const QString& caption, const QString& text) {
    Show(BoxKind::Warning, QMessageBox::Warning, caption, text);
}

bool AskYesNo(const QString& caption, const QString& text) {
    if (g_recorder) {
        g_recorder->record({BoxKind::YesNo, caption, text});
        return g_recorder->nextAnswer();
    }
    QMessageBox box(QMessageBox::Question, caption, DisplayText(text), QMessageBox::NoButton,
                    BoxParent());
    box.setWindowModality(Qt::ApplicationModal);
    // No close button in the title bar: the question is answered by one of the two buttons.
    box.setWindowFlags((box.windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint) &
                       ~Qt::WindowCloseButtonHint);
    QPushButton* yes = box.addButton(QStringLiteral("Ano"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("Ne"), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

Answer AskYesNoCancel(const QString& caption, const QString& text) {
    if (g_recorder) {
        g_recorder->record({BoxKind::YesNoCancel, caption, text});
        return g_recorder->nextChoice();
    }
    QMessageBox box(QMessageBox::Question, caption, DisplayText(text), QMessageBox::NoButton,
                    BoxParent());
    box.setWindowModality(Qt::ApplicationModal);
    QPushButton* yes = box.addButton(QStringLiteral("&Ano"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&Ne"), QMessageBox::NoRole);
    QPushButton* cancel = box.addButton(QStringLiteral("&Storno"), QMessageBox::RejectRole);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == yes)
        return Answer::Yes;
    if (box.clickedButton() == no)
        return Answer::No;
    return Answer::Cancel;
}

QString OutOfMemoryMessage() {
    return QStringLiteral("Pro tuto operaci není dost paměti. Zavřete jiné programy a zkuste to "
                          "znovu.");
}

QString ErrorBoxText(const QString& message) {
    return AppendFullStop(message);
}

void ErrorBox(const QString& message) {
    Show(BoxKind::Error, QMessageBox::Critical, QString::fromLatin1(kApplicationTitle),
         ErrorBoxText(message));
}

} // namespace tarvela
