#include "text/gui_helpers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include "text/message_boxes.h"

namespace tarvela {

namespace {

// A web address (anything with a scheme of two or more letters) or a local path.
QUrl TargetUrl(const QString& target) {
    const QUrl url(target, QUrl::TolerantMode);
    if (url.isValid() && url.scheme().size() > 1)
        return url;
    return QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath());
}

// The key filter behind SetTypingLimit: refuses typed characters beyond the limit and cuts a
// pasted text to the room left.
class TypingLimitFilter : public QObject {
public:
    explicit TypingLimitFilter(QLineEdit* edit) : QObject(edit), edit_(edit) {
        setObjectName(QLatin1String(kName));
    }
    static constexpr const char* kName = "TarvelaTypingLimit";
    int limit = 0;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != edit_ || event->type() != QEvent::KeyPress || limit <= 0)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Paste)) {
            const QString pasted = QApplication::clipboard()->text().section(u'\n', 0, 0);
            edit_->insert(pasted.left(qMax(0, room())));
            return true;
        }
        const QString typed = key->text();
        if (typed.isEmpty() || !typed.at(0).isPrint())
            return false;
        return room() < typed.size();
    }

private:
    int room() const { return limit - (edit_->text().size() - edit_->selectedText().size()); }
    QLineEdit* edit_;
};

TypingLimitFilter* FindTypingLimit(const QLineEdit* edit) {
    return static_cast<TypingLimitFilter*>(edit->findChild<QObject*>(
        QLatin1String(TypingLimitFilter::kName), Qt::FindDirectChildrenOnly));
}

} // namespace

void SetTypingLimit(QLineEdit* edit, int limit) {
    auto* filter = FindTypingLimit(edit);
    if (!filter) {
        filter = new TypingLimitFilter(edit);
        edit->installEventFilter(filter);
    }
    filter->limit = limit;
}

int TypingLimit(const QLineEdit* edit) {
    auto* filter = FindTypingLimit(edit);
    return filter ? filter->limit : 0;
}

bool OpenDocument(const QString& target, const QString& parameters) {
    if (target.isEmpty())
        return false;
    const QUrl url = TargetUrl(target);
    if (url.isLocalFile()) {
        const QFileInfo file(url.toLocalFile());
        if (!parameters.isEmpty() && file.isFile() && file.isExecutable())
            return QProcess::startDetached(file.absoluteFilePath(), {parameters});
    }
    return QDesktopServices::openUrl(url);
}

QString CannotOpenMessage(const QString& target) {
    return QStringLiteral("Adresu „%1“ se nepodařilo otevřít: na tomto počítači není nastaven "
                          "webový prohlížeč ani jiný program, který by ji otevřel.")
        .arg(target);
}

bool OpenDocumentOrSay(const QString& target, const QString& failureMessage) {
    const QString message = failureMessage.isEmpty() ? CannotOpenMessage(target) : failureMessage;
    // On a desktop the address goes to xdg-open, whose exit code tells whether a browser or
    // another handler took it ("no method available" otherwise); the window does not wait.
    const QString platform = QGuiApplication::platformName();
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (!target.isEmpty() && !opener.isEmpty() &&
        (platform == QLatin1String("xcb") || platform.startsWith(QLatin1String("wayland")))) {
        // Not owned by the application: a browser started through it outlives the program.
        auto* process = new QProcess;
        process->setObjectName(QStringLiteral("DesktopOpener"));
        process->setProcessChannelMode(QProcess::ForwardedChannels);
        ConnectGuarded(process, &QProcess::finished, qApp,
                       [process, message](int exitCode, QProcess::ExitStatus status) {
                           process->deleteLater();
                           if (status != QProcess::NormalExit || exitCode != 0)
                               RunGuarded(
                                   [&] { ShowWarning(QStringLiteral("Upozornění"), message); });
                       });
        ConnectGuarded(process, &QProcess::errorOccurred, qApp,
                       [process, message](QProcess::ProcessError error) {
                           if (error != QProcess::FailedToStart)
                               return;
                           process->deleteLater();
                           RunGuarded([&] { ShowWarning(QStringLiteral("Upozornění"), message); });
                       });
        process->start(opener, {TargetUrl(target).toString(QUrl::FullyEncoded)});
        return true;
    }
    if (OpenDocument(target))
        return true;
    ShowWarning(QStringLiteral("Upozornění"), message);
    return false;
}

void EnableOkButton(QObject* dialog) {
    if (!dialog)
        return;
    const auto buttons = dialog->findChildren<QAbstractButton*>(QStringLiteral("Tl_Ok"));
    for (QAbstractButton* button : buttons)
        button->setEnabled(true);
}

LinkLabel::LinkLabel(const QString& address, QWidget* parent) : QLabel(address, parent) {
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, QColor(128, 0, 0));
    setPalette(pal);
    setCursor(Qt::PointingHandCursor);
    setUnderline(true);
}

void LinkLabel::Click() {
    OpenDocumentOrSay(QStringLiteral("http://") + text());
}

void LinkLabel::MouseEnter() {
    setUnderline(false);
}

void LinkLabel::MouseLeave() {
    setUnderline(true);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        RunGuarded([this] { Click(); });
}

void LinkLabel::enterEvent(QEnterEvent* event) {
    QLabel::enterEvent(event);
    MouseEnter();
}

void LinkLabel::leaveEvent(QEvent* event) {
    QLabel::leaveEvent(event);
    MouseLeave();
}

void LinkLabel::setUnderline(bool on) {
    QFont f = font();
    f.setUnderline(on);
    setFont(f);
}

void ProcessPaintEvents() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace tarvela
