#include "AccessibilityBus.h"

#include <QByteArray>

namespace mirvane {

void PrepareAccessibilityBus(bool asked) {
    if (asked) {
        // Join whenever the desktop runs an accessibility bus, even if no screen reader said so.
        qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
        return;
    }
    // Any program of the person's can switch accessibility on for every program that starts
    // later (org.a11y.Status on the session bus, the AT_SPI_BUS property of the X root window,
    // the environment), and a client of that bus may then read the window and run its menus.
    // The toolkit reaches that bus only through AT_SPI_BUS_ADDRESS or through the session bus,
    // where it asks for the X property too; with neither, nothing from outside the process can
    // bring it there. The program uses the session bus for nothing else.
    qunsetenv("AT_SPI_BUS_ADDRESS");
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    // The same for the GTK theme's own bridge, on desktops that load that theme.
    qputenv("NO_AT_BRIDGE", "1");
}

} // namespace mirvane
