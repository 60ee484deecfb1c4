// File-type filters written the Windows way, "description|patterns|description|patterns",
// patterns separated by ";", as the settings and the open dialog keep them.
#pragma once

#include <QString>
#include <QStringList>

namespace yomira {

// Qt name filters for a Windows filter string: each pair becomes the description followed by
// " (" + its patterns, trimmed and separated by blanks, + ")". Qt reads a filter's patterns
// from its last parenthesised group, and descriptions carry their own "(*.a,*.b)", hence the
// group appended to each. A last description without patterns gets " (*)".
QStringList QtNameFilters(const QString& windowsFilter);

}  // namespace yomira
