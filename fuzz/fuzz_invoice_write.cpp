// The writer on arbitrary records: it refuses a record with a line break in a field, a "|" in an
// item cell or a character Windows-1250 cannot hold, before anything is written; every other
// record is written as 49 CR LF lines that read back to the same record. A refused write leaves
// the existing file byte for byte as it was.

#include "fuzz_support.h"

#include "invoice/file_lines.h"
#include "invoice/invoice_file.h"
#include "text/amount_text.h"
#include "text/codec.h"
#include "text/dates.h"
#include "text/errors.h"

using namespace tarvela;
using namespace tarvela::fuzz;

namespace {

const QString kCurrency = QStringLiteral("EUR");

QDate TakeDate(FuzzedDataProvider& in) {
    if (in.ConsumeBool())
        return QDate(); // a field never set
    const qint64 first = QDate(1, 1, 1).toJulianDay();
    const qint64 last = QDate(9999, 12, 31).toJulianDay();
    return QDate::fromJulianDay(in.ConsumeIntegralInRange<qint64>(first, last));
}

bool Storable(const QString& text, bool cell) {
    return !text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n')) &&
           !(cell && text.contains(QLatin1Char('|'))) && CanEncodeCp1250(text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    // Mostly storable texts, so that the round trip is reached often.
    const bool wild = in.ConsumeIntegralInRange<int>(0, 3) == 0;
    auto text = [&](std::size_t max) {
        QString t = TakeText(in, max);
        if (!wild)
            t.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
        return t;
    };

    InvoiceRecord record;
    QString* const fields[] = {&record.Cislo,
                               &record.Symbol,
                               &record.Objednavka,
                               &record.Prijemce,
                               &record.MistoVyskladneni,
                               &record.FormaUhrady,
                               &record.OdberatelKod,
                               &record.OdberatelNazev1,
                               &record.OdberatelNazev2,
                               &record.OdberatelOdpovedOsoba,
                               &record.OdberatelUliceCislo,
                               &record.OdberatelPSC,
                               &record.OdberatelMesto,
                               &record.OdberatelIC,
                               &record.OdberatelDIC,
                               &record.Komentar1,
                               &record.Komentar2,
                               &record.Uhrnem,
                               &record.DatumUhrady,
                               &record.Mena,
                               &record.UhrazenaCastka};
    bool storable = true;
    for (QString* field : fields) {
        *field = text(24);
        storable = storable && Storable(*field, false);
    }
    record.DatumPlneni = TakeDate(in);
    record.DatumVystaveni = TakeDate(in);
    record.DatumSplatnosti = TakeDate(in);
    const int filledRows = in.ConsumeIntegralInRange<int>(0, kItemRowCount);
    for (int row = 0; row < filledRows; ++row) {
        for (int cell = 0; cell < kItemCellCount; ++cell) {
            QString t = text(10);
            if (!wild)
                t.remove(QLatin1Char('|'));
            record.Polozky[row].cell(cell) = t;
            storable = storable && Storable(t, true);
        }
    }

    // An existing file that a refused write must leave alone.
    const QString path = ScratchFolder() + QStringLiteral("2026002.tvl");
    const QByteArray previous = QByteArrayLiteral("previous\r\ncontent\r\n");
    WriteBytes(path, previous);

    QByteArray bytes;
    try {
        bytes = InvoiceFileBytes(record);
    } catch (const TarvelaError& e) {
        TARVELA_FUZZ_CHECK(dynamic_cast<const ValidationError*>(&e) ||
                               dynamic_cast<const EncodingError*>(&e),
                           "a refusal is a ValidationError or an EncodingError", e.message());
        TARVELA_FUZZ_CHECK(!storable, "a storable record was refused", e.message());
        try {
            WriteInvoiceFile(record, path);
            Fail("WriteInvoiceFile wrote a refused record");
        } catch (const ValidationError&) {
        } catch (const EncodingError&) {
        }
        TARVELA_FUZZ_CHECK(ReadBytes(path) == previous,
                           "a refused write leaves the file as it was");
        return 0;
    }
    TARVELA_FUZZ_CHECK(storable, "a record that cannot be stored was written");

    // 49 lines, each followed by CR LF, nothing else.
    const FileLines lines = FileLines::FromBytes(bytes);
    TARVELA_FUZZ_CHECK(lines.count() == kInvoiceFileLineCount && bytes.endsWith("\r\n") &&
                           bytes.count("\r\n") == kInvoiceFileLineCount &&
                           bytes.count('\r') == kInvoiceFileLineCount &&
                           bytes.count('\n') == kInvoiceFileLineCount,
                       "49 lines ending in CR LF");
    QString total = StripSpaces(record.Uhrnem);
    TARVELA_FUZZ_CHECK(lines.line(46) == (total.isEmpty() ? QStringLiteral("0") : total),
                       "line 46 is the total without spaces", Quote(lines.line(46)));

    // Written to a file (atomically), it reads back to the same record, except what the reader
    // documents: the total is not read, an empty currency becomes the default, a date never
    // set is written as the zero date.
    WriteInvoiceFile(record, path);
    TARVELA_FUZZ_CHECK(ReadBytes(path) == bytes, "the file holds exactly the bytes");
    InvoiceRecord back;
    ReadInvoiceFile(path, back, kCurrency);
    InvoiceRecord expected = record;
    expected.Uhrnem.clear();
    if (expected.Mena.isEmpty())
        expected.Mena = kCurrency;
    for (QDate* date :
         {&expected.DatumPlneni, &expected.DatumVystaveni, &expected.DatumSplatnosti}) {
        if (!date->isValid())
            *date = ZeroDate();
    }
    TARVELA_FUZZ_CHECK(back == expected, "what the writer writes, the reader reads back");
    return 0;
}
