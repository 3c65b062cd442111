#pragma once

// Helpers for the tests of the print module: a C data set built from texts, the module loaded as
// the program loads it, and what poppler and zbar read back from a rendered PDF.

#include "printmodule/prm1.h"

#include <QByteArray>
#include <QLibrary>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace tarvela::test {

// A Prm1ReportDataSet with its storage. Text cells are encoded to Windows-1250; integer cells
// are read from decimal text.
class CDataSet {
public:
    void addColumn(const QString& name, int type, int width = 0);
    void addRow(const QStringList& cells);
    const Prm1ReportDataSet* get();

private:
    std::vector<QByteArray> names_;
    std::vector<Prm1Column> columns_;
    std::vector<QStringList> rows_;
    std::vector<QByteArray> texts_;
    std::vector<Prm1Cell> cells_;
    Prm1ReportDataSet set_{};
};

// The variables text "name|value|name|value".
QString JoinVariables(const QList<QPair<QString, QString>>& pairs);

// Realistic variables of an invoice document (the 55 pairs the program hands over).
QList<QPair<QString, QString>> InvoiceVariables(bool vatPayer, const QString& qrText);
// The item data set of an invoice with `filled` rows out of 25 (or exactly `filled` rows when
// allRows is false).
void FillInvoiceItems(CDataSet& set, int filled, bool allRows = true);

// The module, loaded from the build's program folder for the lifetime of the object.
class LoadedModule {
public:
    LoadedModule();
    ~LoadedModule();
    bool isLoaded() const { return library_.isLoaded(); }
    QString errorString() const { return library_.errorString(); }
    QFunctionPointer resolve(const char* name) { return library_.resolve(name); }

    // Renders through SestavaDoPDF; returns its result and puts its message in *message.
    int renderPdf(const QString& templateName, const QString& title, const QString& variables,
                  const Prm1ReportDataSet* dataSet, const QString& pdfPath,
                  QString* message = nullptr);

private:
    QLibrary library_;
};

QString TemplatePath(const QString& templateName); // the build's bin/Ses/<name>

// pdftotext -layout of the whole file or one page (from 1).
QString PdfText(const QString& pdfPath, int page = 0);
// Pages of a PDF (pdfinfo).
int PdfPageCount(const QString& pdfPath);
// Renders a page at 150 dpi and decodes its QR codes with zbarimg; the texts found.
QStringList DecodeQrCodes(const QString& pdfPath, int page);
// Renders a page as PNG at the given resolution; returns the PNG's path.
QString RenderPagePng(const QString& pdfPath, int page, int dpi, const QString& outputBase);

} // namespace tarvela::test
