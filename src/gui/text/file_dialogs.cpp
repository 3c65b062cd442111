#include "text/file_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

namespace tarvela {

namespace {

FileDialogRecorder* g_fileRecorder = nullptr;

} // namespace

QString DocumentsFolder() {
    // The desktop's own documents folder ("~/Dokumenty" on a Czech desktop) when it exists;
    // a save dialog never proposes a folder that is not there.
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir())
        return QDir::cleanPath(documents);
    return QDir::cleanPath(QDir::homePath());
}

QString AskSaveFileName(QWidget* parent, const QString& caption, const QString& proposedPath,
                        const QString& filter, const QString& suffix) {
    QString path;
    if (g_fileRecorder) {
        path = g_fileRecorder->answer(AskedFile{caption, proposedPath});
    } else {
        QFileDialog dialog(parent, caption, proposedPath, filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(suffix);
        dialog.selectFile(proposedPath);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            path = dialog.selectedFiles().constFirst();
    }
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + suffix;
    return path;
}

QString AskFolder(QWidget* parent, const QString& caption, const QString& startFolder) {
    if (g_fileRecorder)
        return g_fileRecorder->answer(AskedFile{caption, startFolder});
    return QFileDialog::getExistingDirectory(parent, caption, startFolder);
}

QStringList AskOpenFileNames(QWidget* parent, const QString& caption, const QString& startFolder,
                             const QString& filter) {
    if (g_fileRecorder) {
        const QString answer = g_fileRecorder->answer(AskedFile{caption, startFolder});
        return answer.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    return QFileDialog::getOpenFileNames(parent, caption, startFolder, filter);
}

FileDialogRecorder::FileDialogRecorder() : outer_(g_fileRecorder) {
    g_fileRecorder = this;
}

FileDialogRecorder::~FileDialogRecorder() {
    g_fileRecorder = outer_;
}

QString FileDialogRecorder::answer(const AskedFile& asked) {
    asked_.append(asked);
    return answers_.isEmpty() ? QString() : answers_.takeFirst();
}

} // namespace tarvela
