#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <ostream>

// Readable failure output for Qt values in these tests.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QDate& date, std::ostream* os) {
    *os << date.toString(Qt::ISODate).toStdString();
}
