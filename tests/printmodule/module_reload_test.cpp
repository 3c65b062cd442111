// The program loads the print module for each print and unloads it afterwards. Nothing the
// module handed to Qt may outlive the unloading: after a print the module is unloaded, its old
// address range is mapped again without access rights, and the next print through a freshly
// loaded module must still succeed. Anything of the old module still referenced by Qt's
// process-wide caches (font families, strings, types) faults on that mapping.
#include "printmodule/prm1_test_support.h"
#include "support/test_support.h"
#include "text/codec.h"

#include <QApplication>
#include <QFileInfo>
#include <QtTest>

#include <dlfcn.h>
#include <link.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <utility>
#include <vector>

using namespace tarvela::test;

namespace {

using Range = std::pair<uintptr_t, size_t>;

// The loaded segments of the library with this file name.
std::vector<Range> SegmentsOf(const char* path) {
    struct Search {
        const char* path;
        std::vector<Range> ranges;
    } search{path, {}};
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* data) {
            auto* s = static_cast<Search*>(data);
            if (info->dlpi_name == nullptr || std::strcmp(info->dlpi_name, s->path) != 0)
                return 0;
            const auto page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
            for (int i = 0; i < info->dlpi_phnum; ++i) {
                const ElfW(Phdr)& ph = info->dlpi_phdr[i];
                if (ph.p_type != PT_LOAD)
                    continue;
                const uintptr_t start = (info->dlpi_addr + ph.p_vaddr) & ~(page - 1);
                const uintptr_t end =
                    (info->dlpi_addr + ph.p_vaddr + ph.p_memsz + page - 1) & ~(page - 1);
                s->ranges.push_back({start, end - start});
            }
            return 1;
        },
        &search);
    return search.ranges;
}

int PrintOnce(void* library, const QString& pdf, QString* message) {
    auto render = reinterpret_cast<Prm1SestavaDoPDFFn>(dlsym(library, "SestavaDoPDF"));
    if (render == nullptr)
        return -1000;
    CDataSet items;
    FillInvoiceItems(items, 3);
    const QByteArray templ = tarvela::EncodeCp1250(TemplatePath("Faktura.fr3"));
    const QByteArray vars = tarvela::EncodeCp1250(JoinVariables(InvoiceVariables(true, "")));
    const QByteArray out = tarvela::EncodeCp1250(pdf);
    char buffer[512] = "";
    const int pages = render(templ.constData(), "Faktura", vars.constData(), items.get(),
                             out.constData(), buffer, sizeof buffer);
    *message = tarvela::DecodeCp1250(QByteArray(buffer));
    return pages;
}

} // namespace

class ModuleReloadTest : public QObject {
    Q_OBJECT
private slots:
    void printAfterUnloadWithOldRangeMapped();
};

void ModuleReloadTest::printAfterUnloadWithOldRangeMapped() {
    TempProgramFolder folder;
    const char* path = PRM1_LIBRARY_PATH;
    QString message;

    void* first = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    QVERIFY2(first != nullptr, dlerror());
    const std::vector<Range> old = SegmentsOf(path);
    QVERIFY(!old.empty());
    QCOMPARE(PrintOnce(first, folder.file("first.pdf"), &message), 1);
    QVERIFY2(message.isEmpty(), qPrintable(message));
    QCOMPARE(dlclose(first), 0);
    // The module really goes away with its last handle, as the program relies on.
    QVERIFY(dlopen(path, RTLD_NOW | RTLD_NOLOAD) == nullptr);

    // Whatever still points into the old module now faults instead of reading stale bytes.
    std::vector<Range> blocked;
    for (const auto& [start, size] : old) {
        void* at = mmap(reinterpret_cast<void*>(start), size, PROT_NONE,
                        MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED_NOREPLACE, -1, 0);
        if (at != MAP_FAILED)
            blocked.push_back({start, size});
    }
    QVERIFY2(!blocked.empty(), "the old range of the module could not be mapped again");

    void* second = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    QVERIFY2(second != nullptr, dlerror());
    QCOMPARE(PrintOnce(second, folder.file("second.pdf"), &message), 1);
    QVERIFY2(message.isEmpty(), qPrintable(message));
    QVERIFY(QFileInfo(folder.file("second.pdf")).size() > 1000);
    QCOMPARE(PdfPageCount(folder.file("second.pdf")), 1);
    dlclose(second);
    for (const auto& [start, size] : blocked)
        munmap(reinterpret_cast<void*>(start), size);
}

QTEST_MAIN(ModuleReloadTest)
#include "module_reload_test.moc"
