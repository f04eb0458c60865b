#pragma once

#include <QString>

namespace stormtap {

// How one fetch ended; the status line, the tests and the benchmark read it.
struct FetchOutcome {
    enum Kind {
        Stored,      // a new image was written
        NotModified, // 304: the image has not changed
        TooShort,    // a complete reply of 1000 bytes or fewer
        NotAnImage,  // no "GIF87" in the reply
        Incomplete,  // a GIF87 picture without its trailer: cut short
        Failed,      // refused, unreachable, an error status, shorter than announced, too big,
                     // compressed, an unsafe image path, or the picture could not be written
        TimedOut,    // no complete reply before the deadline
        Stopped,     // STOP
        Abandoned,   // no time in Last-Modified to name the file, or no image directory is set
    };
    Kind kind = Stopped;
    int status = 0; // the HTTP status for Failed, when there was one
    QString reason; // a short text for every outcome but Stored, NotModified and Stopped
};

} // namespace stormtap
