#pragma once

namespace verdo {

// A diagnostic for measuring how long the editor takes to start. When the environment
// variable VERDO_STARTUP_REPORT names a file, the splash is closed as soon as it shows,
// and once the frame is on screen the program writes the monotonic clock readings (in
// nanoseconds) of "splash shown", "splash gone" and "frame shown" into that file and
// closes again. Without the variable nothing changes.
void InstallStartupProbe();

}  // namespace verdo
