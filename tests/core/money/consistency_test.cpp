// Random invoices through every output, each figure compared to the haléř with an exact reference
// computed here on the typed digits (128-bit integers, its own rounding), independent of the
// program's decimal type.
#include "editor/invoice_book.h"
#include "editor/row_amounts.h"
#include "invoice/invoice_file.h"
#include "money/invoice_figures.h"
#include "printing/accountant_export.h"
#include "printing/document_rules.h"
#include "printing/invoice_documents.h"
#include "printing/isdoc_invoice.h"
#include "printing/period_overview.h"
#include "printing/report_data_set.h"
#include "support/printing_fixtures.h"

#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <map>
#include <random>

namespace tarvela {
namespace {

__extension__ typedef __int128 Wide;

// n / d rounded half away from zero, by doubling (a different way than the program's).
qint64 Round(Wide n, Wide d) {
    const Wide twice = 2 * (n < 0 ? -n : n);
    const Wide q = (twice + d) / (2 * d);
    return static_cast<qint64>(n < 0 ? -q : q);
}

Wide Pow10(int n) {
    Wide p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

// A typed number: its digits without the comma and how many of them are decimals.
struct Typed {
    qint64 digits = 0;
    int decimals = 0;
    QString text() const {
        QString t = QString::number(digits < 0 ? -digits : digits);
        if (decimals > 0) {
            while (t.size() <= decimals)
                t.prepend(QLatin1Char('0'));
            t.insert(t.size() - decimals, QLatin1Char(','));
        }
        return (digits < 0 ? QStringLiteral("-") : QString()) + t;
    }
};

QString Money(qint64 halere) {
    const qint64 m = halere < 0 ? -halere : halere;
    return (halere < 0 ? QStringLiteral("-") : QString()) + QString::number(m / 100) +
           QLatin1Char(',') + QString::number(m % 100 / 10) + QString::number(m % 10);
}

struct Expected {
    std::map<int, std::pair<qint64, qint64>> rates; // percent -> base, tax
    std::array<qint64, kItemRowCount> rowAmount{};
    qint64 base = 0, tax = 0, total = 0;
    std::map<int, std::pair<qint64, qint64>> crowns; // percent -> base, tax in crowns
    qint64 taxCrowns = 0;
    qint64 paid = 0;
};

class Generator {
public:
    explicit Generator(unsigned seed) : random_(seed) {}
    int Int(int from, int to) { return std::uniform_int_distribution<int>(from, to)(random_); }
    Typed Number(int wholeDigits, bool mayBeNegative) {
        Typed t;
        t.decimals = Int(0, 6);
        const int digits = Int(0, wholeDigits) + t.decimals;
        for (int i = 0; i < digits; ++i)
            t.digits = t.digits * 10 + Int(0, 9);
        if (mayBeNegative && Int(0, 9) == 0)
            t.digits = -t.digits;
        // Awkward on purpose: halves of a haléř.
        if (Int(0, 4) == 0) {
            t.digits = Int(1, 99) * 1000 + 5;
            t.decimals = 3;
        }
        return t;
    }

private:
    std::mt19937 random_;
};

std::map<QString, QString> Variables(const PrintVariables& v) {
    const QStringList parts = v.text().split(QLatin1Char('|'));
    std::map<QString, QString> map;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        map[parts[i]] = parts[i + 1];
    return map;
}

// The texts of every element of the ISDOC file, by the names of the element and its parent
// ("LegalMonetaryTotal/PayableAmount"), in document order.
std::multimap<QString, QString> IsdocTexts(const QByteArray& xml) {
    std::multimap<QString, QString> texts;
    QXmlStreamReader reader(xml);
    QStringList path;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement())
            path.append(reader.name().toString());
        else if (reader.isEndElement())
            path.removeLast();
        else if (reader.isCharacters() && !reader.isWhitespace() && path.size() >= 2)
            texts.emplace(path[path.size() - 2] + QLatin1Char('/') + path.last(),
                          reader.text().toString());
    }
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    return texts;
}

// "-1234.5" -> -123450.
qint64 IsdocHalere(const QString& text) {
    const bool negative = text.startsWith(QLatin1Char('-'));
    const QStringList parts = text.mid(negative ? 1 : 0).split(QLatin1Char('.'));
    QString fraction = parts.value(1).leftJustified(2, QLatin1Char('0'));
    EXPECT_EQ(fraction.size(), 2) << text.toStdString();
    const qint64 value = parts[0].toLongLong() * 100 + fraction.toLongLong();
    return negative ? -value : value;
}

qint64 One(const std::multimap<QString, QString>& texts, const QString& key) {
    const auto it = texts.find(key);
    EXPECT_NE(it, texts.end()) << key.toStdString();
    return it == texts.end() ? 0 : IsdocHalere(it->second);
}

bool Rounds(DocumentKind kind, bool cash, bool foreign) {
    if (foreign)
        return false;
    if (kind == DocumentKind::PrijmovyDokladSRozpisem)
        return true;
    return cash && (kind == DocumentKind::Faktura || kind == DocumentKind::ProformaFaktura ||
                    kind == DocumentKind::DanovyDoklad || kind == DocumentKind::Dobropis);
}

TEST(Consistency, EveryOutputOfRandomInvoicesAgreesWithTheReference) {
    Generator g(20261209);
    const QDate from(2026, 3, 1);
    const QDate to(2026, 3, 31);
    std::vector<PeriodInvoice> period;
    std::map<int, std::pair<qint64, qint64>> periodCrowns;
    int qrCodes = 0; // codes compared (a long amount has none, with its reason)
    constexpr int kInvoices = 2500;
    for (int n = 0; n < kInvoices; ++n) {
        const bool payer = g.Int(0, 3) != 0;
        const bool foreign = g.Int(0, 3) == 0;
        const bool cash = g.Int(0, 2) == 0;
        const DocumentKind kind = kDocumentKinds[static_cast<std::size_t>(g.Int(0, 6))];
        AppSettings settings = payer ? test::PayerSettings() : test::NonPayerSettings();
        settings.SazbaDPH1 = 21;
        settings.SazbaDPH2 = 12;
        settings.SazbaDPH3 = 0;

        InvoiceSnapshot invoice = test::SampleInvoice();
        InvoiceRecord& f = invoice.fields;
        f.Cislo = QStringLiteral("2026%1").arg(n, 4, 10, QLatin1Char('0'));
        f.OpravovanyDoklad = QStringLiteral("2026001");
        f.DuvodOpravy = QStringLiteral("vrácení zboží");
        f.FormaUhrady = cash ? QStringLiteral("H") : QStringLiteral("PP");
        f.DatumPlneni = QDate(2026, 3, g.Int(1, 31));
        f.Polozky = {};
        Typed rate;
        if (foreign) {
            f.Mena = QStringLiteral("EUR");
            rate.digits = g.Int(1, 40) * 1000 + g.Int(0, 999);
            rate.decimals = 3;
            f.Kurz = rate.text();
            f.DatumKurzu = QStringLiteral("4.3.2026");
        }

        Expected e;
        const int rows = g.Int(1, 25);
        for (int r = 0; r < rows; ++r) {
            InvoiceItemRow& row = f.Polozky[static_cast<std::size_t>(r)];
            row.Dodavka = QStringLiteral("Položka %1").arg(r + 1);
            const char* rates[] = {"21", "12", "0"};
            row.DPH = QString::fromLatin1(rates[g.Int(0, 2)]);
            if (g.Int(0, 9) == 0)
                continue; // a row of text only
            const Typed q = g.Number(3, true);
            const Typed p = g.Number(5, false);
            row.PocetMJ = q.text();
            row.Cena = p.text();
            const qint64 amount =
                Round(static_cast<Wide>(q.digits) * p.digits * 100, Pow10(q.decimals + p.decimals));
            const int percent = payer ? row.DPH.toInt() : 0;
            const qint64 tax = Round(static_cast<Wide>(amount) * percent, 100);
            e.rowAmount[static_cast<std::size_t>(r)] = amount;
            e.rates[percent].first += amount;
            e.rates[percent].second += tax;
            e.base += amount;
            e.tax += tax;
        }
        e.total = e.base + e.tax;
        for (const auto& [percent, sums] : e.rates) {
            const auto crowns = [&](qint64 h) {
                return foreign ? Round(static_cast<Wide>(h) * rate.digits, Pow10(rate.decimals))
                               : h;
            };
            e.crowns[percent] = {crowns(sums.first), crowns(sums.second)};
            e.taxCrowns += e.crowns[percent].second;
        }
        const qint64 due = Rounds(kind, cash, foreign) ? Round(e.total, 100) * 100 : e.total;
        const int paidChoice = g.Int(0, 2);
        if (paidChoice == 1) {
            f.DatumUhrady = QStringLiteral("3.4.2026");
            e.paid = e.total;
        } else if (paidChoice == 2) {
            e.paid = e.total > 0 ? g.Int(0, 1000000) % (e.total + 1) : 0;
            f.UhrazenaCastka = Money(e.paid);
            f.DatumUhrady = QStringLiteral("3.4.2026");
        }
        const std::string what = QStringLiteral("invoice %1 kind %2 payer %3 foreign %4 cash %5")
                                     .arg(n)
                                     .arg(static_cast<int>(kind))
                                     .arg(payer)
                                     .arg(foreign)
                                     .arg(cash)
                                     .toStdString();

        // The window's totals panel: each row recomputed, then summed.
        RowAmounts amounts;
        for (int r = 1; r <= kItemRowCount; ++r) {
            const InvoiceItemRow& row = f.Polozky[static_cast<std::size_t>(r - 1)];
            RecomputeRow(amounts[r], row.PocetMJ, row.Cena, row.DPH, RatesOf(settings));
        }
        const TotalsTexts panel = ComputeTotals(amounts, 1, f.Mena);
        ASSERT_EQ(panel.SACelkem, Money(e.base)) << what;
        ASSERT_EQ(panel.SADPH1, Money(e.rates[21].second)) << what;
        ASSERT_EQ(panel.SADPH2, Money(e.rates[12].second)) << what;
        ASSERT_EQ(panel.CelkemFaktura, Money(e.total)) << what;
        f.Uhrnem = panel.CelkemFaktura; // what Save writes as the total line

        // The printed document: totals, recap, amount due, tax in crowns, QR amount and rows.
        const auto v = Variables(InvoiceDocumentVariables(kind, invoice, settings));
        ASSERT_EQ(v.at(QStringLiteral("CelkemBezDPH")), Money(e.base)) << what;
        ASSERT_EQ(v.at(QStringLiteral("Uhrnem")), Money(e.total)) << what;
        ASSERT_EQ(v.at(QStringLiteral("CelkemDPH")), Money(e.tax)) << what;
        ASSERT_EQ(v.at(QStringLiteral("CastkaKUhrade")), Money(due < 0 ? -due : due)) << what;
        ASSERT_EQ(v.at(QStringLiteral("Zaokrouhleni")),
                  due != e.total ? Money(due - e.total) : QString())
            << what;
        qint64 recapBase = 0;
        for (int i = 1; i <= 4; ++i) {
            const QString percent = v.at(QStringLiteral("RekapSazba%1").arg(i));
            if (percent.isEmpty())
                continue;
            const auto& sums = e.rates[percent.toInt()];
            ASSERT_EQ(v.at(QStringLiteral("RekapZaklad%1").arg(i)), Money(sums.first)) << what;
            ASSERT_EQ(v.at(QStringLiteral("RekapDPH%1").arg(i)), Money(sums.second)) << what;
            recapBase += sums.first;
        }
        ASSERT_EQ(recapBase, e.base) << what;
        if (foreign && IsTaxDocument(kind, settings)) {
            ASSERT_EQ(v.at(QStringLiteral("CelkemDPHCZK")), Money(e.taxCrowns)) << what;
        }
        const QString qr = v.at(QStringLiteral("QRCode"));
        if (!qr.isEmpty()) {
            ++qrCodes;
            ASSERT_TRUE(qr.contains(QStringLiteral("*AM:") + Money(due).replace(',', '.') +
                                    QLatin1Char('*')))
                << what << " " << qr.toStdString();
        }
        ReportDataSet items;
        FillInvoiceItems(items, kind, invoice);
        for (int r = 0; r < items.rowCount(); ++r) {
            const int row = items.value(r, QStringLiteral("Id")).toInt();
            const qint64 amount = e.rowAmount[static_cast<std::size_t>(row - 1)];
            ASSERT_EQ(items.value(r, QStringLiteral("Zaklad")),
                      amount == 0 ? QString() : Money(amount))
                << what << " row " << row;
        }

        // The e-invoice read back: lines add up to the totals, in both currencies.
        if (HasIsdoc(kind)) {
            const auto x = IsdocTexts(BuildIsdocInvoice(kind, invoice, settings));
            qint64 lines = 0;
            const QString curr = foreign ? QStringLiteral("Curr") : QString();
            const auto base = x.equal_range(QStringLiteral("InvoiceLine/LineExtensionAmount"));
            const auto tax = x.equal_range(QStringLiteral("InvoiceLine/LineExtensionTaxAmount"));
            const auto incl =
                x.equal_range(QStringLiteral("InvoiceLine/LineExtensionAmountTaxInclusive"));
            auto b = base.first;
            auto t = tax.first;
            auto i = incl.first;
            for (; b != base.second && t != tax.second && i != incl.second; ++b, ++t, ++i) {
                ASSERT_EQ(IsdocHalere(b->second) + IsdocHalere(t->second), IsdocHalere(i->second))
                    << what;
                lines += IsdocHalere(b->second);
            }
            if (!foreign) {
                ASSERT_EQ(lines, e.base) << what;
            }
            ASSERT_EQ(One(x, QStringLiteral("LegalMonetaryTotal/TaxExclusiveAmount") + curr),
                      e.base)
                << what;
            ASSERT_EQ(One(x, QStringLiteral("LegalMonetaryTotal/TaxInclusiveAmount") + curr),
                      e.total)
                << what;
            ASSERT_EQ(One(x, QStringLiteral("LegalMonetaryTotal/PayableAmount") + curr), due)
                << what;
            if (due != e.total) {
                ASSERT_EQ(One(x, QStringLiteral("LegalMonetaryTotal/PayableRoundingAmount")),
                          due - e.total)
                    << what;
            }
            ASSERT_EQ(One(x, QStringLiteral("TaxTotal/TaxAmount")), foreign ? e.taxCrowns : e.tax)
                << what;
        }

        // The accountant's CSV row of the invoice.
        PeriodInvoice periodInvoice{f, ComputeInvoiceFigures(f, settings), f.Cislo};
        const QStringList csv =
            QString::fromUtf8(PeriodInvoicesCsv({periodInvoice}, settings).mid(3))
                .split(QStringLiteral("\r\n"));
        QStringList cells = csv.value(1).split(QLatin1Char(';'));
        for (QString& cell : cells) {
            if (cell.startsWith(QLatin1Char('\'')))
                cell.remove(0, 1); // a neutralised leading sign
        }
        ASSERT_EQ(cells.value(7), Money(e.rates[21].first)) << what;
        ASSERT_EQ(cells.value(8), Money(e.rates[21].second)) << what;
        ASSERT_EQ(cells.value(9), Money(e.rates[12].first)) << what;
        ASSERT_EQ(cells.value(11), Money(e.rates[0].first)) << what;
        ASSERT_EQ(cells.value(13), Money(e.total)) << what;

        // The book and the period overview read the written file.
        const BookEntry entry = ReadBookEntry(InvoiceFileBytes(f), f.Cislo + QStringLiteral(".tvl"),
                                              2026, RatesOf(settings), QStringLiteral("CZK"));
        ASSERT_EQ(entry.Celkem, e.total) << what;
        ASSERT_EQ(PaidAmount(entry), e.paid) << what;
        ASSERT_EQ(Outstanding(entry), std::max<qint64>(0, e.total - e.paid)) << what;
        OverviewEntry overview;
        overview.Cislo = f.Cislo;
        overview.CastkaPresne = f.Uhrnem;
        overview.DatumUhrady = f.DatumUhrady;
        overview.UhrazenaCastka = f.UhrazenaCastka;
        overview.Mena = f.Mena;
        ReportDataSet rowsOfOverview;
        FillPeriodOverview(rowsOfOverview, {overview}, QStringLiteral("CZK"));
        ASSERT_EQ(rowsOfOverview.value(0, foreign ? QStringLiteral("CastkaJinaMenaPresne")
                                                  : QStringLiteral("CastkaPresne")),
                  e.total != 0 ? Money(e.total) : QString())
            << what;
        ASSERT_EQ(rowsOfOverview.value(0, QStringLiteral("UhrazenoPresne")),
                  f.DatumUhrady.isEmpty() ? QString() : Money(e.paid))
            << what;

        if (payer && f.DatumPlneni >= from && f.DatumPlneni <= to) {
            period.push_back(periodInvoice);
            for (const auto& [percent, sums] : e.crowns) {
                periodCrowns[percent].first += sums.first;
                periodCrowns[percent].second += sums.second;
            }
        }
    }

    EXPECT_GT(qrCodes, kInvoices / 4);

    // The VAT summary of the payers' invoices, in crowns per rate.
    const VatSummary summary = SummarizeVat(period, from, to);
    qint64 base = 0;
    qint64 tax = 0;
    for (const auto& [percent, sums] : periodCrowns) {
        EXPECT_EQ(summary.total.rate(percent).baseCents, sums.first) << percent;
        EXPECT_EQ(summary.total.rate(percent).taxCents, sums.second) << percent;
        base += sums.first;
        tax += sums.second;
    }
    AppSettings settings = test::PayerSettings();
    settings.SazbaDPH1 = 21;
    settings.SazbaDPH2 = 12;
    settings.SazbaDPH3 = 0;
    const auto v = Variables(VatSummaryVariables(summary, settings));
    EXPECT_EQ(v.at(QStringLiteral("CelkemZaklad")), Money(base));
    EXPECT_EQ(v.at(QStringLiteral("CelkemDan")), Money(tax));
    EXPECT_EQ(v.at(QStringLiteral("Zaklad0")), Money(periodCrowns[0].first));
    EXPECT_EQ(v.at(QStringLiteral("Zaklad3")), QString()); // the 0 % base printed once
}

} // namespace
} // namespace tarvela
