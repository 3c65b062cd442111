// The Windows-1250 codec: every byte decodes and encodes back to itself; a text either encodes
// and decodes back to itself or is refused, naming its first character the code page lacks.

#include "fuzz_support.h"

#include "text/codec.h"
#include "text/errors.h"

#include <cstring>

using namespace tarvela;
using namespace tarvela::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    const QString decoded = DecodeCp1250(bytes);
    TARVELA_FUZZ_CHECK(decoded.size() == bytes.size(), "one character per byte", Quote(decoded));
    TARVELA_FUZZ_CHECK(CanEncodeCp1250(decoded), "a decoded text is encodable", Quote(decoded));
    TARVELA_FUZZ_CHECK(EncodeCp1250(decoded) == bytes,
                       "encoding what was decoded gives the same bytes", Quote(decoded));

    // The same bytes read as UTF-16 code units.
    QString text(static_cast<qsizetype>(size / 2), Qt::Uninitialized);
    std::memcpy(text.data(), data, (size / 2) * 2);
    const QChar bad = FirstUnencodableChar(text);
    TARVELA_FUZZ_CHECK(CanEncodeCp1250(text) == bad.isNull(),
                       "CanEncodeCp1250 agrees with FirstUnencodableChar");
    try {
        const QByteArray encoded = EncodeCp1250(text, QStringLiteral("Pole"));
        TARVELA_FUZZ_CHECK(bad.isNull(), "a text with an unencodable character was encoded",
                           Quote(text));
        TARVELA_FUZZ_CHECK(encoded.size() == text.size(), "one byte per character", Quote(text));
        TARVELA_FUZZ_CHECK(DecodeCp1250(encoded) == text,
                           "decoding what was encoded gives the same text", Quote(text));
    } catch (const EncodingError& e) {
        TARVELA_FUZZ_CHECK(!bad.isNull(), "an encodable text was refused", Quote(text));
        TARVELA_FUZZ_CHECK(e.message().contains(QStringLiteral("Pole")),
                           "the refusal names the field", e.message());
        TARVELA_FUZZ_CHECK(e.message().contains(QStringLiteral("U+")),
                           "the refusal names the character", e.message());
    }
    return 0;
}
