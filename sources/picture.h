// Pictures for the page background, illustrations and the emphasis-mark strip. Results
// are ARGB32 (straight alpha) at the picture's pixel size; failure is only the result.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class QImage;

namespace yomira {

constexpr uint64_t kMaxPictureFileBytes = 64ull << 20;
constexpr int kPictureAllocationLimitMb = 128;

// A regular file of at most 64 MiB: ".png" (any case) through our PNG reader, else BMP,
// JPEG or GIF by content (first frame). False for anything else, a decoding failure or an
// empty picture; out is only replaced on success.
bool LoadPicture(const std::string& path, QImage& out);

// The PNG road of LoadPicture, from a file or from bytes in memory.
bool LoadPngPicture(const std::string& path, QImage& out);
bool LoadPngPictureBytes(std::string_view bytes, QImage& out);

// A picture built into the program: ("IMG_EMPHASIS", "GIF") is the emphasis-mark strip.
bool LoadResourcePicture(const std::string& name, const std::string& type, QImage& out);

}  // namespace yomira
