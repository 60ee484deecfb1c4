// The property grid's small pictures: the dotted row separator, the plus and minus boxes of
// collapsible rows and sections, and the glyphs of its three editor buttons.
#pragma once

#include <QImage>

namespace yomira {

// One pixel high: the button face with a button-shadow pixel at every odd x.
QImage PropGridDottedSeparator(int width);

// 9 x 9: a black square outline on white with a bar across (and, for plus, a bar down).
QImage PropGridPlusBox();
QImage PropGridMinusBox();

// 10 x 10, black on transparent.
QImage PropGridDropDownGlyph();
QImage PropGridShortcutGlyph();
QImage PropGridEllipsisGlyph();

}  // namespace yomira
