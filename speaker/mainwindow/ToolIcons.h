// The program's pictograms, painted rather than loaded: 24 x 24 tool-bar
// images and the small pictures of the side panel.
#pragma once

#include <QIcon>

namespace sonvela {

enum class Pictogram {
    New,
    Open,
    Save,
    ReadFromStart,
    ReadHere,
    Stop,
    LoopAll,
    LoopRange,
    ToTop,
    ToEnd,
    Settings,
    InsertDate,
    Schedule,
    Panel,
    Close,
    Next,
    Previous,
    Folder,
    Expand,
    Collapse,
    Find,
    FindReplace,
    ReplaceAll,
    SmallClose,
    Application
};

QIcon PictogramIcon(Pictogram kind, int size = 24);

} // namespace sonvela
