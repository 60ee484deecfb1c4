// Program strings (UTF-8: paths, captions, messages) handed to Qt.
#pragma once

#include <QString>

#include <string>

namespace yomira {

inline QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace yomira
