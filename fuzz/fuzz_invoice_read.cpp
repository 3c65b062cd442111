// The open action's reader on arbitrary file bytes: it either reads a record or stops at a date
// that does not convert (ConversionError); a record read is always writable again, and what the
// writer writes reads back to the same record. The file reader agrees with the byte reader, and
// the line cutting keeps every character but the line ends.

#include "fuzz_support.h"

#include "invoice/file_lines.h"
#include "invoice/invoice_file.h"
#include "text/codec.h"
#include "text/dates.h"
#include "text/errors.h"

using namespace tarvela;
using namespace tarvela::fuzz;

namespace {

const QString kCurrency = QStringLiteral("CZK");

void CheckLines(const QByteArray& bytes) {
    const FileLines lines = FileLines::FromBytes(bytes);
    // Line ends: CR LF, a lone CR and a lone LF each end one line; a final line without one
    // still counts.
    int ends = 0;
    QByteArray withoutEnds;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' || bytes[i] == '\n') {
            ++ends;
            if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else {
            withoutEnds += bytes[i];
        }
    }
    const bool unfinished = !bytes.isEmpty() && !bytes.endsWith('\r') && !bytes.endsWith('\n');
    TARVELA_FUZZ_CHECK(lines.count() == ends + (unfinished ? 1 : 0), "the line count",
                       QString::number(lines.count()));
    TARVELA_FUZZ_CHECK(lines.lines().join(QString()) == DecodeCp1250(withoutEnds),
                       "the lines hold every character but the line ends");
    TARVELA_FUZZ_CHECK(!lines.has(0) && !lines.has(lines.count() + 1) &&
                           lines.line(lines.count() + 1).isEmpty(),
                       "lines outside the file are empty");
}

void CheckFileReader(const QByteArray& bytes, const InvoiceRecord& record, bool complete) {
    const QString path = ScratchFolder() + QStringLiteral("2026001.tvl");
    WriteBytes(path, bytes);
    InvoiceRecord fromFile;
    bool fileComplete = true;
    try {
        ReadInvoiceFile(path, fromFile, kCurrency);
    } catch (const ConversionError&) {
        fileComplete = false;
    }
    TARVELA_FUZZ_CHECK(fileComplete == complete && fromFile == record, "the file reader agrees");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    CheckLines(bytes);

    InvoiceRecord record;
    bool complete = true;
    try {
        ReadInvoiceBytes(bytes, record, kCurrency);
    } catch (const ConversionError& e) {
        // The Czech message quotes what did not convert: „31.2.2026“ není platné datum.
        TARVELA_FUZZ_CHECK(e.message().contains(QChar(0x201E)), "a conversion message",
                           e.message());
        complete = false;
    }

    // Reading the same bytes from a file gives the same record, or the same failure (for a
    // quarter of the inputs: writing the file costs more than the rest).
    if (size % 4 == 0)
        CheckFileReader(bytes, record, complete);
    if (!complete)
        return 0;

    TARVELA_FUZZ_CHECK(!record.Mena.isEmpty(), "an empty currency becomes the default one");
    TARVELA_FUZZ_CHECK(record.Uhrnem.isEmpty(), "the stored total is never read");

    // Everything read can be written, and reads back the same.
    QByteArray written;
    try {
        written = InvoiceFileBytes(record);
    } catch (const TarvelaError& e) {
        Fail("a record read from a file cannot be written", e.message());
    }
    // A date line the file did not have is written as the zero date.
    InvoiceRecord expected = record;
    for (QDate* date :
         {&expected.DatumPlneni, &expected.DatumVystaveni, &expected.DatumSplatnosti}) {
        if (!date->isValid())
            *date = ZeroDate();
    }
    InvoiceRecord back;
    ReadInvoiceBytes(written, back, kCurrency);
    TARVELA_FUZZ_CHECK(back == expected, "what the writer writes reads back to the same record");
    TARVELA_FUZZ_CHECK(InvoiceFileBytes(back) == written, "writing is stable");
    return 0;
}
