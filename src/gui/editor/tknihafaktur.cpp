#include "editor/tknihafaktur.h"
#include "ui_tknihafaktur.h"
#include "ui_tuhrada.h"

#include "bank/tvypiszbanky.h"
#include "editor/book_list_model.h"
#include "editor/invoice_list.h"
#include "eet/eet_service.h"
#include "eet/eet_settings.h"
#include "invoice/file_lines.h"
#include "invoice/invoice_eet.h"
#include "invoice/invoice_file.h"
#include "invoice/invoice_record.h"
#include "invoice/invoice_store.h"
#include "money/decimal.h"
#include "printing/money.h"
#include "printing/print_module.h"
#include "printing/reminder.h"
#include "text/amount_text.h"
#include "text/clock.h"
#include "text/dates.h"
#include "text/errors.h"
#include "text/form_font.h"
#include "text/helpers.h"
#include "text/message_boxes.h"
#include "text/sliced_work.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTreeView>

namespace tarvela {

namespace {

// The list's columns: their widths (the texts and alignments are the model's).
constexpr int kColumnWidths[BookListModel::ColumnCount] = {70, 196, 74, 74,  92,
                                                           44, 82,  92, 126, 96};
constexpr int kSumWidths[BookSumsModel::ColumnCount] = {56, 50, 132, 132, 132};

// The status filters in the order of CBox_Stav.
struct FilterChoice {
    const char* caption;
    StatusFilter filter;
};
const FilterChoice kFilters[] = {
    {"Všechny", StatusFilter::All},
    {"Neuhrazené", StatusFilter::Unsettled},
    {"Po splatnosti", StatusFilter::Overdue},
    {"Uhrazené", StatusFilter::Paid},
};

void SetUpList(QTreeView* list, QAbstractItemModel* model, const int* widths, int count) {
    list->setModel(model);
    list->header()->setSectionsMovable(false);
    list->header()->setStretchLastSection(false);
    for (int i = 0; i < count; ++i)
        list->setColumnWidth(i, widths[i]);
}

} // namespace

bool BookHost::HasUnsavedChanges(const QString& path) const {
    return SameFile(UnsavedFile, path);
}

// ---- The book --------------------------------------------------------------------------------

TKnihaFaktur::TKnihaFaktur(const QString& programFolder, const AppSettings& settings, BookHost host,
                           QWidget* owner)
    : QDialog(owner), ui_(std::make_unique<Ui::TKnihaFaktur>()),
      programFolder_(WithTrailingSeparator(programFolder)), settings_(settings),
      host_(std::move(host)) {
    ui_->setupUi(this);
    SetUpFixedDialog(this);

    const QDate today = Today();
    model_ = new BookListModel(today, this);
    proxy_ = new BookFilterProxy(today, this);
    proxy_->setSourceModel(model_);
    sums_ = new BookSumsModel(this);
    SetUpList(ui_->ListView1, proxy_, kColumnWidths, BookListModel::ColumnCount);
    SetUpList(ui_->ListSoucty, sums_, kSumWidths, BookSumsModel::ColumnCount);
    ui_->ListSoucty->setFocusPolicy(Qt::NoFocus);
    ui_->ListView1->header()->setSectionsClickable(true);
    ui_->ListView1->header()->setSortIndicatorShown(true);
    ui_->ListView1->header()->setSortIndicator(BookListModel::Cislo, Qt::AscendingOrder);
    // The column "EET" only while the supplier registers sales, taken from the customer's width
    // so that the list still fits the window.
    if (eet::LoadEetSettings(programFolder_).registers)
        ui_->ListView1->setColumnWidth(BookListModel::Odberatel,
                                       kColumnWidths[BookListModel::Odberatel] -
                                           kColumnWidths[BookListModel::StavEet]);
    else
        ui_->ListView1->setColumnHidden(BookListModel::StavEet, true);
    for (const FilterChoice& choice : kFilters)
        ui_->CBox_Stav->addItem(QString::fromUtf8(choice.caption), static_cast<int>(choice.filter));

    ConnectGuarded(ui_->Ed_Hledat, &QLineEdit::textChanged, this, &TKnihaFaktur::ApplyFilter);
    ConnectGuarded(ui_->CBox_Stav, &QComboBox::currentIndexChanged, this,
                   &TKnihaFaktur::ApplyFilter);
    ConnectGuarded(ui_->CB_VsechnaObdobi, &QCheckBox::toggled, this, &TKnihaFaktur::FillBook);
    ConnectGuarded(ui_->ListView1, &QTreeView::activated, this, &TKnihaFaktur::Tl_OtevritClick);
    // The buttons follow the selection, however it changed (a click, the arrow keys).
    ConnectGuarded(ui_->ListView1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                   &TKnihaFaktur::UpdateButtons);
    ConnectGuarded(ui_->Tl_Otevrit, &QPushButton::clicked, this, &TKnihaFaktur::Tl_OtevritClick);
    ConnectGuarded(ui_->Tl_Uhrazeno, &QPushButton::clicked, this, &TKnihaFaktur::Tl_UhrazenoClick);
    ConnectGuarded(ui_->Tl_Upominka, &QPushButton::clicked, this, &TKnihaFaktur::Tl_UpominkaClick);
    ConnectGuarded(ui_->Tl_NacistVypis, &QPushButton::clicked, this,
                   &TKnihaFaktur::Tl_NacistVypisClick);
    connect(ui_->Tl_Zavrit, &QPushButton::clicked, this, &QDialog::reject);
    fill_ = std::make_unique<WindowFill>(this, std::initializer_list<QWidget*>{ui_->Tl_Zavrit});
    UpdateButtons();
}

bool TKnihaFaktur::Filling() const {
    return fill_->Filling();
}

TKnihaFaktur::~TKnihaFaktur() = default;

void TKnihaFaktur::SetStatusFilter(StatusFilter filter) {
    const int index = ui_->CBox_Stav->findData(static_cast<int>(filter));
    ui_->CBox_Stav->setCurrentIndex(index < 0 ? 0 : index);
}

void TKnihaFaktur::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous() || shown_)
        return;
    shown_ = true;
    RunGuarded([this] { FillBook(); });
}

int TKnihaFaktur::OverdueCount() const {
    if (!complete_)
        return -1;
    const QDate today = Today();
    int count = 0;
    for (const BookEntry& entry : model_->entries())
        if (entry.Year == settings_.AktualniRok &&
            EntryStatus(entry, today).State == PaymentState::Overdue)
            ++count;
    return count;
}

void TKnihaFaktur::FillBook() {
    const bool all = ui_->CB_VsechnaObdobi->isChecked();
    setWindowTitle(all ? QStringLiteral("Kniha faktur, všechna období")
                       : QStringLiteral("Kniha faktur, rok %1").arg(settings_.AktualniRok));
    QTreeView* list = ui_->ListView1;
    // The rows join the list in batches, in the order read (by number), and only those the
    // filter passes show; the list is sorted once, at the end: a list that sorts while rows are
    // added would re-sort a full period for every batch.
    list->setSortingEnabled(false);
    proxy_->sort(-1);
    model_->clear();
    sums_->setSums({});
    complete_ = false;
    ui_->La_Soucty->setText(QStringLiteral("Načítám faktury…"));
    UpdateButtons();

    const InvoiceStore store(programFolder_);
    auto walk = std::make_shared<InvoiceFileWalk>(
        all ? InvoiceFileWalk::AllPeriods(store) : InvoiceFileWalk(store, settings_.AktualniRok));
    auto read = std::make_shared<std::vector<BookEntry>>(); // read, not yet in the list
    const auto flush = [this, read, walk] {
        model_->append(std::move(*read));
        read->clear();
        ui_->La_Soucty->setText(QStringLiteral("Načítám faktury… %1 z %2")
                                    .arg(model_->rowCount())
                                    .arg(walk->FilesListed()));
    };
    const auto step = [this, walk, read] {
        const std::optional<InvoiceFileWalk::File> file = walk->Next();
        if (!file)
            return false;
        read->push_back(
            ReadBookFile(file->Path(), file->Year, RatesOf(settings_), settings_.VychoziMena));
        return true;
    };
    fill_->StartWhenShown(
        step,
        [this, list, flush] {
            flush();
            complete_ = true;
            list->setSortingEnabled(true); // sorts by the column the user chose last
            ApplyFilter();
            list->setFocus(Qt::OtherFocusReason);
        },
        flush);
}

void TKnihaFaktur::ApplyFilter() {
    QTreeView* list = ui_->ListView1;
    const QModelIndex current = proxy_->mapToSource(list->currentIndex());
    proxy_->setFilter(ui_->Ed_Hledat->text(),
                      static_cast<StatusFilter>(ui_->CBox_Stav->currentData().toInt()));
    // A row the filter leaves out takes the current row with it: no other row becomes current
    // or chosen in its place.
    if (current.isValid() && !proxy_->mapFromSource(current).isValid()) {
        list->selectionModel()->clear();
    }
    ShowSums();
    UpdateButtons();
}

void TKnihaFaktur::ShowSums() {
    std::vector<const BookEntry*> shown;
    shown.reserve(static_cast<size_t>(proxy_->rowCount()));
    for (int row = 0; row < proxy_->rowCount(); ++row)
        shown.push_back(&proxy_->entry(row));
    sums_->setSums(SumsPerCurrency(shown));
    ui_->La_Soucty->setText(QStringLiteral("Součty zobrazených faktur podle měny (%1 z %2):")
                                .arg(shown.size())
                                .arg(model_->rowCount()));
}

int TKnihaFaktur::CurrentRow() const {
    const QModelIndex current = ui_->ListView1->currentIndex();
    if (!current.isValid() || !ui_->ListView1->selectionModel()->isSelected(current))
        return -1;
    return proxy_->mapToSource(current).row();
}

const BookEntry* TKnihaFaktur::CurrentEntry() const {
    const int row = CurrentRow();
    return row < 0 ? nullptr : &model_->entry(row);
}

void TKnihaFaktur::UpdateButtons() {
    const BookEntry* entry = CurrentEntry();
    ui_->Tl_Otevrit->setEnabled(entry != nullptr);
    ui_->Tl_Uhrazeno->setEnabled(entry != nullptr);
    ui_->Tl_Upominka->setEnabled(entry &&
                                 EntryStatus(*entry, Today()).State == PaymentState::Overdue);
}

void TKnihaFaktur::Tl_OtevritClick() {
    const BookEntry* entry = CurrentEntry();
    if (!entry)
        return;
    SelectedFile = entry->FilePath;
    accept();
}

void TKnihaFaktur::Tl_UhrazenoClick() {
    const int row = CurrentRow();
    if (row < 0)
        return;
    const BookEntry* entry = &model_->entry(row);
    if (host_.HasUnsavedChanges(entry->FilePath)) {
        ShowInfo(QStringLiteral("Faktura %1 je otevřená v hlavním okně a má neuložené změny. "
                                "Uložte ji nebo ji zavřete, pak ji označte jako uhrazenou.")
                     .arg(entry->Cislo));
        return;
    }
    QDate date;
    qint64 amount = 0;
    PaymentWay way = PaymentWay::Transfer;
    const bool registers = eet::LoadEetSettings(programFolder_).registers;
    {
        TUhrada dialog(entry->Cislo, Today(), entry->Celkem, entry->Mena, this, registers);
        if (dialog.exec() != QDialog::Accepted)
            return;
        date = dialog.Date();
        amount = dialog.Amount();
        way = dialog.Way();
    }
    const QString path = entry->FilePath;
    // What was received now: the new total paid less what was paid before (a total lowered is a
    // correction, not money received). Only what was received in person is registered.
    const qint64 received = amount - PaidAmount(*entry);
    if (registers && way != PaymentWay::Transfer && received > 0) {
        const QString dateText = FormatInvoiceDate(date);
        const QString amountText = FormatHalere(amount);
        // Under the file's lock: the receipt number follows the registrations the file holds,
        // the payment goes to the outbox before the file is written, and the payment lines and
        // the registration are written together.
        ReplaceFileLocked(path, [&](const std::optional<QByteArray>& bytes) {
            if (!bytes)
                throw FileError(
                    QStringLiteral("Soubor „%1“ nelze otevřít pro čtení (není to soubor faktury).")
                        .arg(path));
            const QString registered = EetValueOf(*bytes);
            QList<EetPayment> payments = ReadEetPayments(registered);
            // The service takes amounts in CZK: a foreign amount at the invoice's exchange rate.
            InvoiceRecord invoice;
            ReadInvoiceBytes(*bytes, invoice, settings_.VychoziMena);
            const qint64 crowns = EetAmountInCrowns(received, invoice.Mena, settings_.VychoziMena,
                                                    invoice.Kurz, entry->Cislo);
            const std::optional<eet::OutboxEntry> e =
                EetService::Of(programFolder_)
                    .registerPayment(QStringLiteral("Faktura ") + entry->Cislo,
                                     NextEetPoradCis(entry->Cislo, registered), crowns,
                                     EetPaymentMoment(date), path);
            if (e)
                payments << EetPayment{e->id, e->amountHalere, e->pok, e->testPok};
            return WithEetValue(WithPayment(*bytes, dateText, amountText),
                                EetPaymentsValue(payments));
        });
    } else {
        MarkInvoicePaid(path, date, amount);
    }
    model_->setEntry(row, ReadBookEntry(ReadWholeFile(path), path, entry->Year, RatesOf(settings_),
                                        settings_.VychoziMena));
    ApplyFilter();
    emit paymentWritten(path);
}

void TKnihaFaktur::Tl_UpominkaClick() {
    const BookEntry* entry = CurrentEntry();
    if (!entry)
        return;
    const QDate today = Today();
    if (EntryStatus(*entry, today).State != PaymentState::Overdue) {
        ShowInfo(QStringLiteral("Faktura %1 není po splatnosti.").arg(entry->Cislo));
        return;
    }
    InvoiceRecord invoice;
    ReadInvoiceFile(entry->FilePath, invoice, settings_.VychoziMena);
    const PrintVariables variables = ReminderVariables(invoice, *entry, settings_, today);
    RunPlainReport(programFolder_, programFolder_ + ReminderTemplate(), ReminderTitle(entry->Cislo),
                   variables.text());
}

void TKnihaFaktur::Tl_NacistVypisClick() {
    const QStringList written = ImportBankStatements(this, programFolder_, settings_, host_);
    for (const QString& path : written)
        emit paymentWritten(path);
    if (!written.isEmpty())
        FillBook();
}

// ---- The payment dialog ----------------------------------------------------------------------

TUhrada::TUhrada(const QString& number, const QDate& date, qint64 amount, const QString& currency,
                 QWidget* owner, bool askWay)
    : QDialog(owner), ui_(std::make_unique<Ui::TUhrada>()) {
    ui_->setupUi(this);
    if (!askWay) {
        // Without EET the dialog is as it always was: the date and the amount.
        const int row = ui_->Tl_Ok->y() - ui_->CBox_Zpusob->y();
        ui_->La_Zpusob->hide();
        ui_->CBox_Zpusob->hide();
        ui_->Tl_Ok->move(ui_->Tl_Ok->x(), ui_->Tl_Ok->y() - row);
        ui_->Tl_Storno->move(ui_->Tl_Storno->x(), ui_->Tl_Storno->y() - row);
        resize(width(), height() - row);
    }
    SetUpFixedDialog(this, false);
    ui_->La_Faktura->setText(QStringLiteral("Faktura %1").arg(number));
    ui_->Ed_Datum->setText(FormatInvoiceDate(date));
    ui_->Ed_Castka->setText(FormatHalere(amount));
    ui_->La_Mena->setText(currency);
    ui_->Ed_Datum->selectAll();
    ConnectGuarded(ui_->Tl_Ok, &QPushButton::clicked, this, &TUhrada::Tl_OkClick);
    connect(ui_->Tl_Storno, &QPushButton::clicked, this, &QDialog::reject);
}

TUhrada::~TUhrada() = default;

void TUhrada::Tl_OkClick() {
    const QDate date = ParseTypedDate(QStringLiteral("Datum úhrady"), ui_->Ed_Datum->text());
    // A full stop is taken as the decimal comma, as in the paid amount of the invoice.
    QString typed = ui_->Ed_Castka->text();
    typed.replace(QLatin1Char('.'), QLatin1Char(','));
    const QString field = QStringLiteral("Uhrazená částka");
    const qint64 amount = ParseFieldHalere(field, typed);
    if (amount <= 0)
        throw ConversionError(
            WithFieldName(field, QStringLiteral("zadejte částku větší než nula.")));
    date_ = date;
    amount_ = amount;
    way_ = !ui_->CBox_Zpusob->isHidden() ? static_cast<PaymentWay>(ui_->CBox_Zpusob->currentIndex())
                                         : PaymentWay::Transfer;
    accept();
}

} // namespace tarvela
