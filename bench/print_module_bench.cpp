// The print module as the program uses it: load the library from the program folder, render a
// one-page invoice, unload. Here the rendering goes to a PDF (the preview paints the same pages).
#include "printmodule/prm1.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QLibrary>
#include <QStringList>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <vector>

namespace {

// Windows-1250 bytes of a UTF-8 literal that uses only these Czech letters.
QByteArray Cp1250(const QString& text) {
    static const QString letters = QStringLiteral("áčďéěíňóřšťúůýžÁČĎÉĚÍŇÓŘŠŤÚŮÝŽ×–");
    static const char bytes[] =
        "\xe1\xe8\xef\xe9\xec\xed\xf2\xf3\xf8\x9a\x9d\xfa\xf9\xfd\x9e"
        "\xc1\xc8\xcf\xc9\xcc\xcd\xd2\xd3\xd8\x8a\x8d\xda\xd9\xdd\x8e\xd7\x96";
    QByteArray out;
    for (const QChar c : text) {
        const qsizetype i = letters.indexOf(c);
        out.append(i >= 0 ? bytes[i] : static_cast<char>(c.unicode()));
    }
    return out;
}

struct Invoice {
    QByteArray templatePath = Cp1250(QStringLiteral(PRM1_TEMPLATE_DIR "/Faktura.fr3"));
    QByteArray title = Cp1250(QStringLiteral("FAKTURA - DAŇOVÝ DOKLAD"));
    QByteArray variables;
    std::vector<QByteArray> texts;
    std::vector<Prm1Column> columns;
    std::vector<Prm1Cell> cells;
    Prm1ReportDataSet set{};

    Invoice() {
        const QStringList pairs = {
            "Nazev1",
            "FAKTURA - DAŇOVÝ DOKLAD",
            "Nazev2",
            "Číslo faktury:",
            "DodavNazev",
            "Truhlářství Dvořák s.r.o.",
            "DodavUlice",
            "Květinová 1284/12",
            "DodavMesto",
            "602 00 Brno",
            "DodavIC",
            "27654321",
            "DodavDIC",
            "CZ27654321",
            "DodavUcet",
            "19-2000145399/0800",
            "DodavIBAN",
            "CZ65 0800 0000 1920 0014 5399",
            "OdberatelNazev1",
            "Penzion U Zeleného stromu",
            "OdberatelUliceCislo",
            "Náměstí Míru 7",
            "OdberatelPSC",
            "586 01",
            "OdberatelMesto",
            "Jihlava",
            "CisloDokladu",
            "2026015",
            "Symbol",
            "2026015",
            "DatumVystaveni",
            "5.2.2026",
            "DatumPlneni",
            "3.2.2026",
            "DatumSplatnosti",
            "19.2.2026",
            "Mena",
            "CZK",
            "PopiskaSymbol",
            "Variabilní symbol:",
            "PlatceDPH",
            "1",
            "SazbaDPH1",
            "21",
            "SazbaDPH2",
            "12",
            "SazbaDPH3",
            "0",
            "CelkemBezDPH",
            "35248,00",
            "CelkemDPH1",
            "7255,50",
            "CelkemDPH2",
            "83,76",
            "CelkemDPH3",
            "0,00",
            "Uhrnem",
            "42587,26",
            "QRCode",
            "SPD*1.0*ACC:CZ6508000000192000145399*AM:42587.26*CC:CZK*X-VS:2026015"};
        variables = Cp1250(pairs.join(u'|'));
        const char* names[] = {"Id", "Kod", "Dodavka", "MJ", "PocetMJ", "Cena", "DPH", "Zaklad"};
        const int widths[] = {0, 50, 255, 10, 10, 15, 2, 15};
        for (int c = 0; c < 8; ++c)
            columns.push_back(
                {names[c], c == 0 ? PRM1_COLUMN_AUTOINC : PRM1_COLUMN_TEXT, widths[c]});
        const QList<QStringList> items = {
            {"TRU-001", "Dubový stůl jídelní 180×90 cm", "ks", "1", "18500,00", "21", "18500,00"},
            {"TRU-014", "Židle čalouněná, buk", "ks", "6", "2350,00", "21", "14100,00"},
            {"MON-100", "Montáž a doprava – Jihlava", "hod", "3", "650,00", "21", "1950,00"},
            {"KNI-2", "Kniha: Péče o dřevo", "ks", "2", "349,00", "12", "698,00"}};
        texts.reserve(25 * 7);
        for (int r = 0; r < 25; ++r) {
            cells.push_back({nullptr, r + 1});
            for (int c = 0; c < 7; ++c) {
                texts.push_back(r < items.size() ? Cp1250(items[r][c]) : QByteArray());
                cells.push_back({texts.back().isEmpty() ? nullptr : texts.back().constData(), 0});
            }
        }
        set = {sizeof(Prm1ReportDataSet), 8, columns.data(), 25, cells.data()};
    }
};

const Invoice& TheInvoice() {
    static const Invoice invoice;
    return invoice;
}

int Render(QLibrary& library, const QByteArray& pdf) {
    auto render = reinterpret_cast<Prm1SestavaDoPDFFn>(library.resolve("SestavaDoPDF"));
    const Invoice& inv = TheInvoice();
    return render(inv.templatePath.constData(), inv.title.constData(), inv.variables.constData(),
                  &inv.set, pdf.constData(), nullptr, 0);
}

// What one report costs the program: load, render one page, unload.
void BM_LoadRenderUnload(benchmark::State& state) {
    QTemporaryDir dir;
    const QByteArray pdf = (dir.path() + "/faktura.pdf").toUtf8();
    for (auto _ : state) {
        QLibrary library(QStringLiteral(PRM1_LIBRARY_PATH));
        if (!library.load()) {
            state.SkipWithError("the module does not load");
            return;
        }
        if (Render(library, pdf) != 1) {
            state.SkipWithError("rendering failed");
            return;
        }
        library.unload();
    }
}
BENCHMARK(BM_LoadRenderUnload)->Unit(benchmark::kMillisecond);

// The parts: loading and unloading alone, rendering alone.
void BM_LoadUnload(benchmark::State& state) {
    for (auto _ : state) {
        QLibrary library(QStringLiteral(PRM1_LIBRARY_PATH));
        benchmark::DoNotOptimize(library.load());
        library.unload();
    }
}
BENCHMARK(BM_LoadUnload)->Unit(benchmark::kMillisecond);

void BM_RenderLoaded(benchmark::State& state) {
    QTemporaryDir dir;
    const QByteArray pdf = (dir.path() + "/faktura.pdf").toUtf8();
    QLibrary library(QStringLiteral(PRM1_LIBRARY_PATH));
    library.load();
    for (auto _ : state)
        benchmark::DoNotOptimize(Render(library, pdf));
    library.unload();
}
BENCHMARK(BM_RenderLoaded)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // fonts and layout, as in the program
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
