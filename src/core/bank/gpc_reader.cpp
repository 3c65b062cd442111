// GPC/ABO, the fixed-width text statement of the Czech banks: one 128-character record a line in
// Windows-1250. "074" opens the statement of one account (a file may hold several), "075" is one
// movement; "076", "078" and "079" carry more text of the movement before them (the message).
#include "bank/bank_statement.h"

#include "text/codec.h"
#include "text/helpers.h"

#include <QStringDecoder>

namespace tarvela {

namespace {

constexpr qsizetype kRecordLength = 128;
// Some banks leave off the spaces at the end of the header.
constexpr qsizetype kShortestHeader = 114;

class GpcReader {
public:
    GpcReader(const QString& name) : name_(name) {}

    BankStatement Read(const QByteArray& bytes) {
        BankStatement statement;
        statement.Soubor = name_;
        statement.Format = QStringLiteral("GPC");
        qsizetype start = 0;
        int number = 0;
        while (start < bytes.size()) {
            qsizetype end = bytes.indexOf('\n', start);
            if (end < 0)
                end = bytes.size();
            QByteArray line = bytes.mid(start, end - start);
            start = end + 1;
            ++number;
            line_ = number;
            if (line.endsWith('\r'))
                line.chop(1);
            // A DOS end-of-file mark after the last record.
            if (line == "\x1A" && start >= bytes.size())
                break;
            if (line.trimmed().isEmpty())
                continue;
            ReadRecord(line, statement);
        }
        if (!headerSeen_)
            Fail(QStringLiteral("chybí záhlaví výpisu (záznam 074)"));
        return statement;
    }

private:
    [[noreturn]] void Fail(const QString& what) const {
        throw StatementError(
            QStringLiteral("Výpis „%1“, řádek %2: %3.").arg(name_).arg(line_).arg(what));
    }

    void CheckCodePage(const QByteArray& line) const {
        bool ascii = true;
        for (const char ch : line) {
            const auto c = static_cast<unsigned char>(ch);
            if (c < 0x20 || c == 0x7F)
                Fail(QStringLiteral("řádek obsahuje řídicí znak (bajt %1)").arg(c));
            if (c >= 0x80)
                ascii = false;
        }
        if (ascii)
            return;
        // A record that is longer in bytes than in characters of UTF-8 was saved in UTF-8.
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString asUtf8 = utf8(line);
        if (!utf8.hasError() && asUtf8.size() < line.size() && line.size() != kRecordLength)
            Fail(QStringLiteral("výpis je uložen v UTF-8, ne v kódové stránce Windows-1250"));
        for (const char ch : line) {
            const auto c = static_cast<unsigned char>(ch);
            if (c == 0x81 || c == 0x83 || c == 0x88 || c == 0x90 || c == 0x98)
                Fail(QStringLiteral("řádek není v kódové stránce Windows-1250"));
        }
    }

    // The digits of the field [from, from + length); fails naming the field otherwise.
    qint64 Number(const QByteArray& line, qsizetype from, qsizetype length,
                  const char* field) const {
        qint64 value = 0;
        for (qsizetype i = from; i < from + length; ++i) {
            const char c = line[i];
            if (c < '0' || c > '9')
                Fail(QStringLiteral("pole „%1“ (pozice %2 až %3) není číslo: „%4“")
                         .arg(QString::fromUtf8(field))
                         .arg(from + 1)
                         .arg(from + length)
                         .arg(DecodeCp1250(line.mid(from, length))));
            value = value * 10 + (c - '0');
        }
        return value;
    }

    QDate Date(const QByteArray& line, qsizetype from, const char* field,
               bool zeroAllowed = false) const {
        const qint64 ddmmyy = Number(line, from, 6, field);
        if (ddmmyy == 0 && zeroAllowed)
            return {};
        const QDate date(2000 + static_cast<int>(ddmmyy % 100),
                         static_cast<int>(ddmmyy / 100 % 100), static_cast<int>(ddmmyy / 10000));
        if (!date.isValid())
            Fail(QStringLiteral("pole „%1“ není platné datum: „%2“")
                     .arg(QString::fromUtf8(field))
                     .arg(QString::fromLatin1(line.mid(from, 6))));
        return date;
    }

    void Sign(const QByteArray& line, qsizetype at) const {
        const char c = line[at];
        if (c != '+' && c != '-' && c != '0' && c != ' ')
            Fail(QStringLiteral("znaménko zůstatku na pozici %1 není „+“ ani „-“").arg(at + 1));
    }

    static QString Account(const QByteArray& digits, const QString& bank) {
        const QString prefix = NormalizedSymbol(QString::fromLatin1(digits.left(6)));
        const QString base = NormalizedSymbol(QString::fromLatin1(digits.mid(6)));
        if (prefix.isEmpty() && base.isEmpty())
            return {};
        QString account = prefix.isEmpty() ? base : prefix + QLatin1Char('-') + base;
        if (!bank.isEmpty())
            account += QLatin1Char('/') + bank;
        return account;
    }

    void ReadRecord(const QByteArray& line, BankStatement& statement) {
        CheckCodePage(line);
        if (line.size() > kRecordLength)
            Fail(QStringLiteral("záznam má %1 znaků, smí mít nejvýše %2")
                     .arg(line.size())
                     .arg(kRecordLength));
        const QByteArray code = line.left(3);
        if (code == "074")
            ReadHeader(line);
        else if (code == "075")
            ReadItem(line, statement);
        else if (code == "076" || code == "078" || code == "079")
            ReadMore(line, statement);
        else
            Fail(QStringLiteral("neznámý druh záznamu „%1“").arg(DecodeCp1250(code)));
    }

    void ReadHeader(QByteArray line) {
        if (line.size() < kShortestHeader)
            Fail(QStringLiteral("záhlaví výpisu má %1 znaků, má jich mít %2")
                     .arg(line.size())
                     .arg(kRecordLength));
        line = line.leftJustified(kRecordLength, ' ');
        Number(line, 3, 16, "číslo účtu");
        account_ = Account(line.mid(3, 16), {});
        Date(line, 39, "datum starého zůstatku");
        Number(line, 45, 14, "starý zůstatek");
        Sign(line, 59);
        Number(line, 60, 14, "nový zůstatek");
        Sign(line, 74);
        Number(line, 75, 14, "obrat debet");
        Sign(line, 89);
        Number(line, 90, 14, "obrat kredit");
        Sign(line, 104);
        Number(line, 105, 3, "pořadové číslo výpisu");
        Date(line, 108, "datum výpisu");
        headerSeen_ = true;
        last_ = nullptr;
    }

    void ReadItem(const QByteArray& line, BankStatement& statement) {
        if (!headerSeen_)
            Fail(QStringLiteral("položka výpisu (záznam 075) před záhlavím (záznam 074)"));
        if (line.size() != kRecordLength)
            Fail(QStringLiteral("záznam má %1 znaků, má jich mít %2")
                     .arg(line.size())
                     .arg(kRecordLength));
        BankPayment payment;
        payment.Radek = line_;
        payment.Ucet = account_;
        Number(line, 3, 16, "číslo účtu");
        Number(line, 19, 16, "číslo protiúčtu");
        const qint64 reference = Number(line, 35, 13, "číslo dokladu");
        payment.Halere = Number(line, 48, 12, "částka");
        const char code = line[60];
        const QString symbol = QString::fromLatin1(line.mid(61, 10));
        Number(line, 61, 10, "variabilní symbol");
        payment.Symbol = NormalizedSymbol(symbol);
        Number(line, 71, 10, "konstantní symbol");
        const QString bank = QString::fromLatin1(line.mid(73, 4));
        Number(line, 81, 10, "specifický symbol");
        const QDate valuta = Date(line, 91, "datum valuty", true);
        payment.Nazev = DecodeCp1250(line.mid(97, 20)).trimmed();
        const int currency = static_cast<int>(Number(line, 118, 4, "kód měny"));
        const QDate booked = Date(line, 122, "datum zaúčtování", true);
        payment.Datum = booked.isValid() ? booked : valuta;
        if (!payment.Datum.isValid())
            Fail(QStringLiteral("položka nemá datum zaúčtování ani valuty"));
        payment.Mena = currency == 0 ? QStringLiteral("CZK") : CurrencyOfNumber(currency);
        if (payment.Mena.isEmpty())
            Fail(
                QStringLiteral("neznámý kód měny „%1“").arg(QString::fromLatin1(line.mid(118, 4))));
        const bool noCounterAccount = line.mid(19, 16).count('0') == 16;
        payment.Protiucet =
            Account(line.mid(19, 16), bank.count(QLatin1Char('0')) == 4 ? QString() : bank);
        if (reference != 0)
            payment.Reference = QString::number(reference);
        const QString folded = StripDiacritics(payment.Nazev.toLower());
        const bool interest = folded.contains(QStringLiteral("urok"));
        switch (code) {
        case '1':
            payment.Druh = interest ? PaymentKind::Interest
                                    : (noCounterAccount ? PaymentKind::Fee : PaymentKind::Outgoing);
            break;
        case '2':
            payment.Druh =
                interest && noCounterAccount ? PaymentKind::Interest : PaymentKind::Incoming;
            break;
        case '4':
        case '5':
            payment.Druh = PaymentKind::Reversal;
            break;
        default:
            Fail(QStringLiteral("neznámý kód účtování „%1“ (pozice 61)")
                     .arg(DecodeCp1250(line.mid(60, 1))));
        }
        statement.Platby.push_back(payment);
        last_ = &statement.Platby.back();
    }

    void ReadMore(const QByteArray& line, BankStatement& statement) {
        (void)statement;
        if (!last_)
            Fail(QStringLiteral("doplňující záznam bez položky před ním"));
        const QString text = DecodeCp1250(line.mid(3)).simplified();
        if (text.isEmpty())
            return;
        if (!last_->Zprava.isEmpty())
            last_->Zprava += QLatin1Char(' ');
        last_->Zprava += text;
    }

    QString name_;
    int line_ = 0;
    bool headerSeen_ = false;
    QString account_;
    BankPayment* last_ = nullptr;
};

} // namespace

BankStatement ReadGpcStatement(const QByteArray& bytes, const QString& name) {
    GpcReader reader(name);
    return reader.Read(bytes);
}

} // namespace tarvela
