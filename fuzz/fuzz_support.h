#pragma once

// Helpers shared by the fuzz targets: property checks that abort with a message, a per-process
// scratch folder, and turning fuzz bytes into texts.

#include <fuzzer/FuzzedDataProvider.h>

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace tarvela::fuzz {

// Stops the run with the message; libFuzzer keeps the input.
[[noreturn]] void Fail(const char* what, const QString& detail = QString());

} // namespace tarvela::fuzz

// Stops the run when a property does not hold. A macro so that the detail (a quote of the input,
// built character by character) is only computed on failure: computing it on every check made
// the targets allocate so much that they ran a few hundred inputs a second.
#define TARVELA_FUZZ_CHECK(holds, what, ...)                                                       \
    do {                                                                                           \
        if (!(holds))                                                                              \
            ::tarvela::fuzz::Fail(what __VA_OPT__(, ) __VA_ARGS__);                                \
    } while (false)

namespace tarvela::fuzz {

// A scratch folder of this process, on tmpfs (/dev/shm) where there is one, removed when the
// process ends. With a trailing "/".
const QString& ScratchFolder();

// Writes the bytes to the file, replacing it; aborts when that is impossible (the harness
// itself is broken then, not the code under test).
void WriteBytes(const QString& path, const QByteArray& bytes);

// The whole file, or an empty array when it cannot be read.
QByteArray ReadBytes(const QString& path);

// Removes every entry of the folder (not the folder itself).
void EmptyFolder(const QString& folder);

// A text from the provider: mostly Windows-1250 bytes decoded, sometimes raw UTF-16 units
// (so texts the code page cannot hold, surrogates and NULs occur too).
QString TakeText(FuzzedDataProvider& in, std::size_t maxLength);

// A text of characters the invoice file can hold: Windows-1250 bytes, at most maxLength.
QString TakeCp1250Text(FuzzedDataProvider& in, std::size_t maxLength);

// The rest of the input as a text, as TakeText does it.
QString RemainingText(FuzzedDataProvider& in);

// A short printable quote of a text for failure messages.
QString Quote(const QString& text);

} // namespace tarvela::fuzz
