#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <functional>
#include <memory>

namespace tarvela {

// HTTP GET requests of the fetchers (the bank's rates, the business register). The network
// library is not part of the program: the requests are made by the network module, a shared
// library beside the program (libTarvelaNet.so) that is loaded on the first request, so a start
// of the program without any look-up never loads the network library.

// What came back.
struct HttpAnswer {
    int status = 0;          // the HTTP status; 0 when no HTTP answer came at all
    bool transferOk = false; // the transfer ended without an error (status below 400)
    QByteArray body;         // the answer's body (also of an error page)
    QString moduleError;     // not empty when the network module could not be loaded
};

// A request on its way: destroying it abandons the request, and its callback never runs.
class HttpTransfer {
public:
    virtual ~HttpTransfer() = default;
};

using HttpHeaders = QList<QPair<QByteArray, QByteArray>>;

// Starts a GET of `url` with the headers given; `done` runs once from the event loop with the
// answer. transferTimeoutMs: the longest pause in the transfer before it is given up (0: none).
// When the module cannot be loaded, `done` runs (from the event loop too) with moduleError set.
std::unique_ptr<HttpTransfer> StartHttpGet(const QString& url, const HttpHeaders& headers,
                                           int transferTimeoutMs,
                                           std::function<void(const HttpAnswer&)> done);

// The file name of the network module on this platform ("libTarvelaNet.so").
QString NetModuleFileName();

// The interface the module gives through its entry point kHttpModuleEntry (a function without
// arguments that returns the module's one HttpModule). Only the program and its module use it.
class HttpModule {
public:
    virtual ~HttpModule() = default;
    virtual std::unique_ptr<HttpTransfer> Get(const QString& url, const HttpHeaders& headers,
                                              int transferTimeoutMs,
                                              std::function<void(const HttpAnswer&)> done) = 0;
};
inline constexpr char kHttpModuleEntry[] = "TarvelaHttpModule";

} // namespace tarvela
