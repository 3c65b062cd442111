#include "bank/payment_matching.h"

#include "printing/money.h"

#include <QHash>

#include <cmath>

namespace tarvela {

namespace {

// The numbers of a message that may be symbols or invoice numbers: runs of 3 to 10 digits.
QStringList NumbersIn(const QString& text) {
    QStringList numbers;
    qsizetype start = -1;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const bool digit = i < text.size() && text[i] >= u'0' && text[i] <= u'9';
        if (digit && start < 0)
            start = i;
        if (!digit && start >= 0) {
            const qsizetype length = i - start;
            if (length >= 3 && length <= 10) {
                const QString symbol = NormalizedSymbol(text.mid(start, length));
                if (!symbol.isEmpty())
                    numbers.append(symbol);
            }
            start = -1;
        }
    }
    return numbers;
}

std::vector<int> Lookup(const std::multimap<QString, int>& map, const QString& key) {
    std::vector<int> found;
    const auto [from, to] = map.equal_range(key);
    for (auto it = from; it != to; ++it)
        found.push_back(it->second);
    return found;
}

} // namespace

QString MatchRuleText(MatchRule rule) {
    switch (rule) {
    case MatchRule::None:
        return {};
    case MatchRule::Symbol:
        return QStringLiteral("podle VS");
    case MatchRule::Number:
        return QStringLiteral("podle čísla faktury");
    case MatchRule::Message:
        return QStringLiteral("podle zprávy");
    case MatchRule::Manual:
        return QStringLiteral("ručně");
    }
    return {};
}

qint64 TotalHalere(const BookEntry& entry) {
    return entry.Celkem;
}

qint64 PaidHalere(const BookEntry& entry) {
    return PaidAmount(entry);
}

QString PaidStatusText(qint64 total, qint64 paid, const QString& currency) {
    if (paid == total)
        return QStringLiteral("Uhrazeno");
    if (paid < total)
        return QStringLiteral("Částečně uhrazeno");
    const QString unit = currency == QLatin1String("CZK") ? QStringLiteral("Kč") : currency;
    return QStringLiteral("Přeplatek %1 %2").arg(FormatHalere(paid - total), unit);
}

PaymentReview::PaymentReview(std::vector<BookEntry> book, bool symbolIsVariable)
    : book_(std::move(book)), symbolIsVariable_(symbolIsVariable) {
    for (int i = 0; i < static_cast<int>(book_.size()); ++i) {
        if (symbolIsVariable_) {
            const QString symbol = NormalizedSymbol(book_[i].Symbol);
            if (!symbol.isEmpty())
                bySymbol_.emplace(symbol, i);
        }
        const QString number = NormalizedSymbol(book_[i].Cislo);
        if (!number.isEmpty())
            byNumber_.emplace(number, i);
    }
}

bool PaymentReview::IsMatchable(const ReviewRow& row) {
    return row.Platba.Druh == PaymentKind::Incoming && !row.UzZapsano && row.Platba.Halere > 0;
}

void PaymentReview::AddStatement(const BankStatement& statement,
                                 const std::function<bool(const QString&)>& alreadyWritten) {
    // What the invoices have been paid, with the payments matched so far in this import.
    std::vector<qint64> paid(book_.size());
    for (size_t i = 0; i < book_.size(); ++i)
        paid[i] = PaidHalere(book_[i]);
    for (const ReviewRow& row : rows_)
        if (row.Zapsat && row.Faktura >= 0)
            paid[static_cast<size_t>(row.Faktura)] += row.Platba.Halere;

    // Two movements alike in everything (the same amount from the same account on the same day,
    // without a bank reference) are told apart by their order.
    QHash<QString, int> seen;
    for (const ReviewRow& row : rows_)
        seen[row.Identita.section(QLatin1Char('#'), 0, 0)] += 1;
    for (const BankPayment& payment : statement.Platby) {
        ReviewRow row;
        row.Platba = payment;
        const QString identity = PaymentIdentity(payment);
        const int n = ++seen[identity];
        row.Identita = n == 1 ? identity : identity + QLatin1Char('#') + QString::number(n);
        row.UzZapsano = alreadyWritten && alreadyWritten(row.Identita);
        if (IsMatchable(row))
            Match(row, paid);
        rows_.push_back(row);
    }
    Recompute();
}

int PaymentReview::Choose(const std::vector<int>& invoices, const ReviewRow& row,
                          const std::vector<qint64>& paid, QString& note) const {
    int best = -1;
    qint64 bestRest = 0;
    for (const int i : invoices) {
        const BookEntry& entry = book_[static_cast<size_t>(i)];
        if (entry.Mena != row.Platba.Mena) {
            if (note.isEmpty())
                note = QStringLiteral("Faktura %1 je v měně %2").arg(entry.Cislo, entry.Mena);
            continue;
        }
        const qint64 rest = TotalHalere(entry) - paid[static_cast<size_t>(i)];
        if (rest <= 0) {
            note = QStringLiteral("Faktura %1 je již uhrazena").arg(entry.Cislo);
            continue;
        }
        if (best < 0) {
            best = i;
            bestRest = rest;
            continue;
        }
        const BookEntry& other = book_[static_cast<size_t>(best)];
        const bool exact = rest == row.Platba.Halere;
        const bool bestExact = bestRest == row.Platba.Halere;
        const QDate due = entry.Splatnost.isValid() ? entry.Splatnost : QDate(9999, 12, 31);
        const QDate bestDue = other.Splatnost.isValid() ? other.Splatnost : QDate(9999, 12, 31);
        if ((exact && !bestExact) || (exact == bestExact && due < bestDue)) {
            best = i;
            bestRest = rest;
        }
    }
    if (best >= 0)
        note.clear();
    return best;
}

void PaymentReview::Match(ReviewRow& row, std::vector<qint64>& paid) const {
    QString note;
    const auto tryKey = [&](const QString& key, MatchRule viaMessage) {
        if (key.isEmpty())
            return false;
        const auto attempt = [&](const std::multimap<QString, int>& map, MatchRule rule) {
            const std::vector<int> invoices = Lookup(map, key);
            if (invoices.empty())
                return false;
            const int chosen = Choose(invoices, row, paid, note);
            if (chosen < 0)
                return false;
            row.Faktura = chosen;
            row.Pravidlo = viaMessage == MatchRule::Message ? MatchRule::Message : rule;
            return true;
        };
        return attempt(bySymbol_, MatchRule::Symbol) || attempt(byNumber_, MatchRule::Number);
    };
    bool found = false;
    if (!row.Platba.Symbol.isEmpty()) {
        found = tryKey(row.Platba.Symbol, MatchRule::None);
    } else {
        for (const QString& number : NumbersIn(row.Platba.Zprava))
            if ((found = tryKey(number, MatchRule::Message)))
                break;
    }
    if (found) {
        row.Zapsat = true;
        paid[static_cast<size_t>(row.Faktura)] += row.Platba.Halere;
        return;
    }
    if (note.isEmpty())
        note = row.Platba.Symbol.isEmpty() ? QStringLiteral("Platba nemá variabilní symbol")
                                           : QStringLiteral("Žádná neuhrazená faktura s tímto "
                                                            "symbolem");
    row.Duvod = note;
}

void PaymentReview::Recompute() {
    std::vector<qint64> paid(book_.size());
    std::vector<int> count(book_.size());
    for (size_t i = 0; i < book_.size(); ++i)
        paid[i] = PaidHalere(book_[i]);
    for (const ReviewRow& row : rows_)
        if (row.Zapsat && row.Faktura >= 0)
            ++count[static_cast<size_t>(row.Faktura)];
    for (ReviewRow& row : rows_) {
        row.Dvakrat = false;
        row.Poznamka = row.Faktura < 0 ? row.Duvod : QString();
        if (!IsMatchable(row)) {
            row.Stav = row.UzZapsano ? QStringLiteral("Již zapsáno") : QString();
            continue;
        }
        if (row.Faktura < 0) {
            row.Stav = QStringLiteral("Nespárováno");
            continue;
        }
        const auto invoice = static_cast<size_t>(row.Faktura);
        const BookEntry& entry = book_[invoice];
        if (!row.Zapsat) {
            row.Stav = QStringLiteral("Vynecháno");
            continue;
        }
        paid[invoice] += row.Platba.Halere;
        row.UhrazenoPo = paid[invoice];
        row.Stav = PaidStatusText(TotalHalere(entry), paid[invoice], entry.Mena);
        row.Dvakrat = count[invoice] > 1;
        if (row.Dvakrat)
            row.Poznamka =
                QStringLiteral("Faktura %1 je spárována s více platbami").arg(entry.Cislo);
    }
}

bool PaymentReview::SetInvoice(size_t row, int invoice) {
    if (row >= rows_.size() || !IsMatchable(rows_[row]) ||
        invoice >= static_cast<int>(book_.size()))
        return false;
    if (invoice >= 0 && book_[static_cast<size_t>(invoice)].Mena != rows_[row].Platba.Mena)
        return false;
    ReviewRow& r = rows_[row];
    r.Faktura = invoice < 0 ? -1 : invoice;
    r.Pravidlo = invoice < 0 ? MatchRule::None : MatchRule::Manual;
    r.Zapsat = invoice >= 0;
    if (invoice < 0)
        r.Duvod = QStringLiteral("Párování zrušeno");
    Recompute();
    return true;
}

void PaymentReview::SetIncluded(size_t row, bool included) {
    if (row >= rows_.size() || rows_[row].Faktura < 0 || !IsMatchable(rows_[row]))
        return;
    rows_[row].Zapsat = included;
    Recompute();
}

std::vector<int> PaymentReview::Candidates(size_t row) const {
    std::vector<int> candidates;
    if (row >= rows_.size() || !IsMatchable(rows_[row]))
        return candidates;
    const ReviewRow& r = rows_[row];
    for (int i = 0; i < static_cast<int>(book_.size()); ++i) {
        const BookEntry& entry = book_[static_cast<size_t>(i)];
        if (i == r.Faktura ||
            (entry.Mena == r.Platba.Mena && PaidHalere(entry) < TotalHalere(entry)))
            candidates.push_back(i);
    }
    return candidates;
}

std::vector<InvoicePayment> PaymentReview::Writes() const {
    std::vector<InvoicePayment> writes;
    std::map<int, size_t> at;
    for (const ReviewRow& row : rows_) {
        if (!row.Zapsat || row.Faktura < 0 || !IsMatchable(row))
            continue;
        auto [it, added] = at.emplace(row.Faktura, writes.size());
        if (added) {
            const BookEntry& entry = book_[static_cast<size_t>(row.Faktura)];
            writes.push_back(
                {entry.FilePath, entry.Cislo, row.Platba.Datum, PaidHalere(entry), {}});
        }
        InvoicePayment& write = writes[it->second];
        write.UhrazenoCelkem += row.Platba.Halere;
        if (row.Platba.Datum > write.Datum)
            write.Datum = row.Platba.Datum;
        write.Identity.append(row.Identita);
    }
    return writes;
}

} // namespace tarvela
