// A report whose table rows are arbitrary text (tags, entities, spaces) painted through both of
// the print module's layouts: the rows painted directly give the same pages as Qt's general
// layout, or the report is refused the same way by both.

#include "fuzz_support.h"

#include "report_data.h"
#include "report_layout.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPdfWriter>

#include <memory>
#include <optional>

using namespace tarvela::fuzz;
using namespace tarvela::prm1;

namespace {

// The page count, or the error's code.
std::optional<int> Paint(const RenderedReport& report, LayoutPath path, int* error) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(150);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    try {
        return PaintReport(report, writer, path);
    } catch (const ReportError& e) {
        TARVELA_FUZZ_CHECK(!e.message().isEmpty(), "a refusal says why");
        *error = e.code();
        return std::nullopt;
    }
}

} // namespace

// Fontconfig keeps its caches for the life of the process (as in scripts/lsan.supp, which the
// fuzz stage does not pass on).
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:libdbus-1.so\n";
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static auto* application = new QGuiApplication(*argc, *argv);
    (void)application;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider provider(data, size);
    const int columns = provider.ConsumeIntegralInRange(1, 4);
    QString html = QStringLiteral("<p>Úvod</p><table width=\"100%\" cellspacing=\"%1\" "
                                  "cellpadding=\"%2\"><thead><tr>")
                       .arg(provider.ConsumeIntegralInRange(0, 3))
                       .arg(provider.ConsumeIntegralInRange(0, 6));
    for (int c = 0; c < columns; ++c)
        html += QStringLiteral("<td>Sloupec %1</td>").arg(c);
    html += QStringLiteral("</tr></thead>");
    const int rows = provider.ConsumeIntegralInRange(1, 60);
    static const char* const attributes[] = {"", " class=\"nw\"", " align=\"right\"",
                                             " style=\"white-space: nowrap\"",
                                             " bgcolor=\"#f2f4f7\""};
    for (int r = 0; r < rows && provider.remaining_bytes() > 0; ++r) {
        html += provider.ConsumeBool() ? QStringLiteral("<tr bgcolor=\"#eeeeee\">")
                                       : QStringLiteral("<tr>");
        for (int c = 0; c < columns; ++c) {
            html += QStringLiteral("<td") +
                    QLatin1String(attributes[provider.ConsumeIntegralInRange(0, 4)]) +
                    QStringLiteral(">") +
                    QString::fromUtf8(provider.ConsumeRandomLengthString(60)) +
                    QStringLiteral("</td>");
        }
        html += QStringLiteral("</tr>\n");
    }
    html += QStringLiteral("</table><p>Závěr</p>");
    RenderedReport report;
    report.html = QStringLiteral("<style>.nw { white-space: nowrap; }</style>") + html;
    report.title = QStringLiteral("Zkouška");
    report.templateName = QStringLiteral("zkouska.fr3");

    int generalError = 0;
    int directError = 0;
    const std::optional<int> general = Paint(report, LayoutPath::General, &generalError);
    const std::optional<int> direct = Paint(report, LayoutPath::DirectRows, &directError);
    TARVELA_FUZZ_CHECK(general.has_value() == direct.has_value(),
                       "both layouts paint the report or both refuse it", report.html.left(2000));
    TARVELA_FUZZ_CHECK(!general || *general == *direct, "both layouts give the same pages",
                       report.html.left(2000));
    TARVELA_FUZZ_CHECK(general || generalError == directError,
                       "both layouts refuse the report the same way");
    return 0;
}
