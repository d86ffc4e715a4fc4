#include "KeyGuardian.h"

#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <array>
#include <csignal>
#include <cstdlib>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace mirvane::x11 {

namespace {
int gGuardian = -1;

void Tell(char what, std::uint8_t keycode) {
    if (gGuardian < 0) {
        return;
    }
    const std::array<char, 2> message{what, static_cast<char>(keycode)};
    // A guardian that is gone must not end the program with SIGPIPE.
    (void)send(gGuardian, message.data(), message.size(), MSG_NOSIGNAL);
}

[[noreturn]] void Guard(int socket) {
    // Ended with the program by a terminal or a session, it would leave nobody to release.
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        std::signal(signal, SIG_IGN);
    }
    prctl(PR_SET_NAME, "mirvane-keys");
    const int devNull = open("/dev/null", O_RDWR);
    for (int fd = 0; fd < 3 && devNull >= 0; ++fd) {
        dup2(devNull, fd);
    }
    std::array<bool, 256> down{};
    std::array<char, 2> message{};
    while (recv(socket, message.data(), message.size(), MSG_WAITALL) == static_cast<ssize_t>(message.size())) {
        down[static_cast<std::uint8_t>(message[1])] = message[0] == 'd';
    }
    if (std::find(down.begin(), down.end(), true) == down.end()) {
        _exit(0);
    }
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection) == 0) {
        for (int keycode = 0; keycode < 256; ++keycode) {
            if (down[static_cast<std::size_t>(keycode)]) {
                xcb_test_fake_input(connection, XCB_KEY_RELEASE, static_cast<std::uint8_t>(keycode),
                                    XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
            }
        }
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    }
    xcb_disconnect(connection);
    _exit(0);
}
} // namespace

void StartKeyGuardian() {
    std::array<int, 2> ends{};
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends.data()) != 0) {
        return;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        close(ends[0]);
        Guard(ends[1]);
    }
    close(ends[1]);
    if (pid < 0) {
        close(ends[0]);
        return;
    }
    gGuardian = ends[0];
}

void GuardKeyPressed(std::uint8_t keycode) { Tell('d', keycode); }

void GuardKeyReleased(std::uint8_t keycode) { Tell('u', keycode); }

} // namespace mirvane::x11
