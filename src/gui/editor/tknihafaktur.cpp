#include "editor/tknihafaktur.h"
#include "ui_tknihafaktur.h"
#include "ui_tuhrada.h"

#include "bank/tvypiszbanky.h"
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
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTreeWidget>

#include <cmath>
#include <iterator>
#include <limits>

namespace tarvela {

namespace {

// Where a row keeps its entry's index and each cell its value for sorting.
constexpr int kEntryRole = Qt::UserRole;
constexpr int kSortRole = Qt::UserRole + 1;

enum Column {
    Cislo,
    Odberatel,
    Vystaveno,
    Splatnost,
    Celkem,
    Mena,
    DatumUhrady,
    Uhrazeno,
    Stav,
    StavEet
};

struct BookColumn {
    const char* header;
    int width;
    bool right;
};

const BookColumn kColumns[] = {
    {"Číslo", 70, false},       {"Odběratel", 196, false}, {"Vystaveno", 74, true},
    {"Splatnost", 74, true},    {"Celkem", 92, true},      {"Měna", 44, false},
    {"Uhrazeno dne", 82, true}, {"Uhrazeno", 92, true},    {"Stav", 126, false},
    {"EET", 96, false},
};

const BookColumn kSumColumns[] = {
    {"Měna", 56, false},     {"Počet", 50, true},  {"Celkem", 132, true},
    {"Uhrazeno", 132, true}, {"Zbývá", 132, true},
};

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

// A row that sorts by the value behind each cell (amounts as numbers, dates by day) and by the
// text where there is none.
class BookItem final : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    // A copy of a prototype row: the alignments of the cells come with it at once.
    explicit BookItem(const QTreeWidgetItem& prototype) : QTreeWidgetItem(prototype) {}
    bool operator<(const QTreeWidgetItem& other) const override {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        const QVariant a = data(column, kSortRole);
        const QVariant b = other.data(column, kSortRole);
        if (a.isValid() && b.isValid() && a.toDouble() != b.toDouble())
            return a.toDouble() < b.toDouble();
        const int byText = QString::localeAwareCompare(text(column), other.text(column));
        if (byText != 0 || column == Cislo)
            return byText < 0;
        return QString::localeAwareCompare(text(Cislo), other.text(Cislo)) < 0;
    }
};

double DateKey(const QDate& date) {
    return date.isValid() ? static_cast<double>(date.toJulianDay())
                          : -std::numeric_limits<double>::infinity();
}

// Overdue invoices sort after the others, the longest overdue last.
double StatusKey(const BookStatus& status) {
    switch (status.State) {
    case PaymentState::Paid:
        return 0;
    case PaymentState::PartlyPaid:
        return 1;
    case PaymentState::Unpaid:
        return 2;
    case PaymentState::Overdue:
        return 3 + status.DaysOverdue;
    }
    return 0;
}

void SetUpList(QTreeWidget* list, const BookColumn* columns, int count) {
    list->setColumnCount(count);
    auto* header = new QTreeWidgetItem;
    for (int i = 0; i < count; ++i) {
        header->setText(i, QString::fromUtf8(columns[i].header));
        header->setTextAlignment(i, (columns[i].right ? Qt::AlignRight : Qt::AlignLeft) |
                                        Qt::AlignVCenter);
    }
    list->setHeaderItem(header);
    list->header()->setSectionsMovable(false);
    list->header()->setStretchLastSection(false);
    for (int i = 0; i < count; ++i)
        list->setColumnWidth(i, columns[i].width);
}

} // namespace

// ---- The book --------------------------------------------------------------------------------

TKnihaFaktur::TKnihaFaktur(const QString& programFolder, const AppSettings& settings, BookHost host,
                           QWidget* owner)
    : QDialog(owner), ui_(std::make_unique<Ui::TKnihaFaktur>()),
      programFolder_(WithTrailingSeparator(programFolder)), settings_(settings),
      host_(std::move(host)) {
    ui_->setupUi(this);
    SetUpFixedDialog(this);

    SetUpList(ui_->ListView1, kColumns, static_cast<int>(std::size(kColumns)));
    SetUpList(ui_->ListSoucty, kSumColumns, static_cast<int>(std::size(kSumColumns)));
    ui_->ListSoucty->setFocusPolicy(Qt::NoFocus);
    ui_->ListView1->header()->setSectionsClickable(true);
    ui_->ListView1->header()->setSortIndicatorShown(true);
    ui_->ListView1->header()->setSortIndicator(Cislo, Qt::AscendingOrder);
    // The column "EET" only while the supplier registers sales, taken from the customer's width
    // so that the list still fits the window.
    if (eet::LoadEetSettings(programFolder_).registers)
        ui_->ListView1->setColumnWidth(Odberatel,
                                       kColumns[Odberatel].width - kColumns[StavEet].width);
    else
        ui_->ListView1->setColumnHidden(StavEet, true);
    for (const FilterChoice& choice : kFilters)
        ui_->CBox_Stav->addItem(QString::fromUtf8(choice.caption), static_cast<int>(choice.filter));

    ConnectGuarded(ui_->Ed_Hledat, &QLineEdit::textChanged, this, &TKnihaFaktur::ApplyFilter);
    ConnectGuarded(ui_->CBox_Stav, &QComboBox::currentIndexChanged, this,
                   &TKnihaFaktur::ApplyFilter);
    ConnectGuarded(ui_->CB_VsechnaObdobi, &QCheckBox::toggled, this, &TKnihaFaktur::FillBook);
    ConnectGuarded(ui_->ListView1, &QTreeWidget::itemActivated, this,
                   &TKnihaFaktur::Tl_OtevritClick);
    // The buttons follow the selection, however it changed (a click, the arrow keys).
    ConnectGuarded(ui_->ListView1, &QTreeWidget::itemSelectionChanged, this,
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
    for (const BookEntry& entry : entries_)
        if (entry.Year == settings_.AktualniRok &&
            EntryStatus(entry, today).State == PaymentState::Overdue)
            ++count;
    return count;
}

void TKnihaFaktur::FillBook() {
    const bool all = ui_->CB_VsechnaObdobi->isChecked();
    setWindowTitle(all ? QStringLiteral("Kniha faktur, všechna období")
                       : QStringLiteral("Kniha faktur, rok %1").arg(settings_.AktualniRok));
    QTreeWidget* list = ui_->ListView1;
    list->setSortingEnabled(false);
    list->clear();
    ui_->ListSoucty->clear();
    entries_.clear();
    complete_ = false;
    ui_->La_Soucty->setText(QStringLiteral("Načítám faktury…"));
    UpdateButtons();

    const InvoiceStore store(programFolder_);
    auto walk = std::make_shared<InvoiceFileWalk>(
        all ? InvoiceFileWalk::AllPeriods(store) : InvoiceFileWalk(store, settings_.AktualniRok));
    // The rows join the list in batches, in the order read (by number), each hidden at once when
    // the filter leaves it out; the list is sorted once, at the end: a list that sorts while rows
    // are added would re-sort a full period for every row.
    auto shown = std::make_shared<size_t>(0); // entries_ already in the list
    const auto flush = [this, list, shown, walk] {
        const QString text = ui_->Ed_Hledat->text();
        const auto filter = static_cast<StatusFilter>(ui_->CBox_Stav->currentData().toInt());
        const bool everything = filter == StatusFilter::All && text.trimmed().isEmpty();
        const QDate today = Today();
        QList<QTreeWidgetItem*> items;
        items.reserve(static_cast<qsizetype>(entries_.size() - *shown));
        BookItem prototype;
        for (int col = 0; col < static_cast<int>(std::size(kColumns)); ++col)
            if (kColumns[col].right)
                prototype.setTextAlignment(col, Qt::AlignRight | Qt::AlignVCenter);
        for (size_t i = *shown; i < entries_.size(); ++i) {
            auto* item = new BookItem(prototype);
            item->setData(Cislo, kEntryRole, static_cast<qulonglong>(i));
            ShowEntry(item, entries_[i]);
            if (!everything && !MatchesBookFilter(entries_[i], text, filter, today))
                item->setHidden(true);
            items.append(item);
        }
        list->addTopLevelItems(items);
        *shown = entries_.size();
        ui_->La_Soucty->setText(QStringLiteral("Načítám faktury… %1 z %2")
                                    .arg(entries_.size())
                                    .arg(walk->FilesListed()));
    };
    const auto step = [this, walk] {
        const std::optional<InvoiceFileWalk::File> file = walk->Next();
        if (!file)
            return false;
        entries_.push_back(
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

void TKnihaFaktur::ShowEntry(QTreeWidgetItem* item, const BookEntry& entry) const {
    const BookStatus status = EntryStatus(entry, Today());
    const qint64 paid = PaidAmount(entry);
    item->setText(Cislo, entry.Cislo);
    item->setText(Odberatel, entry.Odberatel);
    item->setText(Vystaveno, entry.DatumVystaveni);
    item->setData(Vystaveno, kSortRole, DateKey(entry.Vystaveni));
    item->setText(Splatnost, entry.DatumSplatnosti);
    item->setData(Splatnost, kSortRole, DateKey(entry.Splatnost));
    item->setText(Celkem, FormatHalere(entry.Celkem));
    item->setData(Celkem, kSortRole, entry.Celkem);
    item->setText(Mena, entry.Mena);
    item->setText(DatumUhrady, entry.DatumUhrady);
    item->setData(DatumUhrady, kSortRole, DateKey(entry.Uhrada));
    item->setText(Uhrazeno, paid != 0 ? FormatHalere(paid) : QString());
    item->setData(Uhrazeno, kSortRole, paid);
    item->setText(Stav, status.Text);
    item->setData(Stav, kSortRole, StatusKey(status));
    const QString eet = EetStatusText(entry.Eet);
    item->setText(StavEet, eet);
    item->setToolTip(StavEet, eet);
    item->setForeground(
        Stav, status.State == PaymentState::Overdue
                  ? QBrush(QColor(172, 0, 0))
                  : (status.State == PaymentState::Paid ? QBrush(QColor(0, 110, 50)) : QBrush()));
}

void TKnihaFaktur::ApplyFilter() {
    const QString text = ui_->Ed_Hledat->text();
    const auto filter = static_cast<StatusFilter>(ui_->CBox_Stav->currentData().toInt());
    const QDate today = Today();
    // Without a filter every row shows, and only rows whose state changes are touched.
    const bool everything = filter == StatusFilter::All && text.trimmed().isEmpty();
    QTreeWidget* list = ui_->ListView1;
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = list->topLevelItem(row);
        const bool hide =
            !everything && !MatchesBookFilter(entries_[item->data(Cislo, kEntryRole).toULongLong()],
                                              text, filter, today);
        if (item->isHidden() != hide)
            item->setHidden(hide);
    }
    QTreeWidgetItem* current = list->currentItem();
    if (current && current->isHidden())
        list->setCurrentItem(nullptr);
    ShowSums();
    UpdateButtons();
}

void TKnihaFaktur::ShowSums() {
    std::vector<const BookEntry*> shown;
    QTreeWidget* list = ui_->ListView1;
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = list->topLevelItem(row);
        if (!item->isHidden())
            shown.push_back(&entries_[item->data(Cislo, kEntryRole).toULongLong()]);
    }
    ui_->ListSoucty->clear();
    for (const auto& [currency, sums] : SumsPerCurrency(shown)) {
        auto* item = new QTreeWidgetItem(
            ui_->ListSoucty, {currency, QString::number(sums.Count), FormatHalere(sums.Celkem),
                              FormatHalere(sums.Uhrazeno), FormatHalere(sums.Zbyva)});
        for (int col = 1; col < static_cast<int>(std::size(kSumColumns)); ++col)
            item->setTextAlignment(col, Qt::AlignRight | Qt::AlignVCenter);
    }
    ui_->La_Soucty->setText(QStringLiteral("Součty zobrazených faktur podle měny (%1 z %2):")
                                .arg(shown.size())
                                .arg(entries_.size()));
}

BookEntry* TKnihaFaktur::CurrentEntry() {
    const QTreeWidgetItem* item = ui_->ListView1->currentItem();
    if (!item || item->isHidden() || !item->isSelected())
        return nullptr;
    return &entries_[item->data(Cislo, kEntryRole).toULongLong()];
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
    BookEntry* entry = CurrentEntry();
    if (!entry)
        return;
    if (host_.HasUnsavedChanges && host_.HasUnsavedChanges(entry->FilePath)) {
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
    *entry = ReadBookEntry(ReadWholeFile(path), path, entry->Year, RatesOf(settings_),
                           settings_.VychoziMena);
    ShowEntry(ui_->ListView1->currentItem(), *entry);
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
