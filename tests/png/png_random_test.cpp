// Seeded random inputs for the PNG reader: mutated test images (with their CRCs repaired so
// the damage reaches the chunk readers and the decoder) and random headers over random row
// data. The reader must decode or raise EQRNPNG; nothing else, never a crash or hang.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/fuzz/png_fuzz_one.h"
#include "tests/png/png_builder.h"
#include "tests/support/test_support.h"

namespace yomira::test::png {
namespace {

// Recomputes the CRC of every chunk that lies wholly inside the file.
void RepairCrcs(std::string& f) {
  size_t at = 8;
  while (at + 12 <= f.size()) {
    const auto* p = reinterpret_cast<const uint8_t*>(f.data() + at);
    const uint32_t len = uint32_t{p[0]} << 24 | p[1] << 16 | p[2] << 8 | p[3];
    if (len > f.size() - at - 12) break;
    const std::string crc = Be32(Crc(f.substr(at + 4, 4), f.substr(at + 8, len)));
    f.replace(at + 8 + len, 4, crc);
    at += 12 + len;
  }
}

void Check(const std::string& input, const std::string& what) {
  const std::string problem = FuzzPngOne(reinterpret_cast<const uint8_t*>(input.data()), input.size());
  ASSERT_EQ(problem, "") << what << " " << hex(input.substr(0, 64));
}

std::string Mutate(std::mt19937& rng, std::string f) {
  const int edits = 1 + static_cast<int>(rng() % 4);
  for (int e = 0; e < edits && !f.empty(); ++e) {
    const size_t at = rng() % f.size();
    switch (rng() % 6) {
      case 0: f[at] = static_cast<char>(f[at] ^ (1 << (rng() % 8))); break;
      case 1: f[at] = "\x00\xff\x7f\x80\x01"[rng() % 5]; break;
      case 2: f.resize(at); break;
      case 3: f.insert(at, std::string(1 + rng() % 16, static_cast<char>(rng()))); break;
      case 4: f.erase(at, 1 + rng() % 16); break;
      default: {
        const size_t from = rng() % f.size();
        f.insert(at, f.substr(from, 1 + rng() % 64));
        break;
      }
    }
  }
  if (rng() % 4 != 0) RepairCrcs(f);
  return f;
}

TEST(PngRandom, MutatedTestImages) {
  const char* seeds[] = {"pngsuite/basn0g01.png", "pngsuite/basn0g16.png", "pngsuite/basn2c16.png",
                         "pngsuite/basn3p02.png", "pngsuite/basi6a08.png", "pngsuite/basi4a16.png",
                         "pngsuite/tbbn0g04.png", "pngsuite/tm3n3p02.png", "pngsuite/s03i3p01.png",
                         "pngsuite/ct1n0g04.png", "pngsuite/cs5n2c08.png", "pngsuite/basi3p08.png",
                         "libpng-tests/testpngs/gray-16-tRNS.png", "libpng-tests/testpngs/rgb-16-tRNS.png"};
  std::mt19937 rng(20261209);
  for (const char* s : seeds) {
    const std::string seed = ReadFileBytes(TestData(std::string("png/") + s));
    for (int i = 0; i < 150; ++i) {
      std::string input = Mutate(rng, seed);
      input += static_cast<char>(rng() % 8);
      Check(input, s);
      if (HasFatalFailure()) return;
    }
  }
}

TEST(PngRandom, RandomHeadersOverRandomRows) {
  std::mt19937 rng(7);
  const int types[] = {0, 2, 3, 4, 6, 1, 7};
  const int depths[] = {1, 2, 4, 8, 16, 3, 0};
  for (int i = 0; i < 1500; ++i) {
    const uint32_t w = 1 + rng() % 40, h = 1 + rng() % 40;
    const int ct = types[rng() % 7], depth = depths[rng() % 7], interlace = rng() % 3 == 0;
    // Enough random bytes for most shapes, sometimes too few or too many.
    std::string raw(static_cast<size_t>(rng() % 4 == 0 ? rng() % 600 : (w * 8 + 1) * h * 2), '\0');
    for (auto& c : raw) c = static_cast<char>(rng() % 7 == 0 ? rng() % 5 : rng());
    std::string chunks;
    if (rng() % 2) chunks += Chunk("PLTE", std::string(3 * (rng() % 300), '\x33'));
    if (rng() % 3 == 0) chunks += Chunk("tRNS", std::string(rng() % 8, '\0'));
    if (rng() % 4 == 0) chunks += Chunk("sBIT", std::string{5, static_cast<char>(5 + rng() % 2), 5});
    if (rng() % 4 == 0) chunks += Chunk("bKGD", std::string(rng() % 7, '\x01'));
    std::string file = Signature() + IHDR(w, h, depth, ct, interlace) + chunks;
    const std::string z = Deflate(raw, 1);
    file += rng() % 3 == 0 ? Idats(z, 1 + rng() % 50) : Chunk("IDAT", z);
    if (rng() % 2) file += IEND();
    file += static_cast<char>(rng() % 8);
    Check(file, std::to_string(w) + "x" + std::to_string(h) + " ct " + std::to_string(ct) + " d " +
                    std::to_string(depth));
    if (HasFatalFailure()) return;
  }
}

}  // namespace
}  // namespace yomira::test::png
