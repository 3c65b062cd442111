// Every writer of an invoice file makes its work survive a power loss: the new bytes reach the
// disk before the rename puts them in place, and the folder reaches the disk after it, so that
// the rename itself is not lost. The test's own fsync, rename and renameat2 stand in front of the
// C library's (the program calls them through it) and record what was synced and renamed.
#include "editor/invoice_book.h"
#include "invoice/invoice_file.h"
#include "invoice/invoice_store.h"
#include "support/test_support.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <mutex>
#include <string>
#include <vector>

namespace {

std::mutex journalLock;
std::vector<std::string> journal; // "sync <path>", "rename <from> <to>"

std::string PathOfDescriptor(int fd) {
    char target[4096];
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t size = ::readlink(link.c_str(), target, sizeof target - 1);
    return size < 0 ? std::string("?") : std::string(target, static_cast<size_t>(size));
}

void Note(std::string entry) {
    const std::lock_guard<std::mutex> guard(journalLock);
    journal.push_back(std::move(entry));
}

template <typename F> F Next(const char* name) {
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" int fsync(int fd) {
    Note("sync " + PathOfDescriptor(fd));
    static const auto next = Next<int (*)(int)>("fsync");
    return next(fd);
}

extern "C" int rename(const char* from, const char* to) noexcept {
    Note(std::string("rename ") + from + " " + to);
    static const auto next = Next<int (*)(const char*, const char*)>("rename");
    return next(from, to);
}

extern "C" int renameat2(int fromDir, const char* from, int toDir, const char* to,
                         unsigned int flags) noexcept {
    Note(std::string("rename ") + from + " " + to);
    static const auto next =
        Next<int (*)(int, const char*, int, const char*, unsigned int)>("renameat2");
    return next(fromDir, from, toDir, to, flags);
}

namespace tarvela {
namespace {

using namespace Qt::StringLiterals;

// Checks the journal of one write of `file`: the temporary file renamed onto it was synced
// before, and its folder after the rename.
void ExpectDurableWrite(const QString& file) {
    const std::string target = QDir::cleanPath(file).toStdString();
    const std::string folder = QFileInfo(file).absolutePath().toStdString();
    const std::lock_guard<std::mutex> guard(journalLock);
    std::ptrdiff_t renamed = -1;
    std::string temporary;
    for (size_t i = 0; i < journal.size(); ++i) {
        const std::string& e = journal[i];
        const std::string suffix = " " + target;
        if (e.rfind("rename ", 0) == 0 && e.size() > suffix.size() &&
            e.compare(e.size() - suffix.size(), suffix.size(), suffix) == 0) {
            renamed = static_cast<std::ptrdiff_t>(i);
            temporary = e.substr(7, e.size() - 7 - suffix.size());
        }
    }
    ASSERT_GE(renamed, 0) << "no rename onto " << target;
    const auto begin = journal.begin();
    EXPECT_NE(std::find(begin, begin + renamed, "sync " + temporary), begin + renamed)
        << "the new bytes were not synced before the rename";
    EXPECT_NE(std::find(begin + renamed, journal.end(), "sync " + folder), journal.end())
        << "the folder was not synced after the rename";
    journal.clear();
}

TEST(DurableWrites, EveryWriterOfAnInvoiceSyncsTheFileAndThenItsFolder) {
    test::TempProgramFolder folder;
    const InvoiceStore store(folder.path());
    ASSERT_TRUE(store.EnsurePeriodFolder(2026));
    InvoiceRecord r;
    r.Cislo = u"2026001"_s;
    r.OdberatelNazev1 = u"Odběratel"_s;
    const QString file = folder.file(u"2026/2026001.tvl"_s);

    journal.clear();
    store.CreateInvoice(2026, r);
    ExpectDurableWrite(file);

    r.OdberatelNazev1 = u"Jiný odběratel"_s;
    store.SaveInvoice(2026, r);
    ExpectDurableWrite(file);

    MarkInvoicePaid(file, QDate(2026, 3, 4), 12100);
    ExpectDurableWrite(file);
    EXPECT_TRUE(folder.readBytes(u"2026/2026001.tvl"_s).contains("121,00"));
}

} // namespace
} // namespace tarvela
