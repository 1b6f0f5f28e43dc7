#include "engine/internal/DisplayProbe.h"

#include "engine/LogManager.h"

#include <SFML/Config.hpp>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#if defined(SFML_SYSTEM_LINUX) || defined(SFML_SYSTEM_FREEBSD) || defined(SFML_SYSTEM_OPENBSD) ||  \
    defined(SFML_SYSTEM_NETBSD)
#define MW_X11_DISPLAY 1
#include <dlfcn.h>
#endif

namespace mw {

namespace {

#ifdef MW_X11_DISPLAY
// Tries at opening the X display, 50 ms apart.
constexpr int DISPLAY_ATTEMPTS = 5;

// SFML reaches the X server through libX11, already loaded with it; asking
// libX11 directly needs no link of our own to it. The connection is kept
// until the window has its own: an X server whose last client leaves resets,
// and refuses connections while it does.
std::shared_ptr<void> connect(const std::string& program) {
    void* x11 = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
    using OpenDisplay = void* (*)(const char*);
    using CloseDisplay = int (*)(void*);
    const auto open =
        reinterpret_cast<OpenDisplay>(x11 != nullptr ? dlsym(x11, "XOpenDisplay") : nullptr);
    const auto close =
        reinterpret_cast<CloseDisplay>(x11 != nullptr ? dlsym(x11, "XCloseDisplay") : nullptr);
    if (open == nullptr || close == nullptr)
        return std::make_shared<int>(0); // not an X11 build of SFML after all
    // An X server whose last client has just left resets, and refuses
    // connections for a moment.
    for (int attempt = 0; attempt < DISPLAY_ATTEMPTS; ++attempt) {
        if (attempt > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (void* display = open(nullptr))
            return std::shared_ptr<void>(display, close);
    }
    const char* name = std::getenv("DISPLAY");
    const std::string reason = name == nullptr || *name == '\0'
                                   ? std::string("DISPLAY is not set")
                                   : "cannot open the X display '" + std::string(name) + "'";
    std::fprintf(stderr, "%s needs a desktop: %s.\n", program.c_str(), reason.c_str());
    LogManager::getInstance().writeLog("DisplayManager::startUp() - No window: %s", reason.c_str());
    return nullptr;
}
#else
std::shared_ptr<void> connect(const std::string&) {
    return std::make_shared<int>(0);
}
#endif

} // namespace

DisplayProbe::DisplayProbe(const std::string& program) : m_connection(connect(program)) {}

} // namespace mw
