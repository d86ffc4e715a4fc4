#include "QtEventPump.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QThread>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace mirvane {

namespace {
constexpr int kMostMilliseconds = 1000; // a lost connection must not hang the program
}

QtEventPump::QtEventPump() {
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (x11 == nullptr || x11->connection() == nullptr) {
        return;
    }
    mConnection = x11->connection();
    mWindow = xcb_generate_id(mConnection);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(mConnection)).data->root;
    xcb_create_window(mConnection, XCB_COPY_FROM_PARENT, mWindow, root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    static const char kName[] = "_MIRVANE_PUMP_MARK";
    xcb_intern_atom_reply_t* atom =
        xcb_intern_atom_reply(mConnection, xcb_intern_atom(mConnection, 0, sizeof(kName) - 1, kName), nullptr);
    mMarkAtom = atom != nullptr ? atom->atom : 0;
    std::free(atom);
    QCoreApplication::instance()->installNativeEventFilter(this);
}

QtEventPump::~QtEventPump() {
    if (mConnection != nullptr && QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->removeNativeEventFilter(this);
        xcb_destroy_window(mConnection, mWindow);
        xcb_flush(mConnection);
    }
}

// A key sent on another connection has been queued for ours before the mark sent after it:
// once the mark has been handled, so has the key, and its character is in the line.
void QtEventPump::ProcessPendingEvents() {
    if (mConnection == nullptr || mMarkAtom == 0) {
        QCoreApplication::processEvents();
        return;
    }
    xcb_client_message_event_t mark;
    std::memset(&mark, 0, sizeof(mark));
    mark.response_type = XCB_CLIENT_MESSAGE;
    mark.format = 32;
    mark.window = mWindow;
    mark.type = mMarkAtom;
    mark.data.data32[0] = ++mSent;
    xcb_send_event(mConnection, 0, mWindow, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&mark));
    xcb_flush(mConnection);
    const QDeadlineTimer deadline(kMostMilliseconds);
    QCoreApplication::processEvents();
    while (mSeen != mSent && !deadline.hasExpired()) {
        QThread::yieldCurrentThread();
        QCoreApplication::processEvents();
    }
}

bool QtEventPump::nativeEventFilter(const QByteArray& eventType, void* message, qintptr* /*result*/) {
    if (eventType != "xcb_generic_event_t") {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE) {
        return false;
    }
    const auto* client = static_cast<const xcb_client_message_event_t*>(message);
    if (client->window != mWindow || client->type != mMarkAtom) {
        return false;
    }
    mSeen = client->data.data32[0];
    return true;
}

} // namespace mirvane
