#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QWidget;

namespace tarvela {

// The choices of a file or a folder the program asks the user for. Tests answer them through
// FileDialogRecorder instead of showing the desktop's dialog.

// The user's documents folder as the desktop names it, when it exists (the home folder
// otherwise), without a trailing separator.
QString DocumentsFolder();

// The save dialog with `proposedPath` filled in; the chosen path, or an empty text when the user
// called it off. A name typed without a suffix gets `suffix` ("isdoc").
QString AskSaveFileName(QWidget* parent, const QString& caption, const QString& proposedPath,
                        const QString& filter, const QString& suffix);

// The folder dialog opening on `startFolder`; the chosen folder, or empty when called off.
QString AskFolder(QWidget* parent, const QString& caption, const QString& startFolder);

// The open dialog for one or more existing files, opening on `startFolder`; the chosen paths,
// none when the user called it off. (FileDialogRecorder answers with one queued text: the paths
// separated by line ends.)
QStringList AskOpenFileNames(QWidget* parent, const QString& caption, const QString& startFolder,
                             const QString& filter);

// What a dialog was asked, as recorded by FileDialogRecorder.
struct AskedFile {
    QString caption;
    QString proposed; // the proposed path or the start folder
    bool operator==(const AskedFile&) const = default;
};

// Test seam: while an instance lives, no file dialog appears; each is recorded and answered from
// the queue (an empty queue answers as a user who calls the dialog off). Instances nest; the
// innermost one answers.
class FileDialogRecorder {
public:
    FileDialogRecorder();
    ~FileDialogRecorder();
    FileDialogRecorder(const FileDialogRecorder&) = delete;
    FileDialogRecorder& operator=(const FileDialogRecorder&) = delete;

    void queueAnswer(const QString& path) { answers_.append(path); }
    const QList<AskedFile>& asked() const { return asked_; }

    // Used by the dialogs themselves.
    QString answer(const AskedFile& asked);

private:
    QList<AskedFile> asked_;
    QList<QString> answers_;
    FileDialogRecorder* outer_ = nullptr;
};

} // namespace tarvela
