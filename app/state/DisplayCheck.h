#pragma once

namespace stormtap {

// Without a display Qt would abort a window program with a long message. When
// there is none, says so in one line on stderr, naming `program` and how to run
// it under Xvfb (`argv0`), and returns true.
bool reportMissingDisplay(const char *program, const char *argv0);

} // namespace stormtap
