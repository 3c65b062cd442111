#include "text/gui_helpers.h"

#include <QAbstractButton>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMouseEvent>
#include <QProcess>
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

} // namespace

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
    OpenDocument(QStringLiteral("http://") + text());
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

} // namespace tarvela
