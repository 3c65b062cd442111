#pragma once

#include <QString>

class QPagedPaintDevice;

namespace tarvela::prm1 {

// A report ready to be put on paper: the expanded HTML, its title and the QR payment text.
struct RenderedReport {
    QString html;
    QString title;
    QString qrText;
    QString fileName; // variable NazevSouboru: the proposed name of a saved PDF, without ".pdf"
    QString qrReason; // variable QRDuvod: why the payment code is missing or shortened
};

// Lays the report out on the device's paper (A4 unless the user chose otherwise) and paints
// every page: the body within the page margins, and in the bottom margin a footer with the title
// and "Strana n z m". The device's page margins must be zero; the device is used from its paper
// corner. Returns the number of pages.
int PaintReport(const RenderedReport& report, QPagedPaintDevice& device);

// Writes the report as an A4 PDF file. Returns the number of pages; raises ReportError
// (PRM1_ERROR_OUTPUT) when the file cannot be written.
int WritePdf(const RenderedReport& report, const QString& path);

} // namespace tarvela::prm1
