#include "DisplayCheck.h"

#include <QtGlobal>

#include <cstdio>

namespace stormtap {

bool reportMissingDisplay(const char *program, const char *argv0)
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return false;
    if (!qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return false;
    std::fprintf(stderr,
                 "%s: no display found (DISPLAY is not set); to run without a screen, "
                 "start it under Xvfb: xvfb-run -a %s\n",
                 program, argv0);
    return true;
}

} // namespace stormtap
