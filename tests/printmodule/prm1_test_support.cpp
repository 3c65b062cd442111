#include "printmodule/prm1_test_support.h"

#include "text/codec.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

#include <stdexcept>

namespace tarvela::test {

void CDataSet::addColumn(const QString& name, int type, int width) {
    names_.push_back(EncodeCp1250(name));
    columns_.push_back(Prm1Column{nullptr, type, width});
}

void CDataSet::addRow(const QStringList& cells) {
    if (cells.size() != static_cast<qsizetype>(columns_.size()))
        throw std::logic_error("CDataSet: wrong number of cells");
    rows_.push_back(cells);
}

const Prm1ReportDataSet* CDataSet::get() {
    for (size_t c = 0; c < columns_.size(); ++c)
        columns_[c].name = names_[c].constData();
    texts_.clear();
    texts_.reserve(rows_.size() * columns_.size());
    cells_.clear();
    for (const QStringList& row : rows_) {
        for (size_t c = 0; c < columns_.size(); ++c) {
            const QString& cell = row.at(static_cast<qsizetype>(c));
            Prm1Cell out{nullptr, 0};
            if (columns_[c].type == PRM1_COLUMN_TEXT) {
                texts_.push_back(EncodeCp1250(cell));
                if (!cell.isEmpty())
                    out.text = texts_.back().constData();
            } else {
                out.integer = cell.toLongLong();
            }
            cells_.push_back(out);
        }
    }
    set_.structSize = sizeof(Prm1ReportDataSet);
    set_.columnCount = static_cast<int32_t>(columns_.size());
    set_.columns = columns_.data();
    set_.rowCount = static_cast<int32_t>(rows_.size());
    set_.cells = cells_.data();
    return &set_;
}

QString JoinVariables(const QList<QPair<QString, QString>>& pairs) {
    QStringList parts;
    for (const auto& [name, value] : pairs)
        parts << name << value;
    return parts.join(u'|');
}

QList<QPair<QString, QString>> InvoiceVariables(bool vatPayer, const QString& qrText) {
    return {
        {"Nazev1", vatPayer ? "FAKTURA - DAŇOVÝ DOKLAD" : "FAKTURA"},
        {"Nazev2", "Číslo faktury:"},
        {"DodavNazev", "Truhlářství Dvořák s.r.o."},
        {"DodavJmeno", "Ing. Petr Dvořák"},
        {"DodavUlice", "Květinová 1284/12"},
        {"DodavMesto", "602 00 Brno"},
        {"DodavIC", "27654321"},
        {"DodavDIC", vatPayer ? "CZ27654321" : ""},
        {"DodavRegistrace", "Zapsáno v obchodním rejstříku vedeném Krajským soudem v Brně, "
                            "oddíl C, vložka 51234"},
        {"DodavBanka", "Komerční banka, a.s."},
        {"DodavUcet", "19-2000145399/0800"},
        {"DodavIBAN", "CZ65 0800 0000 1920 0014 5399"},
        {"DodavBIC", "KOMBCZPP"},
        {"DodavTel", "+420 602 123 456"},
        {"DodavFax", ""},
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
        {"Prijemce", ""},
        {"MistoVyskladneni", ""},
        {"FormaUhrady", "PP"},
        {"DatumPlneni", "3.2.2026"},
        {"DatumVystaveni", "5.2.2026"},
        {"DatumSplatnosti", "19.2.2026"},
        {"Mena", "CZK"},
        {"Prijem", "Hana Šťastná"},
        {"Castka", vatPayer ? "42587,26" : "35248,00"},
        {"CastkaSlovy", ""},
        {"UcelPlatby", "Úhrada faktury 2026015"},
        {"JmenoPlatce", "Hana Šťastná"},
        {"PopiskaSymbol", "Variabilní symbol:"},
        {"PlatceDPH", vatPayer ? "1" : "0"},
        {"SazbaDPH1", "21"},
        {"SazbaDPH2", "12"},
        {"SazbaDPH3", "0"},
        {"CelkemBezDPH", "35248,00"},
        {"CelkemDPH1", vatPayer ? "7255,50" : "0,00"},
        {"CelkemDPH2", vatPayer ? "83,76" : "0,00"},
        {"CelkemDPH3", "0,00"},
        {"Uhrnem", vatPayer ? "42587,26" : "35248,00"},
        {"Komentar1", "Děkujeme za Vaši objednávku a těšíme se na další spolupráci."},
        {"Komentar2", "Záruka na nábytek 24 měsíců od převzetí."},
        {"QRCode", qrText},
        // What each kind must say and the recap per rate, as the program hands them over for a
        // basic invoice (a payer's with its two rates).
        {"DanovyDoklad", vatPayer ? "1" : "0"},
        {"Podtitul", ""},
        {"PopiskaDatumPlneni", vatPayer ? "Datum zdanitelného plnění:" : "Datum plnění:"},
        {"PopiskaCena", vatPayer ? "Cena MJ bez DPH" : "Cena MJ"},
        {"PopiskaCelkem", "Celkem k úhradě"},
        {"CastkaKUhrade", vatPayer ? "42587,26" : "35248,00"},
        {"Zaokrouhleni", ""},
        {"CelkemDPH", vatPayer ? "7339,26" : ""},
        {"RekapSazba1", vatPayer ? "21" : ""},
        {"RekapZaklad1", vatPayer ? "34550,00" : ""},
        {"RekapDPH1", vatPayer ? "7255,50" : ""},
        {"RekapDPHCZK1", ""},
        {"RekapSazba2", vatPayer ? "12" : ""},
        {"RekapZaklad2", vatPayer ? "698,00" : ""},
        {"RekapDPH2", vatPayer ? "83,76" : ""},
        {"RekapDPHCZK2", ""},
        {"RekapSazba3", ""},
        {"RekapZaklad3", ""},
        {"RekapDPH3", ""},
        {"RekapDPHCZK3", ""},
        {"RekapSazba4", ""},
        {"RekapZaklad4", ""},
        {"RekapDPH4", ""},
        {"RekapDPHCZK4", ""},
        {"PoznamkaOsvobozeni", ""},
        {"CiziMena", "0"},
        {"Kurz", ""},
        {"DatumKurzu", ""},
        {"CelkemDPHCZK", ""},
        {"OpravovanyDoklad", ""},
        {"DuvodOpravy", ""},
    };
}

void FillInvoiceItems(CDataSet& set, int filled, bool allRows) {
    set.addColumn("Id", PRM1_COLUMN_AUTOINC);
    set.addColumn("Kod", PRM1_COLUMN_TEXT, 50);
    set.addColumn("Dodavka", PRM1_COLUMN_TEXT, 255);
    set.addColumn("MJ", PRM1_COLUMN_TEXT, 10);
    set.addColumn("PocetMJ", PRM1_COLUMN_TEXT, 10);
    set.addColumn("Cena", PRM1_COLUMN_TEXT, 15);
    set.addColumn("DPH", PRM1_COLUMN_TEXT, 2);
    set.addColumn("Zaklad", PRM1_COLUMN_TEXT, 15);
    const QList<QStringList> items = {
        {"TRU-001", "Dubový stůl jídelní 180×90 cm", "ks", "1", "18500,00", "21", "18500,00"},
        {"TRU-014", "Židle čalouněná, buk", "ks", "6", "2350,00", "21", "14100,00"},
        {"MON-100", "Montáž a doprava – Jihlava", "hod", "3", "650,00", "21", "1950,00"},
        {"KNI-2", "Kniha: Péče o dřevo", "ks", "2", "349,00", "12", "698,00"},
    };
    const int rows = allRows ? std::max(25, filled) : filled;
    for (int r = 0; r < rows; ++r) {
        QStringList cells{QString::number(r + 1)};
        if (r < filled && r < items.size()) {
            cells << items.at(r);
        } else if (r < filled) {
            // Further rows: numbered accessories, 1 piece at 100,00.
            cells << QString("DOP-%1").arg(r + 1, 3, 10, QChar('0'))
                  << QString("Kování a drobné příslušenství č. %1").arg(r + 1) << "ks"
                  << "1"
                  << "100,00"
                  << "21"
                  << "100,00";
        } else {
            cells << ""
                  << ""
                  << ""
                  << ""
                  << ""
                  << ""
                  << "";
        }
        set.addRow(cells);
    }
}

QString TemplatePath(const QString& templateName) {
    return QStringLiteral(PRM1_TEMPLATE_DIR) + u'/' + templateName;
}

LoadedModule::LoadedModule() : library_(QStringLiteral(PRM1_LIBRARY_PATH)) {
    library_.load();
}

LoadedModule::~LoadedModule() {
    library_.unload();
}

int LoadedModule::renderPdf(const QString& templateName, const QString& title,
                            const QString& variables, const Prm1ReportDataSet* dataSet,
                            const QString& pdfPath, QString* message) {
    auto render = reinterpret_cast<Prm1SestavaDoPDFFn>(library_.resolve("SestavaDoPDF"));
    if (render == nullptr)
        throw std::runtime_error("SestavaDoPDF missing");
    const QByteArray path = EncodeCp1250(TemplatePath(templateName));
    const QByteArray titleBytes = EncodeCp1250(title);
    const QByteArray vars = EncodeCp1250(variables);
    const QByteArray pdf = EncodeCp1250(pdfPath);
    char buffer[512] = "x";
    const int result =
        render(path.constData(), titleBytes.isEmpty() ? nullptr : titleBytes.constData(),
               vars.isEmpty() ? nullptr : vars.constData(), dataSet, pdf.constData(), buffer,
               sizeof buffer);
    if (message != nullptr)
        *message = DecodeCp1250(QByteArray(buffer));
    return result;
}

namespace {

QByteArray Run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        throw std::runtime_error(("tool did not finish: " + program).toStdString());
    return process.readAllStandardOutput();
}

} // namespace

QString PdfText(const QString& pdfPath, int page) {
    QStringList args{"-layout", "-enc", "UTF-8"};
    if (page > 0)
        args << "-f" << QString::number(page) << "-l" << QString::number(page);
    args << pdfPath << "-";
    return QString::fromUtf8(Run("pdftotext", args));
}

int PdfPageCount(const QString& pdfPath) {
    const QString info = QString::fromUtf8(Run("pdfinfo", {pdfPath}));
    const QRegularExpressionMatch m =
        QRegularExpression(R"(^Pages:\s+(\d+))", QRegularExpression::MultilineOption).match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QString RenderPagePng(const QString& pdfPath, int page, int dpi, const QString& outputBase) {
    Run("pdftoppm", {"-r", QString::number(dpi), "-f", QString::number(page), "-l",
                     QString::number(page), "-singlefile", "-png", pdfPath, outputBase});
    return outputBase + ".png";
}

QStringList DecodeQrCodes(const QString& pdfPath, int page) {
    const QString png = RenderPagePng(pdfPath, page, 150, pdfPath + "-qr");
    const QString out = QString::fromUtf8(
        Run("zbarimg", {"--quiet", "--raw", "-Sdisable", "-Sqrcode.enable", png}));
    QStringList codes = out.split(u'\n', Qt::SkipEmptyParts);
    return codes;
}

} // namespace tarvela::test
