#include "text/dates.h"
#include "text/errors.h"

#include "support/print_qt.h"

#include <gtest/gtest.h>

using namespace tarvela;

TEST(FormatInvoiceDate, DayAndMonthWithoutLeadingZeros) {
    EXPECT_EQ(FormatInvoiceDate(QDate(2026, 3, 5)), QStringLiteral("5.3.2026"));
    EXPECT_EQ(FormatInvoiceDate(QDate(2026, 12, 31)), QStringLiteral("31.12.2026"));
    EXPECT_EQ(FormatInvoiceDate(QDate(2026, 10, 1)), QStringLiteral("1.10.2026"));
    EXPECT_EQ(FormatInvoiceDate(QDate(26, 1, 1)), QStringLiteral("1.1.0026"));
}

TEST(FormatInvoiceDate, ZeroAndNullDates) {
    EXPECT_EQ(ZeroDate(), QDate(1899, 12, 30));
    EXPECT_EQ(FormatInvoiceDate(ZeroDate()), QStringLiteral("30.12.1899"));
    EXPECT_EQ(FormatInvoiceDate(QDate()), QStringLiteral("30.12.1899"));
}

TEST(ParseInvoiceDate, ReadsStoredDates) {
    EXPECT_EQ(ParseInvoiceDate(QStringLiteral("7.12.2026")), QDate(2026, 12, 7));
    EXPECT_EQ(ParseInvoiceDate(QStringLiteral("1.1.2026")), QDate(2026, 1, 1));
    EXPECT_EQ(ParseInvoiceDate(QStringLiteral("07.03.2026")), QDate(2026, 3, 7));
    EXPECT_EQ(ParseInvoiceDate(QStringLiteral("29.2.2024")), QDate(2024, 2, 29));
    EXPECT_EQ(ParseInvoiceDate(QStringLiteral("30.12.1899")), ZeroDate());
}

TEST(ParseInvoiceDate, ShortTextsAndWrongPartCountsGiveTheZeroDate) {
    for (const char* text :
         {"", "1.1.26", "12.2026", "1.1.0", "7.12.2026.1", "1.12.2026.", "20261207", "7-12-2026"})
        EXPECT_EQ(ParseInvoiceDate(QString::fromLatin1(text)), ZeroDate()) << text;
}

TEST(ParseInvoiceDate, PartsThatAreNoWholeNumbersFail) {
    try {
        ParseInvoiceDate(QStringLiteral("ab.12.2026"));
        FAIL() << "no error";
    } catch (const ConversionError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("„ab“ není celé číslo."));
    }
    EXPECT_THROW(ParseInvoiceDate(QStringLiteral("1.1,5.2026")), ConversionError);
    EXPECT_THROW(ParseInvoiceDate(QStringLiteral("..202600")), ConversionError);
}

TEST(ParseInvoiceDate, NumbersThatFormNoDateFail) {
    for (const char* text : {"31.2.2026", "29.2.2026", "1.13.2026", "0.1.2026", "1.1.0000",
                             "1.1.10000", "-1.1.2026", "32.12.2026"}) {
        const QString t = QString::fromLatin1(text);
        try {
            ParseInvoiceDate(t);
            ADD_FAILURE() << "no error for " << text;
        } catch (const ConversionError& e) {
            EXPECT_EQ(e.message(), QStringLiteral("„%1“ není platné datum.").arg(t));
        }
    }
}

TEST(ParseInvoiceDate, ReadsBackEveryWrittenDate) {
    for (QDate d(1999, 12, 25); d <= QDate(2027, 1, 10); d = d.addDays(1))
        ASSERT_EQ(ParseInvoiceDate(FormatInvoiceDate(d)), d)
            << d.toString(Qt::ISODate).toStdString();
}

TEST(ParseTypedDate, ReadsWhatWasTypedAndRefusesImpossibleDates) {
    const struct {
        const char* typed;
        QDate date; // null: refused
    } cases[] = {
        {"5.3.2026", QDate(2026, 3, 5)},
        {"05.03.2026", QDate(2026, 3, 5)},
        {" 29.2.2028 ", QDate(2028, 2, 29)},
        {"31.12.2026", QDate(2026, 12, 31)},
        {"31.2.2026", QDate()},
        {"29.2.2026", QDate()},
        {"0.1.2026", QDate()},
        {"1.13.2026", QDate()},
        {"32.1.2026", QDate()},
        {"1.1.26", QDate()},
        {"1.1.2026.", QDate()},
        {"1..2026", QDate()},
        {"a.1.2026", QDate()},
        {"", QDate()},
        {"1,1,2026", QDate()},
        {"123.1.2026", QDate()},
    };
    for (const auto& c : cases) {
        const QString typed = QString::fromUtf8(c.typed);
        if (c.date.isValid()) {
            EXPECT_EQ(ParseTypedDate(QStringLiteral("Datum plnění"), typed), c.date) << c.typed;
            continue;
        }
        try {
            ParseTypedDate(QString::fromUtf8("Datum plnění"), typed);
            ADD_FAILURE() << c.typed << " was read";
        } catch (const ConversionError& e) {
            EXPECT_EQ(e.message(),
                      QString::fromUtf8("Datum plnění: „%1“ není platné datum; zadejte "
                                        "den.měsíc.rok, například 5.3.2026.")
                          .arg(typed.trimmed()));
        }
    }
}
