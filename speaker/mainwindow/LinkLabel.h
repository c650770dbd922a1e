// A label that looks and acts as a link: blue, underlined, a pointing hand,
// and `action` on a click. The notice and the about box open their pages
// through these.
#pragma once

#include <functional>

class QLabel;

namespace sonvela {

void MakeLinkLabel(QLabel* label, std::function<void()> action);

} // namespace sonvela
