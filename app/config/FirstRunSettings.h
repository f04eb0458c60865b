#pragma once

#include "state/State.h"

namespace stormtap {

// The Setup page's slider positions when the window is first shown; a first
// run starts with the values they show.
constexpr int FirstRefreshMinutes = 3;
constexpr int FirstLoopCount = 10;

// The settings in use while no GLAVEN.CFG has been saved: values a user can run
// with as they stand (port 80, the sliders' start values, sequential names and
// a folder of its own below the user's pictures), so that typing a server and
// choosing a site is all a first run needs.
Settings firstRunSettings();

} // namespace stormtap
