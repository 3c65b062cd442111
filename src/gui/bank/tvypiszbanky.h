#pragma once

#include "bank/imported_payments.h"
#include "bank/payment_matching.h"
#include "editor/tknihafaktur.h"
#include "settings/settings_file.h"

#include <QDialog>
#include <QStringList>

#include <memory>

class QWidget;

namespace Ui {
class TVypisZBanky;
} // namespace Ui

namespace tarvela {

class PaymentReviewModel;
class PaymentKindFilter;

// "Načíst výpis z banky…": asks for one or more statement files, reads them and the invoices of
// every period, and shows the review (TVypisZBanky). A statement that does not read ends it with
// the reader's message before anything is shown or written. Returns the invoice files whose
// payment lines were written (none when nothing was written).
QStringList ImportBankStatements(QWidget* owner, const QString& programFolder,
                                 const AppSettings& settings, const BookHost& host);

// The review of an import: the incoming payments with the invoice each matches and the status it
// leaves, the other movements apart. The user changes a match (CBox_Faktura) or leaves a payment
// out (the check box of its row); "Zapsat úhrady" writes lines 47 and 49 of the matched invoices
// and remembers the payments. An invoice open in the main window with unsaved edits is refused
// and nothing is written.
class TVypisZBanky : public QDialog {
    Q_OBJECT
public:
    TVypisZBanky(PaymentReview review, ImportedPayments record, QStringList files, BookHost host,
                 QWidget* owner = nullptr);
    ~TVypisZBanky() override;

    const PaymentReview& Review() const { return review_; }
    // Payments written by Tl_ZapsatClick, and the invoice files they were written to.
    int Written() const { return written_; }
    const QStringList& WrittenFiles() const { return writtenFiles_; }

    // Handlers.
    void Tl_ZapsatClick();
    void CurrentPaymentChanged();
    void CBox_FakturaChange(int index);

private:
    int CurrentRow() const; // the review's row of the current payment, -1 for none
    void ShowSummary();

    std::unique_ptr<Ui::TVypisZBanky> ui_;
    PaymentReview review_;
    ImportedPayments record_;
    QStringList files_;
    BookHost host_;
    QStringList writtenFiles_;
    PaymentReviewModel* model_ = nullptr;
    PaymentKindFilter* incoming_ = nullptr;
    PaymentKindFilter* others_ = nullptr;
    bool filling_ = false;
    int written_ = 0;
};

} // namespace tarvela
