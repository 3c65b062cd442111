#include "bank/imported_payments.h"

#include "invoice/file_lines.h"
#include "invoice/invoice_file.h"
#include "printing/money.h"
#include "text/codec.h"
#include "text/dates.h"
#include "text/errors.h"

#include <QDir>
#include <QFile>

namespace tarvela {

namespace {

const char kHeader[] = "# Tarvela: platby z výpisů z banky zapsané do faktur";
const char kDone[] = "zapsano";
const char kUnderWay[] = "zapisuje se";

QString RecordPath(const QString& programFolder) {
    return QDir(programFolder).filePath(QString::fromLatin1(kImportedPaymentsFileName));
}

} // namespace

void WritePaidAmount(const QString& invoicePath, const QDate& date, qint64 paidHalere) {
    MarkInvoicePaid(invoicePath, date, paidHalere);
}

QString ImportedPayments::AbsolutePath(const QString& invoice) const {
    return QDir::isAbsolutePath(invoice) ? invoice : QDir(programFolder_).filePath(invoice);
}

QString ImportedPayments::RelativePath(const QString& path) const {
    const QString relative = QDir(programFolder_).relativeFilePath(path);
    return relative.startsWith(QLatin1String("..")) ? path : relative;
}

QString ImportedPayments::InvoiceOf(const QString& identity) const {
    const auto it = entries_.find(identity);
    return it == entries_.end() ? QString() : AbsolutePath(it->second.invoice);
}

ImportedPayments ImportedPayments::Load(const QString& programFolder) {
    ImportedPayments record;
    record.programFolder_ = programFolder;
    const QString path = RecordPath(programFolder);
    if (!QFile::exists(path))
        return record;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxStatementSize * 4)
        throw FileError(QStringLiteral("Záznam zapsaných plateb „%1“ nelze přečíst.").arg(path));
    const FileLines lines = FileLines::FromBytes(file.readAll());
    for (int n = 1; n <= lines.count(); ++n) {
        const QString line = lines.line(n);
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList fields = line.split(QLatin1Char('\t'));
        const std::optional<qint64> paid =
            fields.size() == 5 ? ParseHalere(fields[4]) : std::nullopt;
        const bool done = fields.value(0) == QLatin1String(kDone);
        if (!paid || (!done && fields[0] != QLatin1String(kUnderWay)) || fields[1].isEmpty())
            throw FileError(QStringLiteral("Záznam zapsaných plateb „%1“ je poškozený (řádek %2).")
                                .arg(path)
                                .arg(n));
        record.entries_[fields[1]] = Entry{done, fields[2], fields[3], *paid};
    }
    if (record.Settle())
        record.Save();
    return record;
}

bool ImportedPayments::Settle() {
    bool settled = false;
    for (auto it = entries_.begin(); it != entries_.end();) {
        Entry& entry = it->second;
        if (entry.done) {
            ++it;
            continue;
        }
        settled = true;
        bool written = false;
        try {
            const FileLines lines =
                FileLines::FromBytes(ReadWholeFile(AbsolutePath(entry.invoice)));
            written = lines.line(47) == entry.date && ParseHalere(lines.line(49)) == entry.paid;
        } catch (const FileError&) {
            written = false;
        }
        if (written) {
            entry.done = true;
            ++it;
        } else {
            it = entries_.erase(it);
        }
    }
    return settled;
}

void ImportedPayments::Save() const {
    QByteArray out = EncodeCp1250(QString::fromUtf8(kHeader)) + "\r\n";
    for (const auto& [identity, entry] : entries_) {
        const QString line =
            QStringList{QString::fromLatin1(entry.done ? kDone : kUnderWay), identity,
                        entry.invoice, entry.date, FormatHalere(entry.paid)}
                .join(QLatin1Char('\t'));
        out += EncodeCp1250(line, QStringLiteral("Cesta k faktuře")) + "\r\n";
    }
    const QString path = RecordPath(programFolder_);
    if (!WriteFileAtomically(path, out))
        throw FileError(QStringLiteral("Záznam zapsaných plateb „%1“ nelze zapsat.").arg(path));
}

void ImportedPayments::Write(const std::vector<InvoicePayment>& writes,
                             const std::function<void()>& afterEach) {
    if (writes.empty())
        return;
    for (const InvoicePayment& write : writes)
        for (const QString& identity : write.Identity)
            entries_[identity] = Entry{false, RelativePath(write.FilePath),
                                       FormatInvoiceDate(write.Datum), write.UhrazenoCelkem};
    Save();
    try {
        for (const InvoicePayment& write : writes) {
            WritePaidAmount(write.FilePath, write.Datum, write.UhrazenoCelkem);
            for (const QString& identity : write.Identity)
                entries_[identity].done = true;
            if (afterEach)
                afterEach();
        }
    } catch (...) {
        Settle();
        Save();
        throw;
    }
    Save();
}

} // namespace tarvela
