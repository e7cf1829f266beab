#pragma once

#include <QProcess>
#include <QString>

// A virtual X server of its own, 1280 x 1024, for the tests and benchmarks that start the
// desktop program as a person would; it ends with the object.
namespace tess::test {

class XServer {
public:
    XServer();
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    /// The display (":n"); empty when the server could not start.
    const QString& Display() const { return m_display; }

private:
    QProcess m_server;
    QString m_display;
};

}  // namespace tess::test
