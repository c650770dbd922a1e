// Start-up check of the audio library: the expected version, then the one
// output device every sound of the program goes through.
#pragma once

namespace sonvela {

// Checks the library's version and opens the default output at 44100 Hz,
// showing an error box for each failure. True when both went well; the
// start-up goes on either way (speech then reports its own error).
bool initbass();

} // namespace sonvela
