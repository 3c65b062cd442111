#include "app/application.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "text/message_boxes.h"

namespace tarvela {

TarvelaApplication::TarvelaApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TarvelaApplication::notify(QObject* receiver, QEvent* event) {
    bool result = false;
    RunGuarded([&] { result = QApplication::notify(receiver, event); });
    return result;
}

void SetUpApplication(QApplication& app) {
    QApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    QLocale::setDefault(QLocale(QLocale::Czech, QLocale::CzechRepublic));

    auto* translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Czech, QLocale::CzechRepublic), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
    else
        delete translator;
}

} // namespace tarvela
