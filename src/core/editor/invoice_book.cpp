#include "editor/invoice_book.h"

#include "editor/invoice_list.h"
#include "invoice/file_lines.h"
#include "invoice/invoice_file.h"
#include "money/invoice_figures.h"
#include "printing/money.h"
#include "text/amount_text.h"
#include "text/dates.h"
#include "text/errors.h"
#include "text/helpers.h"

#include <QDir>

#include <algorithm>

namespace tarvela {

namespace {

constexpr size_t kInvoiceLines = static_cast<size_t>(kInvoiceFileLineCount);

// The digits of text[from, to) as a number; -1 unless there are one to `most` digits only.
int Digits(const QString& text, qsizetype from, qsizetype to, qsizetype most) {
    if (to <= from || to - from > most)
        return -1;
    int value = 0;
    for (qsizetype i = from; i < to; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

QDate ReadDateOrNull(const QString& text) {
    // The form every invoice is written with, "5.3.2026", read directly; any other form goes
    // the general way below.
    const qsizetype first = text.indexOf(QLatin1Char('.'));
    const qsizetype second = first < 0 ? -1 : text.indexOf(QLatin1Char('.'), first + 1);
    if (second > 0) {
        const int day = Digits(text, 0, first, 2);
        const int month = Digits(text, first + 1, second, 2);
        const int year = Digits(text, second + 1, text.size(), 4);
        if (day >= 0 && month >= 0 && year >= 1 && text.size() - second - 1 == 4) {
            const QDate date(year, month, day);
            return date == ZeroDate() ? QDate() : date;
        }
    }
    try {
        const QDate date = ParseInvoiceDate(text);
        return date == ZeroDate() ? QDate() : date;
    } catch (const ConversionError&) {
        return {};
    }
}

// The quantity, unit price and rate cells (the fourth to sixth) of an item row line, as parts of
// the line; false for a line of fewer than seven cells, which fills no amounts.
bool NumberCells(QStringView line, QStringView& quantity, QStringView& price, QStringView& rate) {
    qsizetype bars[6];
    int found = 0;
    for (qsizetype i = 0; i < line.size() && found < 6; ++i)
        if (line[i] == u'|')
            bars[found++] = i;
    if (found < 6)
        return false;
    quantity = line.mid(bars[2] + 1, bars[3] - bars[2] - 1);
    price = line.mid(bars[3] + 1, bars[4] - bars[3] - 1);
    rate = line.mid(bars[4] + 1, bars[5] - bars[4] - 1);
    return true;
}

QString Folded(const QString& text) {
    return StripDiacritics(text.toLower());
}

// Czech plural forms: 1, 2-4, 0 and 5 and more.
QString Plural(int n, const char* one, const char* few, const char* many) {
    const char* word = n == 1 ? one : (n >= 2 && n <= 4 ? few : many);
    return QString::fromUtf8(word);
}

} // namespace

qint64 PaidAmount(const BookEntry& entry) {
    return PaidHalere(entry.UhrazenaCastka, entry.DatumUhrady, entry.Celkem);
}

qint64 Outstanding(const BookEntry& entry) {
    const qint64 rest = entry.Celkem - PaidAmount(entry);
    return rest < 0 ? 0 : rest;
}

QString DaysText(int days) {
    return QStringLiteral("%1 %2").arg(days).arg(Plural(days, "den", "dny", "dní"));
}

QString OverdueText(int days) {
    return QStringLiteral("Po splatnosti ") + DaysText(days);
}

QString OverdueNotice(int count) {
    return QStringLiteral("%1 %2 po splatnosti")
        .arg(count)
        .arg(Plural(count, "faktura je", "faktury jsou", "faktur je"));
}

BookStatus EntryStatus(const BookEntry& entry, const QDate& today) {
    BookStatus status;
    const qint64 rest = Outstanding(entry);
    if (entry.Celkem <= 0 || rest == 0) {
        status.State = PaymentState::Paid;
        status.Text = QStringLiteral("Uhrazeno");
        return status;
    }
    if (entry.Splatnost.isValid() && today > entry.Splatnost) {
        status.State = PaymentState::Overdue;
        status.DaysOverdue = static_cast<int>(entry.Splatnost.daysTo(today));
        status.Text = OverdueText(status.DaysOverdue);
        return status;
    }
    if (PaidAmount(entry) > 0) {
        status.State = PaymentState::PartlyPaid;
        status.Text = QStringLiteral("Částečně uhrazeno");
    } else {
        status.State = PaymentState::Unpaid;
        status.Text = QStringLiteral("Neuhrazeno");
    }
    return status;
}

BookEntry ReadBookEntry(const QByteArray& bytes, const QString& filePath, int year,
                        const VatRates& rates, const QString& defaultCurrency) {
    BookEntry entry;
    entry.Year = year;
    entry.FilePath = filePath;
    // The file's name without ".tvl".
    const qsizetype name =
        std::max(filePath.lastIndexOf(QLatin1Char('/')), filePath.lastIndexOf(QDir::separator())) +
        1;
    entry.Cislo = filePath.mid(name, filePath.size() - name - 4);

    const FileLines lines = FileLines::FromBytes(bytes);
    entry.Symbol = lines.line(2);
    entry.DatumVystaveni = lines.line(8);
    entry.DatumSplatnosti = lines.line(9);
    entry.Vystaveni = ReadDateOrNull(entry.DatumVystaveni);
    entry.Splatnost = ReadDateOrNull(entry.DatumSplatnosti);
    entry.Odberatel = lines.line(11);
    entry.OdberatelIC = lines.line(17);
    entry.DatumUhrady = lines.line(47);
    entry.Uhrada = ReadDateOrNull(entry.DatumUhrady);
    entry.Mena = lines.line(48);
    if (entry.Mena.isEmpty())
        entry.Mena = defaultCurrency;
    entry.UhrazenaCastka = lines.line(49);
    for (int n = 50; n <= lines.count(); ++n) {
        if (lines.lineView(n).startsWith(QLatin1String("Eet=")))
            entry.Eet = lines.line(n).mid(4);
    }

    bool computed = false;
    if (lines.has(43)) {
        try {
            std::array<RowFigures, kItemRowCount> rows{};
            QStringView quantity;
            QStringView price;
            QStringView rate;
            for (int row = 1; row <= kItemRowCount; ++row) {
                if (!NumberCells(lines.lineView(18 + row), quantity, price, rate))
                    continue; // a short row line fills no amounts
                rows[static_cast<std::size_t>(row - 1)] =
                    ComputeRowFigures(quantity, price, rate, rates);
            }
            entry.Celkem = SumRowFigures(rows).Total;
            computed = true;
        } catch (const ConversionError&) {
            computed = false;
        }
    }
    if (!computed)
        entry.Celkem = ReadTotalHalere(lines.line(46)).value_or(0);
    entry.Uhrazeno = PaidAmount(entry);
    return entry;
}

BookEntry ReadBookFile(const QString& filePath, int year, const VatRates& rates,
                       const QString& defaultCurrency) {
    QByteArray bytes;
    try {
        bytes = ReadWholeFile(filePath);
    } catch (const FileError&) {
        // a file that vanished since the listing shows only its number
    }
    return ReadBookEntry(bytes, filePath, year, rates, defaultCurrency);
}

std::vector<BookEntry> ReadBook(const QString& periodFolder, int year, const VatRates& rates,
                                const QString& defaultCurrency,
                                const std::function<void()>& afterEach) {
    std::vector<BookEntry> book;
    const QStringList names = ListInvoiceFileNames(periodFolder);
    book.reserve(static_cast<size_t>(names.size()));
    for (const QString& name : names) {
        book.push_back(
            ReadBookFile(periodFolder + QDir::separator() + name, year, rates, defaultCurrency));
        if (afterEach)
            afterEach();
    }
    return book;
}

bool MatchesBookFilter(const BookEntry& entry, const QString& text, StatusFilter filter,
                       const QDate& today) {
    if (filter != StatusFilter::All) {
        const PaymentState state = EntryStatus(entry, today).State;
        if (filter == StatusFilter::Paid && state != PaymentState::Paid)
            return false;
        if (filter == StatusFilter::Overdue && state != PaymentState::Overdue)
            return false;
        if (filter == StatusFilter::Unsettled && state == PaymentState::Paid)
            return false;
    }
    const QString needle = Folded(text.trimmed());
    if (needle.isEmpty())
        return true;
    return Folded(entry.Cislo).contains(needle) || Folded(entry.Odberatel).contains(needle) ||
           Folded(entry.OdberatelIC).contains(needle);
}

std::map<QString, CurrencySums> SumsPerCurrency(const std::vector<const BookEntry*>& entries) {
    std::map<QString, CurrencySums> sums;
    for (const BookEntry* entry : entries) {
        CurrencySums& sum = sums[entry->Mena];
        sum.Celkem += entry->Celkem;
        sum.Uhrazeno += PaidAmount(*entry);
        sum.Zbyva += Outstanding(*entry);
        ++sum.Count;
    }
    return sums;
}

QByteArray WithPayment(const QByteArray& fileBytes, const QString& date, const QString& amount) {
    // Everything but the two replaced lines is written back unchanged.
    std::vector<RawLine> lines = SplitRawLines(fileBytes);
    const QByteArray crlf("\r\n");
    if (!lines.empty() && lines.back().end.isEmpty() && lines.size() < kInvoiceLines)
        lines.back().end = crlf;
    while (lines.size() < kInvoiceLines)
        lines.push_back({{}, crlf});
    lines[46].text = date.toLatin1();
    lines[48].text = amount.toLatin1();
    return JoinRawLines(lines);
}

void MarkInvoicePaid(const QString& filePath, const QDate& date, qint64 paidHalere) {
    const QString dateText = date.isValid() ? FormatInvoiceDate(date) : QString();
    const QString amountText = FormatHalere(paidHalere);
    // Read and replaced under the file's lock: a save of another instance is either wholly
    // before (and kept, but for the two lines) or waits until the payment is written.
    ReplaceFileLocked(filePath, [&](const std::optional<QByteArray>& bytes) {
        if (!bytes)
            throw FileError(
                QStringLiteral("Soubor „%1“ nelze otevřít pro čtení (není to soubor faktury).")
                    .arg(filePath));
        return WithPayment(*bytes, dateText, amountText);
    });
}

} // namespace tarvela
