#pragma once

#include <QString>
#include <stdexcept>

namespace tarvela {

// Base of every failure the program raises itself. The message is the exact Czech
// (or conversion) text the user sees in the error box.
class TarvelaError : public std::runtime_error {
public:
    explicit TarvelaError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const noexcept { return message_; }

private:
    QString message_;
};

// A text that does not read as a number or a date: "'%s' is not a valid floating point value".
class ConversionError : public TarvelaError {
public:
    using TarvelaError::TarvelaError;
};

// A text holding a character that Windows-1250 cannot store.
class EncodingError : public TarvelaError {
public:
    using TarvelaError::TarvelaError;
};

// A file or folder that cannot be read, written or created.
class FileError : public TarvelaError {
public:
    using TarvelaError::TarvelaError;
};

// A file larger than any file of its kind may be; it was not read.
class OversizedFileError : public FileError {
public:
    using FileError::FileError;
};

// A new invoice's number whose file another instance of the program created meanwhile. The
// next free number of the period is offered (empty when the period is full).
class NumberTakenError : public FileError {
public:
    NumberTakenError(const QString& message, const QString& nextNumber)
        : FileError(message), nextNumber_(nextNumber) {}
    const QString& nextNumber() const noexcept { return nextNumber_; }

private:
    QString nextNumber_;
};

// A file that another instance or window changed since it was opened here, in a way that
// cannot be joined with this write; nothing was written.
class ChangedMeanwhileError : public FileError {
public:
    using FileError::FileError;
};

// Data the program refuses before writing anything (a bad invoice number, a line break in a field).
class ValidationError : public TarvelaError {
public:
    using TarvelaError::TarvelaError;
};

} // namespace tarvela
