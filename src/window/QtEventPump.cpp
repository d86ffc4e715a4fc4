#include "QtEventPump.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>

namespace mirvane {

// A key sent on another connection reaches ours before the server answers a request on
// ours: one round trip here, and the key's event is in hand when the events are handled.
void QtEventPump::ProcessPendingEvents() {
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (x11 != nullptr && x11->connection() != nullptr) {
        xcb_connection_t* connection = x11->connection();
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    }
    QCoreApplication::processEvents();
}

} // namespace mirvane
