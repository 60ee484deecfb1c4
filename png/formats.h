// The registry of picture formats by file extension. "PNG" is registered once, on first use.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "png/qrnpng.h"

namespace yomira::qrn {

// Makes an empty graphic of one class; the pointer also names the class.
using GraphicFactory = std::unique_ptr<TQRNPNG> (*)();

struct FileFormat {
  std::string extension;    // without the dot, as registered
  std::string description;  // "PNG Format"
  GraphicFactory factory = nullptr;
};

// A later registration of the same extension hides the earlier one until it is removed.
// Raises std::invalid_argument for an empty extension or no factory.
void RegisterFileFormat(std::string_view extension, std::string_view description, GraphicFactory factory);
// ASCII case-insensitive, with or without the leading dot ("png", ".PNG").
std::optional<FileFormat> FindFileFormat(std::string_view extension);
// Removes every extension registered with factory.
void UnregisterGraphicClass(GraphicFactory factory);

// The factory "PNG" is registered with.
std::unique_ptr<TQRNPNG> NewQRNPNG();

}  // namespace yomira::qrn
