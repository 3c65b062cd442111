#pragma once

#include <QString>
#include <QtGlobal>

namespace tarvela {

// A whole number of crowns as Czech words written together without spaces, with the feminine
// forms for one and two: 0 -> "nula", 21 -> "dvacetjedna", 2500000 -> "dvamilionypětsettisíc".
// From 10 000 000 on the number's digits are returned unchanged. A negative number is "minus"
// followed by the words of its magnitude; one beyond the words' range keeps its digits
// ("-10000000").
QString AmountInWords(qint32 n);

} // namespace tarvela
