#include "bank/tvypiszbanky.h"
#include "ui_tvypiszbanky.h"

#include "bank/payment_review_model.h"
#include "invoice/invoice_store.h"
#include "printing/money.h"
#include "text/file_dialogs.h"
#include "text/form_font.h"
#include "text/gui_helpers.h"
#include "text/message_boxes.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>

namespace tarvela {

namespace {

// Every column in view within the form's width: the status and the note matter most.
const int kWidths[] = {46, 70, 80, 40, 118, 110, 74, 120, 62, 84, 130, 210};

void SetUpTable(QTableView* view, QAbstractItemModel* model) {
    view->setModel(model);
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->horizontalHeader()->setHighlightSections(false);
    for (int c = 0; c < PaymentReviewModel::ColumnCount; ++c)
        view->setColumnWidth(c, kWidths[c]);
    view->sortByColumn(PaymentReviewModel::Datum, Qt::AscendingOrder);
}

// "1 platba", "2 platby", "5 plateb".
QString Payments(int n) {
    return QStringLiteral("%1 %2").arg(n).arg(
        n == 1 ? QStringLiteral("platba")
               : (n >= 2 && n <= 4 ? QStringLiteral("platby") : QStringLiteral("plateb")));
}

} // namespace

QStringList ImportBankStatements(QWidget* owner, const QString& programFolder,
                                 const AppSettings& settings, const BookHost& host) {
    const QStringList files = AskOpenFileNames(
        owner, QStringLiteral("Načíst výpis z banky"), DocumentsFolder(),
        QStringLiteral("Výpisy z banky (*.gpc *.abo *.xml *.txt);;Všechny soubory (*)"));
    if (files.isEmpty())
        return {};
    std::vector<BankStatement> statements;
    for (const QString& file : files) {
        statements.push_back(ReadStatementFile(file));
        ProcessPaintEvents();
    }
    // The invoices of every period: a payment may settle an invoice of last year.
    const InvoiceStore store(programFolder);
    const VatRates rates = RatesOf(settings);
    std::vector<BookEntry> book;
    for (const QString& name : store.ListPeriodFolders(ProcessPaintEvents)) {
        const int year = name.toInt();
        std::vector<BookEntry> period = ReadBook(store.PeriodFolder(year), year, rates,
                                                 settings.VychoziMena, ProcessPaintEvents);
        std::move(period.begin(), period.end(), std::back_inserter(book));
    }
    ImportedPayments record = ImportedPayments::Load(programFolder);
    PaymentReview review(std::move(book), settings.TypSymbolu == SymbolType::Variable);
    for (const BankStatement& statement : statements)
        review.AddStatement(
            statement, [&record](const QString& identity) { return record.Contains(identity); });
    TVypisZBanky dialog(std::move(review), std::move(record), files, host, owner);
    dialog.exec();
    // However the review closes, what it wrote was written.
    return dialog.WrittenFiles();
}

TVypisZBanky::TVypisZBanky(PaymentReview review, ImportedPayments record, QStringList files,
                           BookHost host, QWidget* owner)
    : QDialog(owner), ui_(std::make_unique<Ui::TVypisZBanky>()), review_(std::move(review)),
      record_(std::move(record)), files_(std::move(files)), host_(std::move(host)) {
    ui_->setupUi(this);
    SetUpFixedDialog(this);
    model_ = new PaymentReviewModel(
        review_,
        [this](const QString& identity) {
            return QFileInfo(record_.InvoiceOf(identity)).completeBaseName();
        },
        this);
    incoming_ = new PaymentKindFilter(review_, true, this);
    incoming_->setSourceModel(model_);
    others_ = new PaymentKindFilter(review_, false, this);
    others_->setSourceModel(model_);
    SetUpTable(ui_->TV_Platby, incoming_);
    SetUpTable(ui_->TV_Ostatni, others_);
    ui_->TV_Ostatni->hideColumn(PaymentReviewModel::Zapsat);
    ui_->TV_Ostatni->hideColumn(PaymentReviewModel::Faktura);
    ui_->TV_Ostatni->hideColumn(PaymentReviewModel::Parovani);

    ConnectGuarded(ui_->TV_Platby->selectionModel(), &QItemSelectionModel::currentChanged, this,
                   [this] { CurrentPaymentChanged(); });
    ConnectGuarded(ui_->CBox_Faktura, &QComboBox::currentIndexChanged, this,
                   [this](int index) { CBox_FakturaChange(index); });
    ConnectGuarded(model_, &PaymentReviewModel::ReviewChanged, this, &TVypisZBanky::ShowSummary);
    ConnectGuarded(ui_->Tl_Zapsat, &QPushButton::clicked, this, &TVypisZBanky::Tl_ZapsatClick);
    connect(ui_->Tl_Storno, &QPushButton::clicked, this, &QDialog::reject);

    ShowSummary();
    if (incoming_->rowCount() > 0)
        ui_->TV_Platby->setCurrentIndex(incoming_->index(0, PaymentReviewModel::Datum));
    CurrentPaymentChanged();
    ui_->TV_Platby->setFocus(Qt::OtherFocusReason);
}

TVypisZBanky::~TVypisZBanky() = default;

int TVypisZBanky::CurrentRow() const {
    const QModelIndex current = ui_->TV_Platby->currentIndex();
    return current.isValid() ? incoming_->mapToSource(current).row() : -1;
}

void TVypisZBanky::ShowSummary() {
    int incoming = 0, matched = 0, unmatched = 0, earlier = 0, others = 0;
    for (const ReviewRow& row : review_.Rows()) {
        if (row.Platba.Druh != PaymentKind::Incoming) {
            ++others;
            continue;
        }
        ++incoming;
        if (row.UzZapsano)
            ++earlier;
        else if (row.Zapsat)
            ++matched;
        else if (row.Faktura < 0)
            ++unmatched;
    }
    QStringList names;
    for (const QString& file : files_)
        names.append(QFileInfo(file).fileName());
    ui_->La_Souhrn->setText(
        QStringLiteral("Výpis: %1. Příchozí platby: %2, k zapsání %3, nespárováno %4, "
                       "již zapsáno dříve %5. Ostatní pohyby: %6.")
            .arg(names.join(QStringLiteral(", ")))
            .arg(incoming)
            .arg(matched)
            .arg(unmatched)
            .arg(earlier)
            .arg(others));
    ui_->Tl_Zapsat->setEnabled(matched > 0);
}

void TVypisZBanky::CurrentPaymentChanged() {
    const int row = CurrentRow();
    const QSignalBlocker block(ui_->CBox_Faktura);
    QComboBox* box = ui_->CBox_Faktura;
    box->clear();
    const bool matchable = row >= 0 && PaymentReview::IsMatchable(review_.Rows()[row]);
    box->setEnabled(matchable);
    if (!matchable)
        return;
    box->addItem(QStringLiteral("(žádná faktura)"), -1);
    const ReviewRow& r = review_.Rows()[static_cast<size_t>(row)];
    for (const int i : review_.Candidates(static_cast<size_t>(row))) {
        const BookEntry& entry = review_.Book()[static_cast<size_t>(i)];
        // What is left after the other payments of this import that go to the invoice.
        qint64 rest = TotalHalere(entry) - PaidHalere(entry);
        for (size_t other = 0; other < review_.Rows().size(); ++other) {
            const ReviewRow& o = review_.Rows()[other];
            if (other != static_cast<size_t>(row) && o.Zapsat && o.Faktura == i)
                rest -= o.Platba.Halere;
        }
        box->addItem(QStringLiteral("%1 – %2 – zbývá %3 %4")
                         .arg(entry.Cislo, entry.Odberatel, FormatHalere(rest), entry.Mena),
                     i);
    }
    box->setCurrentIndex(std::max(0, box->findData(r.Faktura)));
}

void TVypisZBanky::CBox_FakturaChange(int index) {
    const int row = CurrentRow();
    if (row < 0 || index < 0)
        return;
    model_->SetInvoice(row, ui_->CBox_Faktura->itemData(index).toInt());
}

void TVypisZBanky::Tl_ZapsatClick() {
    const std::vector<InvoicePayment> writes = review_.Writes();
    if (writes.empty())
        return;
    for (const InvoicePayment& write : writes) {
        if (host_.HasUnsavedChanges(write.FilePath)) {
            ShowInfo(QStringLiteral("Faktura %1 je otevřená v hlavním okně a má neuložené změny. "
                                    "Uložte ji nebo ji zavřete, pak úhrady zapište.")
                         .arg(write.Cislo));
            return;
        }
    }
    record_.Write(writes, ProcessPaintEvents);
    int payments = 0;
    for (const InvoicePayment& write : writes) {
        payments += static_cast<int>(write.Identity.size());
        writtenFiles_.append(write.FilePath);
    }
    written_ = payments;
    ShowInfo(QStringLiteral("Zapsáno: %1 do %2.")
                 .arg(Payments(payments))
                 .arg(writes.size() == 1 ? QStringLiteral("1 faktury")
                                         : QStringLiteral("%1 faktur").arg(writes.size())));
    accept();
}

} // namespace tarvela
