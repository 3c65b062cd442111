#pragma once

#include "editor/ares_subject.h"

#include <QObject>
#include <QString>

class QProgressDialog;
class QWidget;

namespace tarvela {

class AresFetcher;

// "Načíst z ARES" of a window: asks the business register for the subject of an IČ in the
// background. While the answer is awaited a progress window (modal to `window` only, which
// goes on painting) offers Storno; a failure is told in a warning box.
class AresLookup : public QObject {
    Q_OBJECT
public:
    // The register's address and trusted certificates come from the settings of `programFolder`.
    AresLookup(QWidget* window, const QString& programFolder);
    ~AresLookup() override;

    // Starts the look-up; an empty or invalid IČ is refused with a box before anything is
    // asked (false). `found` follows with the subject once it arrives.
    bool Start(const QString& ic);
    // Storno: abandons the look-up; nothing is filled and nothing is told.
    void Cancel();

signals:
    void found(const tarvela::AresSubject& subject);

private:
    void Finish();
    QString programFolder_;

    QWidget* window_;
    AresFetcher* fetcher_ = nullptr;
    QProgressDialog* progress_ = nullptr;
};

// The caption of the look-up's boxes.
QString AresCaption();

} // namespace tarvela
