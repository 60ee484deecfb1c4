// The program's own pictures: the application icon and the bottom bar's button glyphs,
// drawn in code so nothing comes from elsewhere.
#pragma once

#include <QImage>

namespace yomira {

// side x side (32 by default): an open book with a vertical line of text on the right page.
QImage AppIconImage(int side = 32);

enum class ButtonGlyph { Menu, Next, Back };
// 18 x 18 minus the button's border: Menu three bars, Next an arrow pointing left (vertical
// text reads right to left), Back an arrow pointing right. Grey when disabled.
QImage ButtonGlyphImage(ButtonGlyph glyph, bool enabled);

}  // namespace yomira
