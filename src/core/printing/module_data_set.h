#pragma once

#include "printmodule/prm1.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace tarvela {

class ReportDataSet;

// A text for the print module: Windows-1250, zero-terminated; the empty text goes as a null
// pointer. A character the code page cannot hold raises EncodingError naming `what`.
class ModuleText {
public:
    ModuleText(const QString& text, const QString& what);
    const char* get() const { return bytes_.isEmpty() ? nullptr : bytes_.constData(); }

private:
    QByteArray bytes_;
};

// A data set as the C structure the print module takes, with the storage its pointers point
// into: column names and text cells in Windows-1250 (an empty text cell is a null pointer),
// integer cells as numbers, text columns with their width. Raises EncodingError, naming the
// column, for a text the code page cannot hold.
class ModuleDataSet {
public:
    explicit ModuleDataSet(const ReportDataSet& dataSet);
    ModuleDataSet(const ModuleDataSet&) = delete;
    ModuleDataSet& operator=(const ModuleDataSet&) = delete;

    const Prm1ReportDataSet* get() const { return &set_; }

private:
    std::vector<QByteArray> names_;
    std::vector<Prm1Column> columns_;
    std::vector<QByteArray> texts_;
    std::vector<Prm1Cell> cells_;
    Prm1ReportDataSet set_{};
};

} // namespace tarvela
