// `speaker --export IN.txt OUT.(wav|mp3|opus|flac) [--voice cantonese]
// [--loops N --interval S] [--music FOLDER]`: renders the text file as an
// announcement into an audio file, without a display or an audio device.
// Progress goes to standard error; an interrupt (Ctrl+C) or a termination
// request cancels and leaves no file.
//
// The delay table and the pronunciation list come from draft.dat (read
// only), the speed, volume, delay-sign pause, date format and music levels
// from setinfo.ini of the program folder.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace sonvela {

// `arguments` are those after "--export". Returns the exit status: 0 when
// the file was written, 1 when it could not be, 2 for bad usage or input.
int RunExportCommand(const std::vector<std::string>& arguments,
                     const std::string& programFolderWithSeparator, std::ostream& err);

} // namespace sonvela
