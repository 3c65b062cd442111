#include "net/http_get.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <QTimer>

namespace tarvela {

namespace {

// The module once loaded; it stays loaded while the program runs (its requests may still be on
// their way when the window that asked is gone).
HttpModule* g_module = nullptr;

HttpModule* LoadModule(QString& error) {
    if (g_module)
        return g_module;
    const QString path =
        QCoreApplication::applicationDirPath() + QDir::separator() + NetModuleFileName();
    auto* library = new QLibrary(path);
    if (!library->load()) {
        error = QStringLiteral("Síťový modul programu (%1) se nepodařilo načíst: %2. Program "
                               "je třeba znovu nainstalovat.")
                    .arg(QDir::toNativeSeparators(path), library->errorString());
        delete library;
        return nullptr;
    }
    using Entry = HttpModule* (*)();
    auto entry = reinterpret_cast<Entry>(library->resolve(kHttpModuleEntry));
    if (!entry) {
        error = QStringLiteral("Síťový modul programu (%1) je poškozený. Program je třeba znovu "
                               "nainstalovat.")
                    .arg(QDir::toNativeSeparators(path));
        library->unload();
        delete library;
        return nullptr;
    }
    g_module = entry();
    return g_module;
}

// A request that could not be made: its answer follows from the event loop like any other,
// unless the transfer is gone by then.
class RefusedTransfer final : public HttpTransfer {
public:
    RefusedTransfer(const QString& error, std::function<void(const HttpAnswer&)> done) {
        QTimer::singleShot(0, [alive = std::weak_ptr<bool>(alive_), error, done = std::move(done)] {
            if (alive.expired())
                return;
            HttpAnswer answer;
            answer.moduleError = error;
            done(answer);
        });
    }

private:
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace

QString NetModuleFileName() {
#if defined(Q_OS_WIN)
    return QStringLiteral("TarvelaNet.dll");
#elif defined(Q_OS_MACOS)
    return QStringLiteral("libTarvelaNet.dylib");
#else
    return QStringLiteral("libTarvelaNet.so");
#endif
}

QByteArray HttpAnswer::header(const QByteArray& name) const {
    for (const auto& [key, value] : headers)
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    return {};
}

QByteArray HttpAnswer::mediaType() const {
    const QByteArray type = header("Content-Type");
    const qsizetype end = type.indexOf(';');
    return (end < 0 ? type : type.left(end)).trimmed().toLower();
}

QString ContentTypeText(const HttpAnswer& answer) {
    const QByteArray type = answer.mediaType();
    if (type.isEmpty())
        return QStringLiteral("žádný");
    QString text;
    for (const char c : type.left(60))
        text += c >= 0x20 && c < 0x7f ? QLatin1Char(c) : QLatin1Char('?');
    return type.size() > 60 ? text + QStringLiteral("…") : text;
}

std::unique_ptr<HttpTransfer> StartHttpRequest(const HttpRequest& request,
                                               std::function<void(const HttpAnswer&)> done) {
    QString error;
    HttpModule* module = LoadModule(error);
    if (!module)
        return std::make_unique<RefusedTransfer>(error, std::move(done));
    return module->Start(request, std::move(done));
}

std::unique_ptr<HttpTransfer> StartHttpGet(const QString& url, const HttpHeaders& headers,
                                           int transferTimeoutMs,
                                           std::function<void(const HttpAnswer&)> done) {
    HttpRequest request;
    request.url = url;
    request.headers = headers;
    request.transferTimeoutMs = transferTimeoutMs;
    return StartHttpRequest(request, std::move(done));
}

} // namespace tarvela
