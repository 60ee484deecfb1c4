// The emphasis-mark strip: eight r x r marks side by side, dark on white.
#pragma once

#include <QImage>
#include <QString>

namespace yomira {

// A picture that can serve as the strip: eight square marks, exactly 8:1.
bool IsEmphasisStripShape(const QImage& picture);

// The strip at ruby size r (8r x r, RGB32): the replacement when it has the strip's shape,
// else the built-in strip, scaled smoothly (transparent parts count as white); white when
// neither is there; null for r <= 0.
QImage BuildEmphasisStrip(int r, const QImage& replacement, const QImage& builtin);

// The 512 x 64 master of the built-in strip, drawn from vector shapes: types 1 sesame,
// 2 white sesame, 3 black triangle, 4 white triangle, 5 double circle, 6 bullseye,
// 7 white circle, 8 black circle.
QImage MakeEmphasisMaster();

// Reads an image whose sides are at most 16,384 (checked before decoding); null otherwise,
// also for a missing file. format ("png"): only that format's reader, none from a plugin.
QImage ReadImageBounded(const QString& path, const char* format = nullptr);

}  // namespace yomira
