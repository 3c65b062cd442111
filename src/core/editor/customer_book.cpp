#include "editor/customer_book.h"

#include "editor/invoice_list.h"
#include "invoice/file_lines.h"
#include "invoice/invoice_store.h"
#include "text/amount_text.h"
#include "text/dates.h"
#include "text/errors.h"
#include "text/helpers.h"

#include <QDir>

#include <algorithm>
#include <tuple>

namespace tarvela {

namespace {

QString Folded(const QString& text) {
    return StripDiacritics(text.toLower());
}

QString WithoutSpaces(const QString& text) {
    QString kept = text;
    kept.remove(QLatin1Char(' '));
    return kept;
}

bool Newer(const QDate& issued, int year, const QString& fileName, const CustomerEntry& than) {
    const qint64 a = issued.isValid() ? issued.toJulianDay() : 0;
    const qint64 b = than.PosledniFaktura.isValid() ? than.PosledniFaktura.toJulianDay() : 0;
    return std::tie(a, year, fileName) > std::tie(b, than.Year, than.FileName);
}

} // namespace

bool ReadInvoiceCustomer(const QByteArray& bytes, CustomerFields& fields, QDate& issued) {
    // Only the first 18 lines are needed: find where line 18 ends and decode that much.
    qsizetype pos = 0;
    int ended = 0;
    const qsizetype size = bytes.size();
    while (pos < size && ended < 18) {
        const char c = bytes[pos];
        if (c == '\r') {
            ++ended;
            if (pos + 1 < size && bytes[pos + 1] == '\n')
                ++pos;
        } else if (c == '\n') {
            ++ended;
        }
        ++pos;
    }
    const FileLines lines = FileLines::FromBytes(bytes.left(pos));
    issued = QDate();
    try {
        const QDate date = ParseInvoiceDate(lines.line(8));
        if (date != ZeroDate())
            issued = date;
    } catch (const ConversionError&) {
    }
    bool any = false;
    for (int i = 0; i < kCustomerFieldCount; ++i) {
        fields[static_cast<size_t>(i)] = lines.line(10 + i);
        any = any || !TrimText(fields[static_cast<size_t>(i)]).isEmpty();
    }
    return any;
}

QString CustomerMergeKey(const CustomerFields& fields) {
    const QString code = TrimText(fields[kKod]);
    if (!code.isEmpty())
        return QStringLiteral("K:") + code;
    const QString ic = WithoutSpaces(TrimText(fields[kIC]));
    if (!ic.isEmpty())
        return QStringLiteral("I:") + ic;
    const QString name = TrimText(fields[kNazev1]).toLower();
    if (!name.isEmpty())
        return QStringLiteral("N:") + name;
    return {};
}

void CustomerBookBuilder::add(const CustomerFields& fields, const QDate& issued, int year,
                              const QString& fileName) {
    const QString key = CustomerMergeKey(fields);
    if (key.isEmpty())
        return;
    const auto found = index_.constFind(key);
    if (found == index_.constEnd()) {
        index_.insert(key, entries_.size());
        entries_.push_back({fields, 1, issued, year, fileName});
        return;
    }
    CustomerEntry& entry = entries_[found.value()];
    ++entry.PocetFaktur;
    if (Newer(issued, year, fileName, entry)) {
        entry.Fields = fields;
        entry.PosledniFaktura = issued;
        entry.Year = year;
        entry.FileName = fileName;
    }
}

std::vector<CustomerEntry> CustomerBookBuilder::take() {
    std::vector<CustomerEntry> entries = std::move(entries_);
    entries_.clear();
    index_.clear();
    std::stable_sort(
        entries.begin(), entries.end(), [](const CustomerEntry& a, const CustomerEntry& b) {
            return QString::localeAwareCompare(a.Fields[kNazev1], b.Fields[kNazev1]) < 0;
        });
    return entries;
}

void CustomerBookBuilder::addFile(const QString& folder, const QString& fileName, int year) {
    CustomerFields fields;
    QDate issued;
    try {
        const QByteArray bytes = ReadWholeFile(folder + QDir::separator() + fileName);
        if (ReadInvoiceCustomer(bytes, fields, issued))
            add(fields, issued, year, fileName);
    } catch (const FileError&) {
        // a file that vanished since the listing adds no customer
    }
}

std::vector<CustomerEntry> ReadCustomerBook(const InvoiceStore& store,
                                            const std::function<void()>& afterEach) {
    CustomerBookBuilder builder;
    for (const QString& period : store.ListPeriodFolders()) {
        const int year = period.toInt();
        const QString folder = store.PeriodFolder(year);
        for (const QString& name : ListInvoiceFileNames(folder)) {
            builder.addFile(folder, name, year);
            if (afterEach)
                afterEach();
        }
    }
    return builder.take();
}

bool MatchesCustomerSearch(const CustomerEntry& entry, const QString& text) {
    const QString needle = Folded(text.trimmed());
    if (needle.isEmpty())
        return true;
    for (const int field : {kNazev1, kNazev2, kIC, kMesto}) {
        if (Folded(entry.Fields[static_cast<size_t>(field)]).contains(needle))
            return true;
    }
    return false;
}

bool IsValidIC(const QString& ic) {
    const QString digits = WithoutSpaces(ic);
    if (digits.size() != 8 || !IsDigitsOnly(digits))
        return false;
    int sum = 0;
    for (int i = 0; i < 7; ++i)
        sum += (digits[i].unicode() - '0') * (8 - i);
    const int check = (11 - sum % 11) % 10;
    return digits[7].unicode() - '0' == check;
}

bool IsValidDIC(const QString& dic) {
    const QString text = WithoutSpaces(dic);
    if (!text.startsWith(QLatin1String("CZ")))
        return false;
    const QString digits = text.mid(2);
    return digits.size() >= 8 && digits.size() <= 10 && IsDigitsOnly(digits);
}

QString ICWarning(const QString& ic) {
    if (TrimText(ic).isEmpty() || IsValidIC(ic))
        return {};
    return QStringLiteral("IČ „%1“ není platné: IČ má 8 číslic a poslední z nich musí odpovídat "
                          "kontrolnímu součtu.")
        .arg(TrimText(ic));
}

QString DICWarning(const QString& dic) {
    if (TrimText(dic).isEmpty() || IsValidDIC(dic))
        return {};
    return QStringLiteral("DIČ „%1“ nemá platný tvar: DIČ je „CZ“ a 8 až 10 číslic.")
        .arg(TrimText(dic));
}

} // namespace tarvela
