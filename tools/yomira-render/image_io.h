// Writing the tool's pictures and text files: a temporary file beside the target, renamed
// over it, so a failed run never leaves half a file.
#pragma once

#include <QImage>

#include <string>

namespace yomira::tools {

bool SavePng(const QImage& image, const std::string& path, std::string& error);
bool SaveText(const std::string& text, const std::string& path, std::string& error);

}  // namespace yomira::tools
