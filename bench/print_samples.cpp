#include "print_samples.h"

#include <QStringEncoder>

namespace tarvela::bench {
namespace {

QByteArray Cp1250(const QString& text) {
    QStringEncoder encoder("windows-1250");
    if (encoder.isValid())
        return encoder.encode(text);
    return text.toLatin1();
}

void Finish(SampleReport& report, const QList<QPair<QString, QString>>& pairs,
            const QList<QPair<QString, int>>& columns, const QList<QStringList>& rows) {
    QStringList parts;
    for (const auto& [name, value] : pairs)
        parts << name << value;
    report.variables = Cp1250(parts.join(u'|'));
    for (const auto& column : columns)
        report.names.push_back(Cp1250(column.first));
    for (size_t c = 0; c < report.names.size(); ++c) {
        const int type = columns.at(qsizetype(c)).second;
        report.columns.push_back(
            {report.names[c].constData(), type, type == PRM1_COLUMN_TEXT ? 255 : 0});
    }
    report.texts.reserve(size_t(rows.size()) * report.columns.size());
    for (const QStringList& row : rows) {
        for (qsizetype c = 0; c < row.size(); ++c) {
            if (report.columns[size_t(c)].type != PRM1_COLUMN_TEXT) {
                report.cells.push_back({nullptr, row.at(c).toLongLong()});
                continue;
            }
            report.texts.push_back(Cp1250(row.at(c)));
            report.cells.push_back(
                {report.texts.back().isEmpty() ? nullptr : report.texts.back().constData(), 0});
        }
    }
    report.set = {sizeof(Prm1ReportDataSet), int32_t(report.columns.size()), report.columns.data(),
                  int32_t(rows.size()), report.cells.data()};
}

} // namespace

SampleReport InvoiceSample() {
    SampleReport report;
    report.templateName = "Faktura.fr3";
    report.title = Cp1250(QStringLiteral("FAKTURA - DAŇOVÝ DOKLAD č. 2026015"));
    const QList<QPair<QString, QString>> pairs = {
        {"Nazev1", "FAKTURA - DAŇOVÝ DOKLAD"},
        {"Nazev2", "Číslo faktury:"},
        {"DodavNazev", "Truhlářství Dvořák s.r.o."},
        {"DodavJmeno", "Ing. Petr Dvořák"},
        {"DodavUlice", "Květinová 1284/12"},
        {"DodavMesto", "602 00 Brno"},
        {"DodavIC", "27654321"},
        {"DodavDIC", "CZ27654321"},
        {"DodavRegistrace", "Zapsáno v obchodním rejstříku vedeném Krajským soudem v Brně, "
                            "oddíl C, vložka 51234"},
        {"DodavBanka", "Komerční banka, a.s."},
        {"DodavUcet", "19-2000145399/0800"},
        {"DodavIBAN", "CZ65 0800 0000 1920 0014 5399"},
        {"DodavBIC", "KOMBCZPP"},
        {"DodavTel", "+420 602 123 456"},
        {"DodavEmail", "fakturace@truhlarstvi-dvorak.cz"},
        {"DodavWWW", "www.truhlarstvi-dvorak.cz"},
        {"DodavOsoba", "Jana Dvořáková"},
        {"OdberatelKod", "ODB-042"},
        {"OdberatelNazev1", "Penzion U Zeleného stromu"},
        {"OdberatelNazev2", "Hana Šťastná"},
        {"OdberatelOdpovedOsoba", "Hana Šťastná"},
        {"OdberatelUliceCislo", "Náměstí Míru 7"},
        {"OdberatelPSC", "586 01"},
        {"OdberatelMesto", "Jihlava"},
        {"OdberatelIC", "12345678"},
        {"OdberatelDIC", "CZ7855123456"},
        {"CisloDokladu", "2026015"},
        {"Symbol", "2026015"},
        {"Objednavka", "OBJ-2026/118"},
        {"FormaUhrady", "Převodním příkazem"},
        {"DatumPlneni", "3.2.2026"},
        {"DatumVystaveni", "5.2.2026"},
        {"DatumSplatnosti", "19.2.2026"},
        {"Mena", "CZK"},
        {"PopiskaSymbol", "Variabilní symbol:"},
        {"PlatceDPH", "1"},
        {"DanovyDoklad", "1"},
        {"PopiskaDatumPlneni", "Datum zdanitelného plnění:"},
        {"PopiskaCena", "Cena MJ bez DPH"},
        {"PopiskaCelkem", "Celkem k úhradě"},
        {"CelkemBezDPH", "35248,00"},
        {"CelkemDPH", "7339,26"},
        {"CastkaKUhrade", "42587,26"},
        {"RekapSazba1", "21"},
        {"RekapZaklad1", "34550,00"},
        {"RekapDPH1", "7255,50"},
        {"RekapSazba2", "12"},
        {"RekapZaklad2", "698,00"},
        {"RekapDPH2", "83,76"},
        {"CiziMena", "0"},
        {"Komentar1", "Děkujeme za Vaši objednávku a těšíme se na další spolupráci."},
        {"NazevSouboru", "Faktura 2026015"},
        {"QRCode", "SPD*1.0*ACC:CZ6508000000192000145399*AM:42587.26*CC:CZK*X-VS:2026015"
                   "*DT:20260219*MSG:FAKTURA 2026015"},
    };
    const QList<QPair<QString, int>> columns = {
        {"Id", PRM1_COLUMN_AUTOINC}, {"Kod", PRM1_COLUMN_TEXT},     {"Dodavka", PRM1_COLUMN_TEXT},
        {"MJ", PRM1_COLUMN_TEXT},    {"PocetMJ", PRM1_COLUMN_TEXT}, {"Cena", PRM1_COLUMN_TEXT},
        {"DPH", PRM1_COLUMN_TEXT},   {"Zaklad", PRM1_COLUMN_TEXT}};
    const QList<QStringList> items = {
        {"TRU-001", "Dubový stůl jídelní 180×90 cm", "ks", "1", "18500,00", "21", "18500,00"},
        {"TRU-014", "Židle čalouněná, buk", "ks", "6", "2350,00", "21", "14100,00"},
        {"MON-100", "Montáž a doprava – Jihlava", "hod", "3", "650,00", "21", "1950,00"},
        {"KNI-2", "Kniha: Péče o dřevo", "ks", "2", "349,00", "12", "698,00"}};
    QList<QStringList> rows;
    for (int r = 0; r < 25; ++r) {
        QStringList row{QString::number(r + 1)};
        row << (r < items.size() ? items.at(r) : QStringList(7, QString()));
        rows << row;
    }
    Finish(report, pairs, columns, rows);
    return report;
}

QStringList InvoiceSampleMustShow() {
    return {"Dubový stůl jídelní 180×90 cm",
            "21 % 34550,00 7255,50",
            "12 % 698,00 83,76",
            "Celkem bez DPH 35248,00",
            "Celkem DPH 7339,26",
            "Celkem k úhradě 42587,26 CZK",
            "QR Platba"};
}

SampleReport OverviewSample(int invoices) {
    SampleReport report;
    report.templateName = "PrehledFaktur.fr3";
    report.title = Cp1250(QStringLiteral("Evidence odeslaných faktur - rok 2026"));
    const QList<QPair<QString, QString>> pairs = {
        {"Nadpis", "Evidence odeslaných faktur - rok 2026"},
        {"VychoziMena", "CZK"},
        {"SoucetCastka", "1234567,00 CZK"},
        {"SoucetJinaMena", "45678,50 EUR"},
        {"SoucetUhrazeno", "617283,50 CZK; 22839,25 EUR"},
        {"NazevSouboru", "Prehled faktur 2026"}};
    const QList<QPair<QString, int>> columns = {{"Id", PRM1_COLUMN_AUTOINC},
                                                {"Cislo", PRM1_COLUMN_TEXT},
                                                {"Odberatel", PRM1_COLUMN_TEXT},
                                                {"Castka", PRM1_COLUMN_INTEGER},
                                                {"CastkaJinaMena", PRM1_COLUMN_INTEGER},
                                                {"DatumVystaveni", PRM1_COLUMN_TEXT},
                                                {"DatumSplatnosti", PRM1_COLUMN_TEXT},
                                                {"DatumUhrady", PRM1_COLUMN_TEXT},
                                                {"Uhrazeno", PRM1_COLUMN_INTEGER},
                                                {"Mena", PRM1_COLUMN_TEXT},
                                                {"CastkaPresne", PRM1_COLUMN_TEXT},
                                                {"CastkaJinaMenaPresne", PRM1_COLUMN_TEXT},
                                                {"UhrazenoPresne", PRM1_COLUMN_TEXT}};
    const QStringList customers = {"Penzion U Zeleného stromu", "Řeznictví Šťastný a syn",
                                   "Pekárna U Mlýna s.r.o.", "Ing. Hana Dvořáková",
                                   "Stavebniny Jihlava a.s."};
    QList<QStringList> rows;
    for (int i = 1; i <= invoices; ++i) {
        const bool euro = i % 3 == 0;
        const bool paid = i % 2 == 1;
        const QString amount = QString::number(1000 * (i % 97) + 234);
        const QString own = euro ? QString::number(100 + i) : amount;
        rows << QStringList{QString::number(i),
                            QString("2026%1").arg(i, 3, 10, QChar('0')),
                            customers.at(i % customers.size()),
                            euro ? "0" : amount,
                            euro ? own : "0",
                            QString("%1.%2.2026").arg(1 + i % 28).arg(1 + i % 12),
                            QString("%1.%2.2026").arg(1 + i % 28).arg(1 + (i + 1) % 12),
                            paid ? QString("%1.%2.2026").arg(1 + i % 28).arg(1 + (i + 1) % 12)
                                 : QString(),
                            paid ? own : "0",
                            euro ? "EUR" : "CZK",
                            euro ? QString() : amount + ",50",
                            euro ? own + ",50" : QString(),
                            paid ? own + ",50" : QString()};
    }
    Finish(report, pairs, columns, rows);
    return report;
}

} // namespace tarvela::bench
