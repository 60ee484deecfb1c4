#include <QImage>

#include "sources/picture.h"

namespace yomira {

// Filled by our PNG reader once it is in the tree; until then no PNG loads.
bool LoadPngPicture(const std::string& /*path*/, QImage& /*out*/) { return false; }

}  // namespace yomira
