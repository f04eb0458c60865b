#pragma once

namespace stormtap {

class Clock;

// stormtap-fetch on top of a QCoreApplication that already exists: reads the
// command line, runs the retrieval and returns the exit status. The clock is a
// parameter so that tests can run the very program with pauses that pass at once.
int runFetchProgram(Clock &clock);

} // namespace stormtap
