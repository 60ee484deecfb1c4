// The font families the settings dialog offers: each scalable face's first family name,
// once, with whether its languages include Japanese.
#pragma once

#include <QStringList>

namespace yomira {

struct FontFamilyLists {
  QStringList vertical;      // "@" + each Japanese family, sorted ignoring case
  QStringList alphanumeric;  // the Japanese families, then all others, each group sorted
};

FontFamilyLists ListFontFamilies();

}  // namespace yomira
