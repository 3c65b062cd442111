// A PDF from a process without a Qt application (a plain C caller): the module makes a
// QGuiApplication for the call and loads neither its preview library nor Qt Print Support or
// CUPS (nor Qt Widgets, when the process had not loaded it).
#include "printmodule/prm1.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string MappedFiles() {
    std::ifstream maps("/proc/self/maps");
    std::stringstream text;
    text << maps.rdbuf();
    return text.str();
}

} // namespace

TEST(Prm1PdfProcess, APdfLoadsNeitherThePreviewNorThePrinter) {
    const bool widgetsBefore = MappedFiles().find("libQt6Widgets") != std::string::npos;
    const std::string folder = testing::TempDir();
    const std::string templatePath = folder + "/pdf_process.fr3";
    const std::string pdfPath = folder + "/pdf_process.pdf";
    std::ofstream(templatePath) << "<p>{{Text}}</p>\n";

    void* module = dlopen(PRM1_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    auto render = reinterpret_cast<Prm1SestavaDoPDFFn>(dlsym(module, "SestavaDoPDF"));
    ASSERT_NE(render, nullptr);
    char message[256] = "";
    EXPECT_EQ(render(templatePath.c_str(), "Zkouska", "Text|Faktura", nullptr, pdfPath.c_str(),
                     message, sizeof message),
              1)
        << message;
    const std::string after = MappedFiles();
    dlclose(module);

    EXPECT_NE(after.find("libQt6Gui"), std::string::npos);
    for (const char* name : {"libPRM1ui", "libQt6PrintSupport", "libcups"}) {
        EXPECT_EQ(after.find(name), std::string::npos) << name << " is loaded";
    }
    if (!widgetsBefore) {
        EXPECT_EQ(after.find("libQt6Widgets"), std::string::npos) << "Qt Widgets is loaded";
    }
    EXPECT_GT(std::ifstream(pdfPath, std::ios::binary | std::ios::ate).tellg(), 1000);
}
