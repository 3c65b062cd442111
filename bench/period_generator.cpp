#include "period_generator.h"

#include "invoice/invoice_file.h"
#include "invoice/invoice_store.h"

#include <QDir>
#include <QFile>

#include <stdexcept>

#include <benchmark/benchmark.h>

namespace tarvela::bench {

GeneratedPeriod::GeneratedPeriod(int count, int filledRows, int year)
    : dir_(std::make_unique<QTemporaryDir>()), year_(year) {
    if (!dir_->isValid())
        throw std::runtime_error("cannot create a temporary folder");
    programFolder_ = dir_->path() + QDir::separator();
    const InvoiceStore store(programFolder_);
    if (!store.EnsurePeriodFolder(year))
        throw std::runtime_error("cannot create the period folder");

    static const char* const kGoods[] = {
        "Oprava čerpadla", "Šroubek M6 nerez",    "Montáž",
        "Doprava – Brno",  "Žárovka 60 W",        "Údržba kotle",
        "Těsnění pryžové", "Ventil kulový 1/2\"", "Práce technika"};
    static const char* const kUnits[] = {"ks", "h", "km", "m", "bal"};
    for (int i = 1; i <= count; ++i) {
        InvoiceRecord r;
        r.Cislo = QString::number(year) + QString::number(i).rightJustified(3, QLatin1Char('0'));
        r.Symbol = r.Cislo;
        r.Objednavka = QStringLiteral("OBJ-%1").arg(i);
        r.Prijemce = QStringLiteral("Sklad č. %1").arg(i % 7);
        r.MistoVyskladneni = QStringLiteral("Říčany");
        r.FormaUhrady = i % 3 == 0 ? QStringLiteral("H") : QStringLiteral("PP");
        const QDate issued = QDate(year, 1, 1).addDays(i % 365);
        r.DatumPlneni = issued;
        r.DatumVystaveni = issued;
        r.DatumSplatnosti = issued.addDays(14);
        r.OdberatelKod = QStringLiteral("ODB%1").arg(i % 50);
        r.OdberatelNazev1 = QStringLiteral("Odběratel %1 s.r.o.").arg(i % 50);
        r.OdberatelNazev2 = QStringLiteral("Divize Žďár");
        r.OdberatelOdpovedOsoba = QStringLiteral("Jiří Šťastný");
        r.OdberatelUliceCislo = QStringLiteral("Čapkova %1").arg(i);
        r.OdberatelPSC = QStringLiteral("602 00");
        r.OdberatelMesto = QStringLiteral("Brno");
        r.OdberatelIC = QStringLiteral("%1").arg(10000000 + i);
        r.OdberatelDIC = QStringLiteral("CZ%1").arg(10000000 + i);
        for (int row = 0; row < filledRows && row < kItemRowCount; ++row) {
            InvoiceItemRow& item = r.Polozky[row];
            item.Kod = QStringLiteral("K%1").arg((i * 31 + row) % 500);
            item.Dodavka = QString::fromUtf8(kGoods[(i + row) % 9]);
            item.MJ = QString::fromUtf8(kUnits[row % 5]);
            item.PocetMJ = QString::number(1 + row % 9);
            item.Cena = QStringLiteral("%1,50").arg(100 + (i * row) % 900);
            item.DPH = row % 4 == 0 ? QStringLiteral("12") : QStringLiteral("21");
        }
        r.Komentar1 = QStringLiteral("Děkujeme za Vaši objednávku.");
        r.Komentar2 = QStringLiteral("Převzal:");
        r.Uhrnem = QStringLiteral("%1,00").arg(10000 + i * 13);
        r.DatumUhrady = i % 2 ? QStringLiteral("%1.2.%2").arg(1 + i % 28).arg(year) : QString();
        r.Mena = QStringLiteral("CZK");
        r.UhrazenaCastka = i % 2 ? r.Uhrnem : QString();
        const QString path = store.InvoiceFilePath(year, r.Cislo);
        WriteInvoiceFile(r, path);
        files_.append(path);
    }
}

const GeneratedPeriod& FullPeriod() {
    static const GeneratedPeriod period(999, 25);
    return period;
}

qint64 ReadAllBytesOf(const GeneratedPeriod& period, void (*afterEach)()) {
    return ReadAllBytesOf(period.files(), afterEach);
}

qint64 ReadAllBytesOf(const QStringList& files, void (*afterEach)()) {
    qint64 total = 0;
    for (const QString& path : files) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return -1;
        total += file.readAll().size();
        if (afterEach)
            afterEach();
    }
    return total;
}

void BM_RawBytesOf999Files(benchmark::State& state) {
    const GeneratedPeriod& period = FullPeriod();
    for (auto _ : state) {
        const qint64 total = ReadAllBytesOf(period);
        if (total < 0)
            state.SkipWithError("cannot read");
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * period.files().size());
}

} // namespace tarvela::bench
