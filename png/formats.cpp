#include "png/formats.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "platform/text/cp932.h"

namespace yomira::qrn {

namespace {

std::string Key(std::string_view extension) {
  if (!extension.empty() && extension.front() == '.') extension.remove_prefix(1);
  return AsciiLower(extension);
}

struct Entry {
  std::string key;
  FileFormat format;
};

void Add(std::vector<Entry>& formats, std::string_view extension, std::string_view description,
         GraphicFactory factory) {
  if (Key(extension).empty() || !factory) throw std::invalid_argument("RegisterFileFormat: no extension or no factory");
  formats.push_back(Entry{Key(extension), FileFormat{std::string(extension), std::string(description), factory}});
}

// The function-local static registers the codec's own format exactly once.
std::vector<Entry>& Formats() {
  static std::vector<Entry> formats = [] {
    std::vector<Entry> f;
    Add(f, "PNG", "PNG Format", &NewQRNPNG);
    return f;
  }();
  return formats;
}

}  // namespace

std::unique_ptr<TQRNPNG> NewQRNPNG() { return std::make_unique<TQRNPNG>(); }

void RegisterFileFormat(std::string_view extension, std::string_view description, GraphicFactory factory) {
  Add(Formats(), extension, description, factory);
}

std::optional<FileFormat> FindFileFormat(std::string_view extension) {
  const std::string key = Key(extension);
  const auto& formats = Formats();
  const auto it = std::find_if(formats.rbegin(), formats.rend(), [&](const Entry& e) { return e.key == key; });
  if (key.empty() || it == formats.rend()) return std::nullopt;
  return it->format;
}

void UnregisterGraphicClass(GraphicFactory factory) {
  std::erase_if(Formats(), [&](const Entry& e) { return e.format.factory == factory; });
}

}  // namespace yomira::qrn
