#include "WindowShown.h"

#include <poll.h>
#include <xcb/xcb.h>

#include <QElapsedTimer>
#include <QProcess>
#include <cstdlib>
#include <memory>
#include <vector>

namespace tess::bench {
namespace {

constexpr qint64 kPatienceMs = 60000;

using Connection = std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)>;

QString Title(xcb_connection_t* x, xcb_window_t window) {
    const xcb_get_property_cookie_t cookie = xcb_get_property(
        x, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024);
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(x, cookie, nullptr), &std::free);
    if (!reply) return QString();
    return QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(reply.get())),
                             xcb_get_property_value_length(reply.get()));
}

/// The windows mapped since the last call, each with the milliseconds at which it was seen.
std::vector<std::pair<xcb_window_t, double>> Mapped(xcb_connection_t* x,
                                                    const QElapsedTimer& clock) {
    std::vector<std::pair<xcb_window_t, double>> mapped;
    pollfd readable{xcb_get_file_descriptor(x), POLLIN, 0};
    poll(&readable, 1, 100);
    while (xcb_generic_event_t* event = xcb_poll_for_event(x)) {
        if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY) {
            mapped.emplace_back(reinterpret_cast<xcb_map_notify_event_t*>(event)->window,
                                static_cast<double>(clock.nsecsElapsed()) / 1e9);
        }
        std::free(event);
    }
    return mapped;
}

}  // namespace

double SecondsToWindow(const QString& display, const QString& program,
                       const QStringList& arguments, QProcessEnvironment environment,
                       const QString& title) {
    Connection x(xcb_connect(display.toLatin1().constData(), nullptr), &xcb_disconnect);
    if (xcb_connection_has_error(x.get())) return -1;
    // Every window mapped on the screen is told to us, the program's main window among them.
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x.get())).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x.get(), root, XCB_CW_EVENT_MASK, &mask);
    std::free(xcb_get_input_focus_reply(x.get(), xcb_get_input_focus(x.get()), nullptr));

    environment.insert(QStringLiteral("DISPLAY"), display);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    QProcess started;
    started.setProcessEnvironment(environment);
    started.setStandardOutputFile(QProcess::nullDevice());
    started.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    started.start(program, arguments);
    if (!started.waitForStarted(10000)) return -1;
    double seconds = -1;
    while (seconds < 0 && clock.elapsed() < kPatienceMs) {
        if (started.waitForFinished(0) || started.state() == QProcess::NotRunning) break;
        for (const auto& [window, at] : Mapped(x.get(), clock)) {
            if (Title(x.get(), window).contains(title)) seconds = at;
        }
    }
    started.kill();
    started.waitForFinished(5000);
    return seconds;
}

}  // namespace tess::bench
