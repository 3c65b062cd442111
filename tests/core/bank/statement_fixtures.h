#pragma once

// Statements as the banks write them, built field by field from the published layouts.

#include "text/codec.h"

#include <QByteArray>
#include <QString>

namespace tarvela::test {

// A GPC field: the digits right-aligned with zeros, or the text left-aligned with spaces.
inline QByteArray Digits(qint64 value, int width) {
    return QByteArray::number(value).rightJustified(width, '0');
}
inline QByteArray Text(const QString& text, int width) {
    return EncodeCp1250(text).leftJustified(width, ' ', true);
}

// The header record 074. `sign` is what the bank writes for a positive balance ('+' or '0').
inline QByteArray GpcHeader(const QByteArray& account, const QString& name, char sign = '+',
                            bool trimmed = false) {
    QByteArray line = "074" + account.rightJustified(16, '0') + Text(name, 20) + "010326" +
                      Digits(1500000, 14) + sign + Digits(2500000, 14) + sign + Digits(100000, 14) +
                      sign + Digits(1100000, 14) + sign + "003" + "310326";
    if (!trimmed)
        line += QByteArray(14, ' ');
    return line;
}

struct GpcItem {
    QByteArray account = "2000145399";
    QByteArray counterAccount = "0000190000123457";
    qint64 reference = 1234567;
    qint64 halere = 121000;
    char code = '2';
    QByteArray symbol = "2026001";
    QByteArray bank = "0800";
    QByteArray constant = "0308";
    QString name = QStringLiteral("Řeznictví Šťastný");
    QByteArray currency = "0203";
    QByteArray booked = "050326";
};

inline QByteArray GpcItemLine(const GpcItem& i) {
    return "075" + i.account.rightJustified(16, '0') + i.counterAccount.rightJustified(16, '0') +
           Digits(i.reference, 13) + Digits(i.halere, 12) + i.code +
           i.symbol.rightJustified(10, '0') + "00" + i.bank + i.constant + Digits(0, 10) +
           i.booked + Text(i.name, 20) + "0" + i.currency + i.booked;
}

// One <Ntry> of a CAMT.053 statement.
struct CamtEntry {
    QString amount = QStringLiteral("1210.00");
    QString currency = QStringLiteral("CZK");
    QString direction = QStringLiteral("CRDT");
    QString booked = QStringLiteral("2026-03-05");
    QString reference = QStringLiteral("REF-0001");
    QString family = QStringLiteral("RCDT");
    QString subFamily = QStringLiteral("DMCT");
    QString endToEnd = QStringLiteral("/VS2026001/SS/KS0308");
    QString creditorRef;
    QString message = QStringLiteral("Faktura 2026001");
    QString name = QStringLiteral("Řeznictví Šťastný");
    QString iban = QStringLiteral("CZ6508000000192000145399");
    QString otherAccount;
    QString bank;
};

inline QString CamtEntryXml(const CamtEntry& e, int version) {
    const bool party = version >= 8; // 001.08 wraps the party's name in <Pty>
    const QString side =
        e.direction == QLatin1String("CRDT") ? QStringLiteral("Dbtr") : QStringLiteral("Cdtr");
    QString account = e.iban.isEmpty()
                          ? QStringLiteral("<Othr><Id>%1</Id></Othr>").arg(e.otherAccount)
                          : QStringLiteral("<IBAN>%1</IBAN>").arg(e.iban);
    QString agent = e.bank.isEmpty() ? QString()
                                     : QStringLiteral("<RltdAgts><%1Agt><FinInstnId><ClrSysMmbId>"
                                                      "<MmbId>%2</MmbId></ClrSysMmbId></FinInstnId>"
                                                      "</%1Agt></RltdAgts>")
                                           .arg(side, e.bank);
    const QString name = party ? QStringLiteral("<Pty><Nm>%1</Nm></Pty>").arg(e.name)
                               : QStringLiteral("<Nm>%1</Nm>").arg(e.name);
    const QString strd = e.creditorRef.isEmpty()
                             ? QString()
                             : QStringLiteral("<Strd><CdtrRefInf><Ref>%1</Ref></CdtrRefInf></Strd>")
                                   .arg(e.creditorRef);
    return QStringLiteral(
               "<Ntry><NtryRef>%1</NtryRef><Amt Ccy=\"%2\">%3</Amt><CdtDbtInd>%4</CdtDbtInd>"
               "<Sts>BOOK</Sts><BookgDt><Dt>%5</Dt></BookgDt><ValDt><Dt>%5</Dt></ValDt>"
               "<AcctSvcrRef>%1</AcctSvcrRef><BkTxCd><Domn><Cd>PMNT</Cd><Fmly><Cd>%6</Cd>"
               "<SubFmlyCd>%7</SubFmlyCd></Fmly></Domn></BkTxCd>\n"
               "<NtryDtls><TxDtls><Refs><EndToEndId>%8</EndToEndId></Refs>"
               "<RltdPties><%9>%10</%9><%9Acct><Id>%11</Id></%9Acct></RltdPties>%12"
               "<RmtInf><Ustrd>%13</Ustrd>%14</RmtInf></TxDtls></NtryDtls></Ntry>\n")
        .arg(e.reference, e.currency, e.amount, e.direction, e.booked, e.family, e.subFamily,
             e.endToEnd, side)
        .arg(name, account, agent, e.message, strd);
}

inline QByteArray CamtStatement(const QString& entries, int version = 2,
                                const QString& prolog = QString()) {
    const QString ns = QStringLiteral("urn:iso:std:iso:20022:tech:xsd:camt.053.001.%1")
                           .arg(version, 2, 10, QLatin1Char('0'));
    return (QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n") + prolog +
            QStringLiteral("<Document xmlns=\"%1\"><BkToCstmrStmt><GrpHdr><MsgId>1</MsgId>"
                           "</GrpHdr>\n<Stmt><Id>S1</Id><Acct><Id><IBAN>CZ5503000000000123456789"
                           "</IBAN></Id><Ccy>CZK</Ccy></Acct>\n")
                .arg(ns) +
            entries + QStringLiteral("</Stmt></BkToCstmrStmt></Document>\n"))
        .toUtf8();
}

} // namespace tarvela::test
