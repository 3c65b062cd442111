#include "editor/invoice_book.h"

#include "editor/invoice_list.h"
#include "invoice/file_lines.h"
#include "invoice/invoice_file.h"
#include "text/amount_text.h"
#include "text/dates.h"
#include "text/errors.h"
#include "text/helpers.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace tarvela {

namespace {

constexpr double kCent = 0.005; // amounts that differ by less are equal
constexpr size_t kInvoiceLines = static_cast<size_t>(kInvoiceFileLineCount);

QDate ReadDateOrNull(const QString& text) {
    try {
        const QDate date = ParseInvoiceDate(text);
        return date == ZeroDate() ? QDate() : date;
    } catch (const ConversionError&) {
        return {};
    }
}

// An amount as people write it: decimal comma or point, spaces anywhere.
bool ReadLooseAmount(const QString& text, double& value) {
    QString kept = text;
    kept.remove(QLatin1Char(' '));
    kept.replace(QLatin1Char('.'), QLatin1Char(','));
    if (kept.isEmpty())
        return false;
    try {
        value = ParseAmount(kept);
        return true;
    } catch (const ConversionError&) {
        return false;
    }
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

double PaidAmount(const BookEntry& entry) {
    double paid = 0;
    if (ReadLooseAmount(entry.UhrazenaCastka, paid))
        return paid;
    if (entry.UhrazenaCastka.trimmed().isEmpty() && !entry.DatumUhrady.trimmed().isEmpty())
        return entry.Celkem;
    return 0;
}

double Outstanding(const BookEntry& entry) {
    const double rest = entry.Celkem - PaidAmount(entry);
    return rest < kCent ? 0 : rest;
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
    const double rest = Outstanding(entry);
    if (entry.Celkem < kCent || rest == 0) {
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
    if (PaidAmount(entry) >= kCent) {
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
    QString name = QFileInfo(filePath).fileName();
    entry.Cislo = name.left(name.size() - 4);

    const FileLines lines = FileLines::FromBytes(bytes);
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

    bool computed = false;
    if (lines.has(43)) {
        try {
            double total = 0;
            QStringList cells;
            for (int row = 1; row <= kItemRowCount; ++row) {
                SplitCells(lines.line(18 + row), cells);
                if (cells.size() < 7)
                    continue; // a short row line fills no amounts
                RowAmount amount;
                RecomputeRow(amount, cells[3], cells[4], cells[5], rates);
                total += amount.Base + amount.Vat1 + amount.Vat2 + amount.Vat3;
            }
            entry.Celkem = RoundAmount(total, -2);
            computed = true;
        } catch (const ConversionError&) {
            computed = false;
        }
    }
    if (!computed) {
        try {
            entry.Celkem = ParseAmountLenient(lines.line(46));
        } catch (const ConversionError&) {
            entry.Celkem = 0;
        }
    }
    double paid = 0;
    entry.Uhrazeno = ReadLooseAmount(entry.UhrazenaCastka, paid) ? paid : PaidAmount(entry);
    return entry;
}

std::vector<BookEntry> ReadBook(const QString& periodFolder, int year, const VatRates& rates,
                                const QString& defaultCurrency,
                                const std::function<void()>& afterEach) {
    std::vector<BookEntry> book;
    const QStringList names = ListInvoiceFileNames(periodFolder);
    book.reserve(static_cast<size_t>(names.size()));
    for (const QString& name : names) {
        const QString path = periodFolder + QDir::separator() + name;
        QByteArray bytes;
        try {
            bytes = ReadWholeFile(path);
        } catch (const FileError&) {
            // a file that vanished since the listing shows only its number
        }
        book.push_back(ReadBookEntry(bytes, path, year, rates, defaultCurrency));
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
    // Cut the bytes into lines keeping each line's own ending, so that everything but the two
    // replaced lines is written back unchanged.
    struct Line {
        QByteArray text;
        QByteArray end;
    };
    std::vector<Line> lines;
    qsizetype start = 0;
    const qsizetype size = fileBytes.size();
    while (start < size) {
        qsizetype pos = start;
        while (pos < size && fileBytes[pos] != '\r' && fileBytes[pos] != '\n')
            ++pos;
        Line line{fileBytes.mid(start, pos - start), {}};
        if (pos < size) {
            const qsizetype endLength =
                (fileBytes[pos] == '\r' && pos + 1 < size && fileBytes[pos + 1] == '\n') ? 2 : 1;
            line.end = fileBytes.mid(pos, endLength);
            pos += endLength;
        }
        lines.push_back(line);
        start = pos;
    }
    const QByteArray crlf("\r\n");
    if (!lines.empty() && lines.back().end.isEmpty() && lines.size() < kInvoiceLines)
        lines.back().end = crlf;
    while (lines.size() < kInvoiceLines)
        lines.push_back({{}, crlf});
    lines[46].text = date.toLatin1();
    lines[48].text = amount.toLatin1();
    QByteArray out;
    out.reserve(fileBytes.size() + 32);
    for (const Line& line : lines)
        out += line.text + line.end;
    return out;
}

void MarkInvoicePaid(const QString& filePath, const QDate& date, double amount) {
    const QByteArray bytes = ReadWholeFile(filePath);
    const QString dateText = date.isValid() ? FormatInvoiceDate(date) : QString();
    const QByteArray updated = WithPayment(bytes, dateText, FormatAmount(amount));
    if (!WriteFileAtomically(filePath, updated))
        throw FileError(QStringLiteral("Soubor „%1“ nelze zapsat.").arg(filePath));
}

} // namespace tarvela
