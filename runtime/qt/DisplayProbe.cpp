#include "runtime/qt/DisplayProbe.h"

#include <dlfcn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace verdo {

namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Connects to the X server the way the window library will, through the X client
// library it loads itself; dlopen spares the program a build dependency on it.
bool XServerAnswers(const std::string& display) {
    void* library = ::dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
    if (!library) return true;  // the library's own message is clearer than a guess
    using Connect = void* (*)(const char*, int*);
    using HasError = int (*)(void*);
    using Disconnect = void (*)(void*);
    auto connect = reinterpret_cast<Connect>(::dlsym(library, "xcb_connect"));
    auto hasError = reinterpret_cast<HasError>(::dlsym(library, "xcb_connection_has_error"));
    auto disconnect = reinterpret_cast<Disconnect>(::dlsym(library, "xcb_disconnect"));
    bool answers = true;
    if (connect && hasError && disconnect) {
        void* connection = connect(display.c_str(), nullptr);
        answers = connection && hasError(connection) == 0;
        if (connection) disconnect(connection);
    }
    ::dlclose(library);
    return answers;
}

bool WaylandAnswers(const std::string& display) {
    std::string path = !display.empty() && display.front() == '/' ? display : Env("XDG_RUNTIME_DIR") + "/" + display;
    sockaddr_un address{};
    if (path.size() >= sizeof address.sun_path) return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    bool answers = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return answers;
}

}  // namespace

bool DisplayReachable(std::string& why) {
    const std::string platform = Env("QT_QPA_PLATFORM");
    const std::string x = Env("DISPLAY");
    const std::string wayland = Env("WAYLAND_DISPLAY");
    // A platform chosen by name that needs no display (offscreen, a frame buffer) is
    // the library's to judge.
    bool wantsX = platform.empty() || platform.rfind("xcb", 0) == 0;
    bool wantsWayland = platform.empty() || platform.rfind("wayland", 0) == 0;
    if (!wantsX && !wantsWayland) return true;
    if (wantsWayland && !wayland.empty() && WaylandAnswers(wayland)) return true;
    if (wantsX && !x.empty() && XServerAnswers(x)) return true;
    if (x.empty() && wayland.empty()) {
        why = "there is no display to show the editor on.";
    } else {
        why = "the display " + (x.empty() ? wayland : x) + " could not be opened.";
    }
    return false;
}

}  // namespace verdo
