#pragma once

#include "printing/invoice_documents.h"

#include <QDate>
#include <QDialog>
#include <QList>
#include <QString>

#include <memory>
#include <utility>

namespace Ui {
class TExportUcetni;
}

namespace tarvela {

// The choice of the accountant's export: the period (a month, a quarter or the whole year), the
// kinds of document written as ISDOC (the invoice preselected) and the target folder. It only
// chooses; the main window reads the invoices and writes the files.
class TExportUcetni : public QDialog {
    Q_OBJECT
public:
    // years: the periods there are; year: the one preselected; folder: the proposed target.
    TExportUcetni(const QList<int>& years, int year, const QString& folder,
                  QWidget* owner = nullptr);
    ~TExportUcetni() override;

    int Year() const;
    std::pair<QDate, QDate> Period() const;
    QList<DocumentKind> Kinds() const;
    QString Folder() const; // trimmed

    // Handlers.
    void Tl_ProchazetClick();
    void Tl_OkClick(); // a folder must be given

private:
    std::unique_ptr<Ui::TExportUcetni> ui_;
};

} // namespace tarvela
