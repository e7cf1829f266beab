#include "support/XServer.h"

namespace tess::test {

XServer::XServer() {
    m_server.setProgram(QStringLiteral("Xvfb"));
    // -displayfd: the server picks a free display, never one another test holds. -noreset: by
    // default the server resets when its last client leaves and drops whoever connects meanwhile;
    // the tests' own short-lived probes (xdotool) are often that last client.
    m_server.setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"),
                           QStringLiteral("-screen"), QStringLiteral("0"),
                           QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                           QStringLiteral("tcp"), QStringLiteral("-noreset")});
    m_server.start();
    // The server writes its display number once it accepts connections.
    if (m_server.waitForReadyRead(20000))
        m_display = QStringLiteral(":") + QString::fromLatin1(m_server.readLine()).trimmed();
}

XServer::~XServer() {
    m_server.terminate();
    m_server.waitForFinished(5000);
}

}  // namespace tess::test
