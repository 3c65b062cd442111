// ISO 20022 CAMT.053, the XML statement of the Czech Banking Association's standard
// (camt.053.001.02 and later). Read as a stream: one movement per <Ntry>, its details from the
// entry's first <TxDtls>. A document type declaration is refused before anything in it is
// looked at, so no entity is ever expanded and nothing is fetched.
#include "bank/bank_statement.h"

#include <QHash>
#include <QRegularExpression>
#include <QXmlStreamReader>

namespace tarvela {

namespace {

constexpr int kMaxDepth = 48;
constexpr qsizetype kMaxText = 4096;

// What an entry says, by the path of the element below <Ntry>.
struct Entry {
    QHash<QString, QString> values;
    QStringList messages;
    int line = 0;
};

class CamtReader {
public:
    CamtReader(const QByteArray& bytes, const QString& name) : xml_(bytes), name_(name) {}

    BankStatement Read() {
        BankStatement statement;
        statement.Soubor = name_;
        statement.Format = QStringLiteral("CAMT.053");
        QStringList path;
        QString account;
        QString accountCurrency;
        Entry entry;
        qsizetype entryDepth = -1;
        while (!xml_.atEnd()) {
            const QXmlStreamReader::TokenType token = xml_.readNext();
            switch (token) {
            case QXmlStreamReader::DTD:
                Fail(path, QStringLiteral("dokument obsahuje deklaraci typu dokumentu (DTD); "
                                          "výpis s DTD ani s entitami program nečte"));
            case QXmlStreamReader::EntityReference:
                Fail(path, QStringLiteral("dokument obsahuje entitu „%1“; výpis s entitami "
                                          "program nečte")
                               .arg(xml_.name().toString()));
            case QXmlStreamReader::StartElement: {
                const QString local = xml_.name().toString();
                if (path.isEmpty())
                    CheckRoot(local);
                path.append(local);
                if (path.size() > kMaxDepth)
                    Fail(path, QStringLiteral("prvky jsou vnořeny příliš hluboko"));
                if (local == QLatin1String("Ntry") && entryDepth < 0 && path.size() == 4) {
                    entryDepth = path.size();
                    entry = Entry{};
                    entry.line = static_cast<int>(xml_.lineNumber());
                    break;
                }
                if (entryDepth < 0) {
                    const QString where = path.mid(2).join(QLatin1Char('/'));
                    if (where == QLatin1String("Stmt/Acct/Id/IBAN") ||
                        where == QLatin1String("Stmt/Acct/Id/Othr/Id"))
                        account = Text(path);
                    else if (where == QLatin1String("Stmt/Acct/Ccy"))
                        accountCurrency = Text(path);
                    else
                        break;
                    path.removeLast();
                    break;
                }
                const QString relative = path.mid(entryDepth).join(QLatin1Char('/'));
                if (IsLeaf(relative)) {
                    if (relative == QLatin1String("Amt"))
                        entry.values.insert(
                            QStringLiteral("Amt@Ccy"),
                            xml_.attributes().value(QLatin1String("Ccy")).toString());
                    const QString text = Text(path);
                    if (relative.endsWith(QLatin1String("RmtInf/Ustrd")))
                        entry.messages.append(text.simplified());
                    else if (!entry.values.contains(relative))
                        entry.values.insert(relative, text.trimmed());
                    path.removeLast();
                }
                break;
            }
            case QXmlStreamReader::EndElement:
                if (path.size() == entryDepth) {
                    statement.Platby.push_back(Payment(entry, path, account, accountCurrency));
                    entryDepth = -1;
                }
                if (!path.isEmpty())
                    path.removeLast();
                break;
            default:
                break;
            }
        }
        if (xml_.hasError())
            Fail(path, QStringLiteral("dokument není platné XML (%1)").arg(xml_.errorString()));
        if (!rootSeen_)
            Fail(path, QStringLiteral("dokument neobsahuje výpis"));
        return statement;
    }

private:
    [[noreturn]] void Fail(const QStringList& path, const QString& what) const {
        const QString element = path.isEmpty() ? QString() : path.join(QLatin1Char('/'));
        if (element.isEmpty())
            throw StatementError(QStringLiteral("Výpis „%1“, řádek %2: %3.")
                                     .arg(name_)
                                     .arg(xml_.lineNumber())
                                     .arg(what));
        throw StatementError(QStringLiteral("Výpis „%1“, prvek %2 (řádek %3): %4.")
                                 .arg(name_, element)
                                 .arg(xml_.lineNumber())
                                 .arg(what));
    }

    void CheckRoot(const QString& local) {
        const QString ns = xml_.namespaceUri().toString();
        static const QRegularExpression version(
            QStringLiteral("^urn:iso:std:iso:20022:tech:xsd:camt\\.053\\.001\\.(\\d\\d)$"));
        const QRegularExpressionMatch match = version.match(ns);
        if (local != QLatin1String("Document") || !match.hasMatch() ||
            match.captured(1).toInt() < 2)
            Fail({local}, QStringLiteral("dokument není výpis CAMT.053 verze 001.02 nebo novější "
                                         "(obor názvů „%1“)")
                              .arg(ns));
        rootSeen_ = true;
    }

    // The text of a leaf element, bounded.
    QString Text(const QStringList& path) {
        const QString text = xml_.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
        if (xml_.error() == QXmlStreamReader::UnexpectedElementError)
            Fail(path, QStringLiteral("prvek má obsahovat jen text"));
        if (xml_.hasError())
            Fail(path, QStringLiteral("dokument není platné XML (%1)").arg(xml_.errorString()));
        if (text.size() > kMaxText)
            Fail(path, QStringLiteral("text prvku je delší než %1 znaků").arg(kMaxText));
        return text;
    }

    static bool IsLeaf(const QString& relative) {
        static const QStringList leaves = {
            QStringLiteral("Amt"),
            QStringLiteral("CdtDbtInd"),
            QStringLiteral("RvslInd"),
            QStringLiteral("NtryRef"),
            QStringLiteral("AcctSvcrRef"),
            QStringLiteral("BookgDt/Dt"),
            QStringLiteral("BookgDt/DtTm"),
            QStringLiteral("ValDt/Dt"),
            QStringLiteral("ValDt/DtTm"),
            QStringLiteral("BkTxCd/Domn/Cd"),
            QStringLiteral("BkTxCd/Domn/Fmly/Cd"),
            QStringLiteral("BkTxCd/Domn/Fmly/SubFmlyCd"),
            QStringLiteral("BkTxCd/Prtry/Cd"),
        };
        if (leaves.contains(relative))
            return true;
        static const QRegularExpression details(QStringLiteral(
            "^NtryDtls/TxDtls/("
            "Refs/(EndToEndId|InstrId|AcctSvcrRef|TxId)|"
            "RmtInf/Ustrd|RmtInf/Strd/CdtrRefInf/Ref|"
            "RltdPties/(Dbtr|Cdtr)(/Pty)?/Nm|"
            "RltdPties/(DbtrAcct|CdtrAcct)/Id/(IBAN|Othr/Id)|"
            "RltdAgts/(DbtrAgt|CdtrAgt)/FinInstnId/(BIC|BICFI|ClrSysMmbId/MmbId|Othr/Id))$"));
        return details.match(relative).hasMatch();
    }

    qint64 Amount(const QString& text, const QStringList& at) const {
        static const QRegularExpression form(QStringLiteral("^(\\d{1,15})(?:\\.(\\d+))?$"));
        const QRegularExpressionMatch match = form.match(text);
        if (!match.hasMatch())
            Fail(at, QStringLiteral("částka „%1“ není číslo").arg(text.left(40)));
        const QString decimals = match.captured(2);
        if (decimals.size() > 2)
            Fail(at, QStringLiteral("částka „%1“ má víc než dvě desetinná místa").arg(text));
        return match.captured(1).toLongLong() * 100 +
               (decimals.leftJustified(2, QLatin1Char('0'))).toLongLong();
    }

    QDate DateOf(const QString& text) const {
        return QDate::fromString(text.left(10), Qt::ISODate);
    }

    static QString SymbolIn(const QString& text) {
        static const QRegularExpression vs(QStringLiteral("VS[:/ ]?\\s*(\\d{1,10})(?!\\d)"),
                                           QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch match = vs.match(text);
        return match.hasMatch() ? NormalizedSymbol(match.captured(1)) : QString();
    }

    BankPayment Payment(const Entry& entry, QStringList path, const QString& account,
                        const QString& accountCurrency) const {
        const auto value = [&entry](const char* key) {
            return entry.values.value(QString::fromLatin1(key));
        };
        const auto failAt = [&](const char* leaf, const QString& what) {
            path.append(QString::fromLatin1(leaf).split(QLatin1Char('/')));
            Fail(path, what);
        };
        BankPayment payment;
        payment.Radek = entry.line;
        payment.Ucet = account;
        if (!entry.values.contains(QStringLiteral("Amt")))
            failAt("Amt", QStringLiteral("položka nemá částku"));
        QStringList amountPath = path;
        amountPath.append(QStringLiteral("Amt"));
        payment.Halere = Amount(value("Amt"), amountPath);
        payment.Mena = value("Amt@Ccy").trimmed();
        if (payment.Mena.isEmpty())
            payment.Mena = accountCurrency;
        static const QRegularExpression currency(QStringLiteral("^[A-Z]{3}$"));
        if (!currency.match(payment.Mena).hasMatch())
            failAt("Amt", QStringLiteral("měna „%1“ není kód měny").arg(payment.Mena.left(20)));
        const QString direction = value("CdtDbtInd");
        if (direction != QLatin1String("CRDT") && direction != QLatin1String("DBIT"))
            failAt("CdtDbtInd",
                   QStringLiteral("směr „%1“ není CRDT ani DBIT").arg(direction.left(20)));
        QString dateText = value("BookgDt/Dt");
        for (const char* key : {"BookgDt/DtTm", "ValDt/Dt", "ValDt/DtTm"})
            if (dateText.isEmpty())
                dateText = value(key);
        payment.Datum = DateOf(dateText);
        if (!payment.Datum.isValid())
            failAt("BookgDt/Dt", QStringLiteral("datum „%1“ není platné").arg(dateText.left(30)));

        const bool credit = direction == QLatin1String("CRDT");
        const QString party = credit ? QStringLiteral("Dbtr") : QStringLiteral("Cdtr");
        const QString details = QStringLiteral("NtryDtls/TxDtls/");
        payment.Nazev = entry.values.value(details + QStringLiteral("RltdPties/") + party +
                                           QStringLiteral("/Nm"));
        if (payment.Nazev.isEmpty())
            payment.Nazev = entry.values.value(details + QStringLiteral("RltdPties/") + party +
                                               QStringLiteral("/Pty/Nm"));
        const QString accountKey =
            details + QStringLiteral("RltdPties/") + party + QStringLiteral("Acct/Id/");
        payment.Protiucet = entry.values.value(accountKey + QStringLiteral("IBAN"));
        if (payment.Protiucet.isEmpty()) {
            payment.Protiucet = entry.values.value(accountKey + QStringLiteral("Othr/Id"));
            const QString agent =
                details + QStringLiteral("RltdAgts/") + party + QStringLiteral("Agt/FinInstnId/");
            QString bank = entry.values.value(agent + QStringLiteral("ClrSysMmbId/MmbId"));
            if (bank.isEmpty())
                bank = entry.values.value(agent + QStringLiteral("Othr/Id"));
            if (!payment.Protiucet.isEmpty() && !bank.isEmpty() &&
                !payment.Protiucet.contains(QLatin1Char('/')))
                payment.Protiucet += QLatin1Char('/') + bank;
        }
        payment.Zprava = entry.messages.join(QLatin1Char(' '));

        // The variable symbol: the creditor's reference, else the end-to-end reference in the
        // Czech banks' form "/VS123/SS456/KS0308".
        const QString reference = value("NtryDtls/TxDtls/RmtInf/Strd/CdtrRefInf/Ref");
        payment.Symbol = NormalizedSymbol(reference);
        if (payment.Symbol.isEmpty())
            payment.Symbol = SymbolIn(reference);
        if (payment.Symbol.isEmpty())
            payment.Symbol = SymbolIn(value("NtryDtls/TxDtls/Refs/EndToEndId"));

        payment.Reference = value("AcctSvcrRef");
        if (payment.Reference.isEmpty())
            payment.Reference = value("NtryDtls/TxDtls/Refs/AcctSvcrRef");
        if (payment.Reference.isEmpty())
            payment.Reference = value("NtryRef");

        const QString family = value("BkTxCd/Domn/Fmly/Cd");
        const QString subFamily = value("BkTxCd/Domn/Fmly/SubFmlyCd");
        const QString reversal = value("RvslInd");
        if (reversal == QLatin1String("true") || reversal == QLatin1String("1"))
            payment.Druh = PaymentKind::Reversal;
        else if (subFamily == QLatin1String("CHRG") || subFamily == QLatin1String("COMM") ||
                 subFamily == QLatin1String("FEES") || family == QLatin1String("CHRG"))
            payment.Druh = PaymentKind::Fee;
        else if (subFamily == QLatin1String("INTR") || family == QLatin1String("INTR"))
            payment.Druh = PaymentKind::Interest;
        else
            payment.Druh = credit ? PaymentKind::Incoming : PaymentKind::Outgoing;
        return payment;
    }

    QXmlStreamReader xml_;
    QString name_;
    bool rootSeen_ = false;
};

} // namespace

BankStatement ReadCamtStatement(const QByteArray& bytes, const QString& name) {
    CamtReader reader(bytes, name);
    return reader.Read();
}

} // namespace tarvela
