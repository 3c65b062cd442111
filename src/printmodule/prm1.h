/*
 * prm1.h - the interface of the print module PRM1.
 *
 * The program and the module share this header and the header-only Windows-1250 code-page table
 * (src/core/text), and no other code. The module is a shared library
 * ("libPRM1.so" on Linux, "PRM1.dll" on Windows) that the program loads from its own folder for
 * each call and unloads afterwards. Every entry point has C linkage; no C++ object crosses the
 * boundary.
 *
 * Texts: every text argument is zero-terminated and encoded in Windows-1250 (the Czech code
 * page). An empty text is passed as a null pointer; the module treats a null pointer and ""
 * alike. The module does not keep any pointer after the call returns.
 *
 * Variables: one text in which names and values alternate, each separated from the next by "|"
 * ("Nazev1|FAKTURA|Nazev2|Číslo faktury:"). A name without a value gets the empty value; when a
 * name occurs twice, the later value wins.
 *
 * Threads: call from the thread that runs the program's QApplication. When the process has no
 * QApplication, the module makes one for the duration of the call.
 */
#ifndef TARVELA_PRM1_H
#define TARVELA_PRM1_H

#include <stdint.h>

#if defined(_WIN32) && (defined(_M_IX86) || defined(__i386__))
#define PRM1_CALL __stdcall
#else
#define PRM1_CALL
#endif

/* The preview library: the module loads it from its own folder for a preview or a print, so a
   program installs it beside the module. A PDF does not need it. */
#if defined(_WIN32)
#define PRM1_PREVIEW_LIBRARY "PRM1ui.dll"
#elif defined(__APPLE__)
#define PRM1_PREVIEW_LIBRARY "libPRM1ui.dylib"
#else
#define PRM1_PREVIEW_LIBRARY "libPRM1ui.so"
#endif

#if defined(PRM1_BUILDING)
#if defined(_WIN32)
#define PRM1_API __declspec(dllexport)
#else
#define PRM1_API __attribute__((visibility("default")))
#endif
#else
#define PRM1_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Column types of a data set. */
enum {
    PRM1_COLUMN_AUTOINC = 0, /* integer row key; the cell's "integer" holds it */
    PRM1_COLUMN_INTEGER = 1, /* integer; the cell's "integer" holds it */
    PRM1_COLUMN_TEXT = 2     /* text of at most "width" characters; the cell's "text" holds it */
};

typedef struct Prm1Column {
    const char* name; /* Windows-1250, zero-terminated, not null */
    int32_t type;     /* PRM1_COLUMN_... */
    int32_t width;    /* characters, for text columns; 0 for the others */
} Prm1Column;

typedef struct Prm1Cell {
    const char* text; /* text columns: Windows-1250, zero-terminated; null for an empty cell */
    int64_t integer;  /* integer and auto-increment columns */
} Prm1Cell;

/*
 * A table of rows handed to a report ("data set"). The cells are stored row by row:
 * the cell of row r (from 0) and column c (from 0) is cells[r * columnCount + c].
 */
typedef struct Prm1ReportDataSet {
    uint32_t structSize; /* sizeof(Prm1ReportDataSet) of the caller */
    int32_t columnCount;
    const Prm1Column* columns;
    int32_t rowCount;
    const Prm1Cell* cells;
} Prm1ReportDataSet;

/* The value of the "mode" argument: show the print preview, from which the user prints. */
#define PRM1_MODE_PREVIEW 1

/*
 * The module's version label ("1.0.0"), a static Windows-1250 text owned by the module. It stays
 * valid until the module is unloaded: copy it before that.
 */
PRM1_API const char* PRM1_CALL OznaceniVerzeDLL(void);

/*
 * Renders the template with the variables and the rows of the data set and shows the modal print
 * preview, titled with the report title, from which the user prints or saves a PDF. Returns when
 * the user closes the preview. "application" is the caller's QApplication (or null); the module
 * uses the running application of the process. "mode" is PRM1_MODE_PREVIEW. A template that
 * cannot be read or has an error is reported to the user in a message box.
 */
PRM1_API void PRM1_CALL SestavaStandard(void* application, const char* templatePath,
                                        const char* title, const char* variables, int32_t mode,
                                        const Prm1ReportDataSet* dataSet);

/* The same for a report without rows. */
PRM1_API void PRM1_CALL SestavaNeDB(void* application, const char* templatePath, const char* title,
                                    const char* variables, int32_t mode);

/*
 * Renders the report to a PDF file (A4) without showing anything: the same pages the preview
 * shows. dataSet may be null for a report without rows. Returns the number of pages written
 * (at least 1), or a negative PRM1_ERROR_... code; then, when "message" is not null, a
 * zero-terminated Windows-1250 description of at most messageSize bytes is written to it.
 */
PRM1_API int32_t PRM1_CALL SestavaDoPDF(const char* templatePath, const char* title,
                                        const char* variables, const Prm1ReportDataSet* dataSet,
                                        const char* pdfPath, char* message, int32_t messageSize);

#define PRM1_ERROR_TEMPLATE_UNREADABLE (-1) /* the template file cannot be read */
#define PRM1_ERROR_TEMPLATE_INVALID (-2)    /* the template has a mustache error */
#define PRM1_ERROR_OUTPUT (-3)              /* the PDF cannot be written */
#define PRM1_ERROR_ARGUMENTS (-4)           /* a bad argument or data set, or no GUI possible */

/* Pointer types for loading the entry points by name. */
typedef const char*(PRM1_CALL* Prm1OznaceniVerzeDLLFn)(void);
typedef void(PRM1_CALL* Prm1SestavaStandardFn)(void*, const char*, const char*, const char*,
                                               int32_t, const Prm1ReportDataSet*);
typedef void(PRM1_CALL* Prm1SestavaNeDBFn)(void*, const char*, const char*, const char*, int32_t);
typedef int32_t(PRM1_CALL* Prm1SestavaDoPDFFn)(const char*, const char*, const char*,
                                               const Prm1ReportDataSet*, const char*, char*,
                                               int32_t);

#ifdef __cplusplus
}
#endif

#endif /* TARVELA_PRM1_H */
