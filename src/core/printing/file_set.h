#pragma once

#include <QByteArray>
#include <QString>

#include <utility>
#include <vector>

namespace tarvela {

// Files written together into a folder the user chose (the accountant's export).
using NamedFiles = std::vector<std::pair<QString, QByteArray>>;

// The file name made of a number and a fixed ending ("2026001" + ".isdoc"): the number is
// checked as an invoice number (ValidateInvoiceNumber) and the name must be a plain name, so it
// never leads out of its folder. Raises ValidationError naming the number.
QString SafeFileName(const QString& number, const QString& ending);

// Gives each name that an earlier one of the list already has (compared without regard to case,
// as a USB stick compares them) a suffix "-2", "-3" before its extension, so no file of the set
// replaces another.
void MakeNamesUnique(NamedFiles& files);

// Writes the files into `folder` as one set: after a failure or a kill at any moment the folder
// holds either all its files as they were before, or all of them from this write; other files
// of the folder stay. The set is written (and synced) into a new hidden folder beside `folder`,
// the folder's other entries are linked into it, and the two folders are exchanged in one step
// (renameat2 RENAME_EXCHANGE); the old one is then removed. Nothing temporary is ever written
// inside `folder`; a hidden folder beside it left by a killed write (one that no write holds
// locked) is removed by the next one.
// Raises FileError naming the folder when it cannot be written (nothing changed then).
void WriteFileSet(const QString& folder, const NamedFiles& files);

} // namespace tarvela
