#include "printing/accountant_export.h"

#include "invoice/file_lines.h"
#include "invoice/invoice_file.h"
#include "printing/document_rules.h"
#include "printing/file_set.h"
#include "printing/isdoc_invoice.h"
#include "printing/money.h"
#include "printing/report_data_set.h"
#include "text/amount_text.h"
#include "text/dates.h"
#include "text/errors.h"
#include "text/helpers.h"

#include <QDir>

#include <algorithm>

namespace tarvela {

namespace {

using Type = ReportDataSet::ColumnType;

QString CsvCell(const QString& text) {
    if (!text.contains(QLatin1Char(';')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

class Csv {
public:
    void row(const QStringList& cells) {
        QStringList quoted;
        for (const QString& c : cells)
            quoted.append(CsvCell(c));
        text_ += quoted.join(QLatin1Char(';')) + QStringLiteral("\r\n");
    }
    QByteArray bytes() const { return QByteArray("\xEF\xBB\xBF") + text_.toUtf8(); }

private:
    QString text_;
};

QString Money(qint64 cents) {
    return CentsText(cents);
}

// What is paid: empty for an invoice without payment; the document model's paid amount otherwise.
QString PaidText(const PeriodInvoice& invoice) {
    const InvoiceRecord& f = invoice.record;
    if (TrimText(f.UhrazenaCastka).isEmpty() && TrimText(f.DatumUhrady).isEmpty())
        return QString();
    if (!ReadPaidHalere(f.UhrazenaCastka) && !TrimText(f.UhrazenaCastka).isEmpty())
        return CsvSafeText(f.UhrazenaCastka);
    return Money(invoice.figures.Paid);
}

QString KindSuffix(DocumentKind kind) {
    switch (kind) {
    case DocumentKind::Faktura:
        return QString();
    case DocumentKind::ProformaFaktura:
        return QStringLiteral("proforma");
    case DocumentKind::DanovyDoklad:
        return QStringLiteral("danovy-doklad");
    case DocumentKind::Dobropis:
        return QStringLiteral("dobropis");
    case DocumentKind::PrijmovyDokladSRozpisem:
        return QStringLiteral("prijmovy-doklad");
    case DocumentKind::DodaciList:
        return QStringLiteral("dodaci-list");
    case DocumentKind::CenovaNabidka:
        return QStringLiteral("nabidka");
    }
    return QString();
}

// The figures of an invoice in crowns, per rate. A foreign invoice needs its exchange rate; a
// row at a rate the settings do not know stops the summary.
InvoiceTaxSummary InCrowns(const PeriodInvoice& invoice) {
    const InvoiceRecord& f = invoice.record;
    const InvoiceFigures& figures = invoice.figures;
    if (figures.Foreign && !figures.InCrowns)
        throw ValidationError(
            QStringLiteral("Faktura %1 je v měně %2 a nemá platný kurz: doplňte kurz a přehled "
                           "vytvořte znovu.")
                .arg(f.Cislo, figures.Currency));
    const QList<int> unknown = figures.UnknownRateRows();
    if (!unknown.isEmpty())
        throw ValidationError(
            QStringLiteral("Faktura %1, řádek %2: sazbu DPH „%3“ nastavení nezná; opravte ji a "
                           "přehled vytvořte znovu.")
                .arg(f.Cislo)
                .arg(unknown.first())
                .arg(f.Polozky[static_cast<std::size_t>(unknown.first() - 1)].DPH));
    InvoiceTaxSummary crowns;
    for (const RateFigures& r : figures.Rates)
        crowns.rates.push_back(RateSum{r.Percent, r.BaseCzk, r.TaxCzk});
    std::sort(crowns.rates.begin(), crowns.rates.end(),
              [](const RateSum& a, const RateSum& b) { return a.percent < b.percent; });
    crowns.baseCents = figures.BaseCzk;
    crowns.taxCents = figures.TaxCzk;
    return crowns;
}

void Add(InvoiceTaxSummary& to, const InvoiceTaxSummary& sums) {
    for (const RateSum& r : sums.rates) {
        auto it = std::find_if(to.rates.begin(), to.rates.end(),
                               [&](const RateSum& t) { return t.percent == r.percent; });
        if (it == to.rates.end()) {
            to.rates.push_back(RateSum{r.percent, 0, 0});
            it = to.rates.end() - 1;
        }
        it->baseCents += r.baseCents;
        it->taxCents += r.taxCents;
    }
    to.baseCents += sums.baseCents;
    to.taxCents += sums.taxCents;
    std::sort(to.rates.begin(), to.rates.end(),
              [](const RateSum& a, const RateSum& b) { return a.percent < b.percent; });
}

QStringList RateHeader(const QList<int>& rates) {
    QStringList cells;
    for (const int rate : rates)
        cells << QStringLiteral("Základ %1 %").arg(rate) << QStringLiteral("DPH %1 %").arg(rate);
    return cells;
}

QStringList RateCells(const InvoiceTaxSummary& sums, const QList<int>& rates) {
    QStringList cells;
    for (const int rate : rates) {
        const RateSum r = sums.rate(rate);
        cells << Money(r.baseCents) << Money(r.taxCents);
    }
    return cells;
}

QStringList RateCells(const InvoiceFigures& figures, const QList<int>& rates) {
    QStringList cells;
    for (const int rate : rates) {
        const RateFigures r = figures.rate(rate);
        cells << Money(r.Base) << Money(r.Tax);
    }
    return cells;
}

// Whether slot i of the three rates prints its own figures: not at 0 % and not a repeat.
bool SlotShown(const int (&rates)[3], int i) {
    if (rates[i] == 0)
        return false;
    for (int j = 0; j < i; ++j) {
        if (rates[j] == rates[i])
            return false;
    }
    return true;
}

} // namespace

std::vector<PeriodInvoice> ReadPeriodInvoices(const InvoiceStore& store, int year,
                                              const QDate& from, const QDate& to,
                                              const AppSettings& settings,
                                              const AfterEachEntry& afterEach) {
    std::vector<PeriodInvoice> invoices;
    const QString folder = store.PeriodFolder(year);
    // Names as they are on disk: "2026002.TVL" is opened as itself.
    for (const QString& name :
         store.ListInvoiceFiles(year, InvoiceStore::Listing::AsListed, afterEach)) {
        PeriodInvoice invoice;
        invoice.fileNumber = name.left(name.size() - 4);
        ReadInvoiceFile(folder + QDir::separator() + name, invoice.record, settings.VychoziMena);
        const QDate supply = invoice.record.DatumPlneni;
        if (!supply.isValid() || supply < from || supply > to)
            continue;
        invoice.figures = ComputeInvoiceFigures(invoice.record, settings);
        invoices.push_back(std::move(invoice));
    }
    return invoices;
}

QList<int> ExportRates(const AppSettings& settings) {
    QList<int> rates;
    for (const int rate : {settings.SazbaDPH1, settings.SazbaDPH2, settings.SazbaDPH3, 0}) {
        if (!rates.contains(rate))
            rates.append(rate);
    }
    std::sort(rates.begin(), rates.end(), std::greater<int>());
    return rates;
}

QByteArray PeriodInvoicesCsv(const std::vector<PeriodInvoice>& invoices,
                             const AppSettings& settings) {
    const QList<int> rates = ExportRates(settings);
    Csv csv;
    csv.row(QStringList{QStringLiteral("Číslo"), QStringLiteral("Datum vystavení"),
                        QStringLiteral("Datum plnění"), QStringLiteral("Datum splatnosti"),
                        QStringLiteral("Odběratel"), QStringLiteral("IČ"), QStringLiteral("DIČ")} +
            RateHeader(rates) +
            QStringList{QStringLiteral("Celkem"), QStringLiteral("Měna"),
                        QStringLiteral("Datum úhrady"), QStringLiteral("Uhrazeno"),
                        QStringLiteral("Kurz"), QStringLiteral("Zaokrouhlení"),
                        QStringLiteral("Druh dokladu"), QStringLiteral("Opravovaný doklad")});
    for (const PeriodInvoice& invoice : invoices) {
        const InvoiceRecord& f = invoice.record;
        try {
            RefuseControlCharacters(f, settings);
        } catch (const ValidationError& e) {
            throw ValidationError(QStringLiteral("Faktura %1: %2").arg(f.Cislo, e.message()));
        }
        const InvoiceFigures& figures = invoice.figures;
        // Cash in crowns is paid in whole crowns; the difference is outside the tax base.
        const qint64 rounding = figures.Due.Rounding;
        const bool creditNote = IsCreditNote(f, figures.Total);
        csv.row(QStringList{CsvSafeText(f.Cislo), FormatInvoiceDate(f.DatumVystaveni),
                            FormatInvoiceDate(f.DatumPlneni), FormatInvoiceDate(f.DatumSplatnosti),
                            CsvSafeText(f.OdberatelNazev1), CsvSafeText(f.OdberatelIC),
                            CsvSafeText(f.OdberatelDIC)} +
                RateCells(figures, rates) +
                QStringList{Money(figures.Total), CsvSafeText(figures.Currency),
                            CsvSafeText(f.DatumUhrady), PaidText(invoice),
                            figures.Foreign ? CsvSafeText(TrimText(f.Kurz)) : QString(),
                            rounding != 0 ? Money(rounding) : QString(),
                            creditNote ? QStringLiteral("dobropis") : QStringLiteral("faktura"),
                            creditNote ? CsvSafeText(TrimText(f.OpravovanyDoklad)) : QString()});
    }
    return csv.bytes();
}

QString PeriodIsdocFileName(const QString& number, DocumentKind kind) {
    const QString suffix = KindSuffix(kind);
    return SafeFileName(TrimText(number),
                        (suffix.isEmpty() ? QString() : QLatin1Char('-') + suffix) +
                            QStringLiteral(".isdoc"));
}

QString PeriodIsdocFileName(const InvoiceRecord& record, DocumentKind kind) {
    return PeriodIsdocFileName(record.Cislo, kind);
}

QStringList ExportPeriod(const QString& folder, const std::vector<PeriodInvoice>& invoices,
                         const QList<DocumentKind>& kinds, const AppSettings& settings) {
    NamedFiles files;
    for (const PeriodInvoice& invoice : invoices) {
        const InvoiceSnapshot snapshot = SnapshotFromRecord(invoice.record, settings);
        const QString number =
            invoice.fileNumber.isEmpty() ? invoice.record.Cislo : invoice.fileNumber;
        for (const DocumentKind chosen : kinds) {
            // A credit note among the invoices is written as one (type 2 with its reference).
            const DocumentKind kind =
                PeriodExportKind(chosen, invoice.record, invoice.figures.Total);
            try {
                files.emplace_back(PeriodIsdocFileName(number, chosen),
                                   BuildIsdocInvoice(kind, snapshot, settings));
            } catch (const ValidationError& e) {
                throw ValidationError(
                    QStringLiteral("Faktura %1: %2").arg(invoice.record.Cislo, e.message()));
            }
        }
    }
    files.emplace_back(QStringLiteral("faktury.csv"), PeriodInvoicesCsv(invoices, settings));
    MakeNamesUnique(files);
    WriteFileSet(folder, files);
    QStringList written;
    for (const auto& file : files)
        written.append(file.first);
    return written;
}

VatSummary SummarizeVat(const std::vector<PeriodInvoice>& invoices, const QDate& from,
                        const QDate& to) {
    VatSummary summary;
    summary.from = from;
    summary.to = to;
    for (const PeriodInvoice& invoice : invoices) {
        const InvoiceRecord& f = invoice.record;
        if (!f.DatumPlneni.isValid() || f.DatumPlneni < from || f.DatumPlneni > to)
            continue;
        const InvoiceTaxSummary crowns = InCrowns(invoice);
        Add(summary.total, crowns);
        if (crowns.totalCents() > kControlStatementLimitCents &&
            !TrimText(f.OdberatelDIC).isEmpty()) {
            summary.individual.push_back(
                VatDocument{f.Cislo, f.DatumPlneni, TrimText(f.OdberatelDIC), crowns});
        } else {
            Add(summary.rest, crowns);
            ++summary.restCount;
        }
    }
    return summary;
}

std::pair<QDate, QDate> MonthRange(int year, int month) {
    const QDate first(year, month, 1);
    return {first, first.addMonths(1).addDays(-1)};
}

std::pair<QDate, QDate> QuarterRange(int year, int quarter) {
    const QDate first(year, (quarter - 1) * 3 + 1, 1);
    return {first, first.addMonths(3).addDays(-1)};
}

QByteArray VatSummaryCsv(const VatSummary& summary, const AppSettings& settings) {
    const QList<int> rates = ExportRates(settings);
    Csv csv;
    csv.row(QStringList{QStringLiteral("Oddíl"), QStringLiteral("DIČ odběratele"),
                        QStringLiteral("Číslo dokladu"), QStringLiteral("Datum plnění")} +
            RateHeader(rates) + QStringList{QStringLiteral("Celkem s DPH")});
    const auto line = [&](const QString& part, const QString& dic, const QString& number,
                          const QString& date, const InvoiceTaxSummary& sums) {
        csv.row(QStringList{part, dic, number, date} + RateCells(sums, rates) +
                QStringList{Money(sums.totalCents())});
    };
    line(QStringLiteral("Celkem za období"), QString(), QString(),
         FormatInvoiceDate(summary.from) + QStringLiteral(" - ") + FormatInvoiceDate(summary.to),
         summary.total);
    for (const VatDocument& d : summary.individual)
        line(QStringLiteral("Nad 10 000 Kč"), CsvSafeText(d.OdberatelDIC), CsvSafeText(d.Cislo),
             FormatInvoiceDate(d.DatumPlneni), d.sums);
    line(QStringLiteral("Ostatní doklady"), QString(),
         QStringLiteral("počet %1").arg(summary.restCount), QString(), summary.rest);
    return csv.bytes();
}

QString VatSummaryTemplate() {
    return QStringLiteral("Ses/PrehledDPH.fr3");
}

QString VatSummaryTitle(const VatSummary& summary) {
    return QStringLiteral("Přehled DPH ") + FormatInvoiceDate(summary.from) +
           QStringLiteral(" - ") + FormatInvoiceDate(summary.to);
}

QString VatSummaryFileName(const VatSummary& summary) {
    return QStringLiteral("Přehled DPH %1 až %2")
        .arg(summary.from.toString(QStringLiteral("yyyy-MM-dd")),
             summary.to.toString(QStringLiteral("yyyy-MM-dd")));
}

PrintVariables VatSummaryVariables(const VatSummary& summary, const AppSettings& settings) {
    PrintVariables v;
    v.add(QStringLiteral("Nadpis"), VatSummaryTitle(summary));
    v.add(QStringLiteral("DodavNazev"), settings.Dodavatel.Nazev);
    v.add(QStringLiteral("DodavDIC"), settings.Dodavatel.DIC);
    const int rates[] = {settings.SazbaDPH1, settings.SazbaDPH2, settings.SazbaDPH3};
    for (int i = 0; i < 3; ++i) {
        const QString n = QString::number(i + 1);
        // Each rate's figures once: a slot at 0 % (its base is on the 0 % line) or repeating an
        // earlier slot's rate stays empty, so that the column adds up to its total.
        const bool shown = SlotShown(rates, i);
        const auto money = [&](qint64 cents) { return shown ? Money(cents) : QString(); };
        v.add(QStringLiteral("SazbaDPH") + n, QString::number(rates[i]));
        v.add(QStringLiteral("Zaklad") + n, money(summary.total.rate(rates[i]).baseCents));
        v.add(QStringLiteral("Dan") + n, money(summary.total.rate(rates[i]).taxCents));
        v.add(QStringLiteral("OstatniZaklad") + n, money(summary.rest.rate(rates[i]).baseCents));
        v.add(QStringLiteral("OstatniDan") + n, money(summary.rest.rate(rates[i]).taxCents));
    }
    v.add(QStringLiteral("Zaklad0"), Money(summary.total.rate(0).baseCents));
    v.add(QStringLiteral("OstatniZaklad0"), Money(summary.rest.rate(0).baseCents));
    v.add(QStringLiteral("CelkemZaklad"), Money(summary.total.baseCents));
    v.add(QStringLiteral("CelkemDan"), Money(summary.total.taxCents));
    v.add(QStringLiteral("Celkem"), Money(summary.total.totalCents()));
    v.add(QStringLiteral("OstatniPocet"), QString::number(summary.restCount));
    v.add(QStringLiteral("NazevSouboru"), VatSummaryFileName(summary));
    return v;
}

void FillVatSummary(ReportDataSet& dataSet, const VatSummary& summary,
                    const AppSettings& settings) {
    ResetDataSet(dataSet);
    dataSet.addColumn(QStringLiteral("Id"), Type::AutoIncrement);
    dataSet.addColumn(QStringLiteral("DIC"), Type::Text, 20);
    dataSet.addColumn(QStringLiteral("Cislo"), Type::Text, 50);
    dataSet.addColumn(QStringLiteral("DatumPlneni"), Type::Text, 10);
    for (const QString& n : {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}) {
        dataSet.addColumn(QStringLiteral("Zaklad") + n, Type::Text, 15);
        dataSet.addColumn(QStringLiteral("Dan") + n, Type::Text, 15);
    }
    dataSet.addColumn(QStringLiteral("Celkem"), Type::Text, 15);
    dataSet.createAndOpen();
    const int rates[] = {settings.SazbaDPH1, settings.SazbaDPH2, settings.SazbaDPH3};
    int id = 0;
    for (const VatDocument& d : summary.individual) {
        QStringList row{QString::number(++id), d.OdberatelDIC, d.Cislo,
                        FormatInvoiceDate(d.DatumPlneni)};
        for (int i = 0; i < 3; ++i) {
            const bool shown = SlotShown(rates, i);
            row << (shown ? Money(d.sums.rate(rates[i]).baseCents) : QString())
                << (shown ? Money(d.sums.rate(rates[i]).taxCents) : QString());
        }
        row << Money(d.sums.totalCents());
        dataSet.appendRow(row);
    }
}

} // namespace tarvela
