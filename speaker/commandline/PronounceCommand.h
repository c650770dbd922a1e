// `speaker --pronounce [--voice cantonese] TEXT`: prints, one segment per
// line, exactly what the voice would be given for TEXT when it is read from
// the start: the segments cut at the delay symbols, the date placeholder
// filled in, the delay sign taken out, and the text front-end applied.
//
// Needs no display, no lock, no audio, and writes nothing: the delay symbols
// and the operator's pronunciation list are read from draft.dat opened read
// only, the date format from setinfo.ini.
#pragma once

#include "DatePlaceholder.h"
#include "DelaySymbols.h"
#include "FrontEnd.h"

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace sonvela {

// What the voice is given for each spoken segment of `utf8Text`, in order.
// Blank segments are not spoken and give no line.
std::vector<std::string> PronouncedSegments(std::string_view utf8Text, frontend::Dialect dialect,
                                            const DelaySymbols& symbols, int datetimetype,
                                            const LocalClock& clock,
                                            const frontend::FrontEnd& frontEnd);

// Runs the command: `arguments` are those after "--pronounce". Returns the
// process's exit status: 0 when the text was pronounced, 2 for bad usage.
int RunPronounceCommand(const std::vector<std::string>& arguments,
                        const std::string& programFolderWithSeparator, std::istream& in,
                        std::ostream& out, std::ostream& err);

} // namespace sonvela
