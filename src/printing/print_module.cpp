#include "printing/print_module.h"

#include "printing/report_data_set.h"
#include "printmodule/prm1.h"
#include "text/codec.h"
#include "text/errors.h"
#include "text/message_boxes.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>

#include <vector>

namespace tarvela {
namespace {

const QString kCaptionWarning = QStringLiteral("Upozornění");
const QString kModuleMissing = QStringLiteral("Nebyl nalezen modul tisku.");
const QString kCannotLoad = QStringLiteral("Nelze načíst DLL!");
const QString kNoProcedure = QStringLiteral("Knihovna neobsahuje požadovanou proceduru!");

PrintModule* gOverride = nullptr;

// The library, unloaded when this goes out of scope whatever happened meanwhile.
class ScopedLibrary {
public:
    explicit ScopedLibrary(const QString& programFolder)
        : library_(programFolder + PrintModuleFileName()) {}
    ~ScopedLibrary() {
        if (library_.isLoaded())
            library_.unload();
    }
    ScopedLibrary(const ScopedLibrary&) = delete;
    ScopedLibrary& operator=(const ScopedLibrary&) = delete;

    bool load() { return library_.load(); }
    QFunctionPointer resolve(const char* name) { return library_.resolve(name); }

private:
    QLibrary library_;
};

// A text for the module: Windows-1250, zero-terminated; the empty text goes as a null pointer.
class CText {
public:
    CText(const QString& text, const QString& what) : bytes_(EncodeCp1250(text, what)) {}
    const char* get() const { return bytes_.isEmpty() ? nullptr : bytes_.constData(); }

private:
    QByteArray bytes_;
};

// The data set as the C structure of prm1.h, with the storage its pointers point into.
class CDataSet {
public:
    explicit CDataSet(const ReportDataSet& dataSet) {
        const auto& columns = dataSet.columns();
        names_.reserve(static_cast<size_t>(columns.size()));
        for (const ReportDataSet::Column& column : columns) {
            names_.push_back(EncodeCp1250(column.name, column.name));
            columns_.push_back(Prm1Column{names_.back().constData(), CType(column.type),
                                          column.type == ReportDataSet::ColumnType::Text
                                              ? static_cast<int32_t>(column.width)
                                              : 0});
        }
        const size_t cellCount = static_cast<size_t>(dataSet.rowCount()) * columns_.size();
        texts_.reserve(cellCount);
        cells_.reserve(cellCount);
        for (int r = 0; r < dataSet.rowCount(); ++r) {
            const QStringList& row = dataSet.row(r);
            for (qsizetype c = 0; c < columns.size(); ++c) {
                Prm1Cell cell{nullptr, 0};
                if (columns.at(c).type == ReportDataSet::ColumnType::Text) {
                    texts_.push_back(EncodeCp1250(row.at(c), columns.at(c).name));
                    if (!texts_.back().isEmpty())
                        cell.text = texts_.back().constData();
                } else {
                    cell.integer = row.at(c).toLongLong();
                }
                cells_.push_back(cell);
            }
        }
        set_.structSize = sizeof(Prm1ReportDataSet);
        set_.columnCount = static_cast<int32_t>(columns_.size());
        set_.columns = columns_.empty() ? nullptr : columns_.data();
        set_.rowCount = dataSet.rowCount();
        set_.cells = cells_.empty() ? nullptr : cells_.data();
    }
    CDataSet(const CDataSet&) = delete;
    CDataSet& operator=(const CDataSet&) = delete;

    const Prm1ReportDataSet* get() const { return &set_; }

private:
    static int32_t CType(ReportDataSet::ColumnType type) {
        switch (type) {
        case ReportDataSet::ColumnType::AutoIncrement:
            return PRM1_COLUMN_AUTOINC;
        case ReportDataSet::ColumnType::Integer:
            return PRM1_COLUMN_INTEGER;
        case ReportDataSet::ColumnType::Text:
            break;
        }
        return PRM1_COLUMN_TEXT;
    }

    std::vector<QByteArray> names_;
    std::vector<Prm1Column> columns_;
    std::vector<QByteArray> texts_;
    std::vector<Prm1Cell> cells_;
    Prm1ReportDataSet set_{};
};

// Checks 1 and 2 of a report: false (after telling the user) when the module or the template is
// missing.
bool ModuleAndTemplateExist(const QString& programFolder, const QString& templatePath) {
    if (!QFileInfo::exists(programFolder + PrintModuleFileName())) {
        ShowWarning(kCaptionWarning, kModuleMissing);
        return false;
    }
    if (!QFileInfo::exists(templatePath)) {
        ShowInfoCaption(kCaptionWarning,
                        QStringLiteral("Sestavu nelze spustit, nebyl nalezen soubor předlohy \"") +
                            templatePath + QStringLiteral("\"."));
        return false;
    }
    return true;
}

void* ApplicationObject() {
    return QCoreApplication::instance();
}

} // namespace

QString PrintModuleFileName() {
#if defined(Q_OS_WIN)
    return QStringLiteral("PRM1.dll");
#elif defined(Q_OS_MACOS)
    return QStringLiteral("libPRM1.dylib");
#else
    return QStringLiteral("libPRM1.so");
#endif
}

void LibraryPrintModule::runStandardReport(const QString& programFolder,
                                           const QString& templatePath, const QString& title,
                                           const QString& variables, const ReportDataSet& dataSet) {
    if (!ModuleAndTemplateExist(programFolder, templatePath))
        return;
    const CText path(templatePath, QStringLiteral("Předloha sestavy"));
    const CText name(title, QStringLiteral("Název sestavy"));
    const CText values(variables, QStringLiteral("Údaje sestavy"));
    const CDataSet rows(dataSet);

    ScopedLibrary library(programFolder);
    if (!library.load())
        throw TarvelaError(kCannotLoad);
    const auto entry = reinterpret_cast<Prm1SestavaStandardFn>(library.resolve("SestavaStandard"));
    if (entry == nullptr) {
        ShowInfo(kNoProcedure);
        return;
    }
    entry(ApplicationObject(), path.get(), name.get(), values.get(), PRM1_MODE_PREVIEW, rows.get());
}

void LibraryPrintModule::runPlainReport(const QString& programFolder, const QString& templatePath,
                                        const QString& title, const QString& variables) {
    if (!ModuleAndTemplateExist(programFolder, templatePath))
        return;
    const CText path(templatePath, QStringLiteral("Předloha sestavy"));
    const CText name(title, QStringLiteral("Název sestavy"));
    const CText values(variables, QStringLiteral("Údaje sestavy"));

    ScopedLibrary library(programFolder);
    if (!library.load())
        throw TarvelaError(kCannotLoad);
    const auto entry = reinterpret_cast<Prm1SestavaNeDBFn>(library.resolve("SestavaNeDB"));
    if (entry == nullptr) {
        ShowInfo(kNoProcedure);
        return;
    }
    entry(ApplicationObject(), path.get(), name.get(), values.get(), PRM1_MODE_PREVIEW);
}

QString LibraryPrintModule::printModuleVersion(const QString& programFolder) {
    ScopedLibrary library(programFolder);
    if (!library.load()) {
        ShowInfo(kCannotLoad);
        return QString();
    }
    const auto entry =
        reinterpret_cast<Prm1OznaceniVerzeDLLFn>(library.resolve("OznaceniVerzeDLL"));
    if (entry == nullptr) {
        ShowInfo(kNoProcedure);
        return QString();
    }
    const char* label = entry();
    // Copied before the library goes away with the text.
    return label == nullptr ? QString() : DecodeCp1250(QByteArray(label));
}

PrintModule& CurrentPrintModule() {
    static LibraryPrintModule library;
    return gOverride != nullptr ? *gOverride : library;
}

PrintModuleOverride::PrintModuleOverride(PrintModule& module) : previous_(gOverride) {
    gOverride = &module;
}

PrintModuleOverride::~PrintModuleOverride() {
    gOverride = previous_;
}

void RunStandardReport(const QString& programFolder, const QString& templatePath,
                       const QString& title, const QString& variables,
                       const ReportDataSet& dataSet) {
    CurrentPrintModule().runStandardReport(programFolder, templatePath, title, variables, dataSet);
}

void RunPlainReport(const QString& programFolder, const QString& templatePath, const QString& title,
                    const QString& variables) {
    CurrentPrintModule().runPlainReport(programFolder, templatePath, title, variables);
}

QString GetPrintModuleVersion(const QString& programFolder) {
    return CurrentPrintModule().printModuleVersion(programFolder);
}

} // namespace tarvela
