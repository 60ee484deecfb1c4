#include "png/qrnzlib.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "tests/png/png_builder.h"

namespace yomira::qrn {
namespace {

std::vector<uint8_t> SeededRow(std::mt19937& rng, size_t n) {
  std::vector<uint8_t> v(n);
  for (auto& b : v) b = static_cast<uint8_t>(rng());
  return v;
}

// Filtering then unfiltering gives the row back, and our filters agree with the builder's.
TEST(RowFilters, RoundTripEveryFilterAndDistance) {
  std::mt19937 rng(1234);
  for (int bpp : {1, 2, 3, 4, 6, 8}) {
    for (int type = 0; type <= 4; ++type) {
      for (size_t len : {size_t{1}, size_t{5}, size_t{48}, size_t{301}}) {
        const auto prior = SeededRow(rng, len + 1);
        const auto row = SeededRow(rng, len);
        std::vector<uint8_t> filtered(len + 1);
        if (type == 0) {
          filtered[0] = 0;
          std::memcpy(filtered.data() + 1, row.data(), len);
        } else {
          FilterRowWith(type, row.data(), prior.data() + 1, filtered.data(), static_cast<int64_t>(len + 1), bpp);
        }
        const std::string ref = test::png::FilterOne(
            std::string(row.begin(), row.end()), std::string(prior.begin() + 1, prior.end()), bpp, type);
        ASSERT_EQ(std::string(filtered.begin(), filtered.end()), ref) << bpp << " " << type << " " << len;
        ASSERT_EQ(UnfilterRow(filtered.data(), prior.data(), static_cast<int64_t>(len + 1), bpp), 0);
        EXPECT_TRUE(std::equal(row.begin(), row.end(), filtered.begin() + 1)) << bpp << " " << type << " " << len;
      }
    }
  }
}

TEST(RowFilters, PaethTiesGoAThenBThenC) {
  // x0 has no left neighbour (predictor: the byte above, c); its residual makes it a. Then
  // x1 with a zero residual shows Paeth(a, b, c).
  auto predict = [](int a, int b, int c) {
    uint8_t row[3] = {4, static_cast<uint8_t>(a - c), 0};
    const uint8_t prior[3] = {0, static_cast<uint8_t>(c), static_cast<uint8_t>(b)};
    EXPECT_EQ(UnfilterRow(row, prior, 3, 1), 0);
    EXPECT_EQ(row[1], a);
    return static_cast<int>(row[2]);
  };
  EXPECT_EQ(predict(10, 10, 10), 10);   // pa = pb = pc = 0 → a
  EXPECT_EQ(predict(10, 20, 15), 15);   // p = 15: pa 5, pb 5, pc 0 → c
  EXPECT_EQ(predict(10, 20, 10), 20);   // p = 20: pa 10, pb 0 → b
  EXPECT_EQ(predict(20, 10, 10), 20);   // p = 20: pa 0 → a
  EXPECT_EQ(predict(10, 30, 20), 20);   // p = 20: pa 10, pb 10, pc 0 → c
  EXPECT_EQ(predict(30, 10, 0), 30);    // p = 40: pa 10, pb 30, pc 40 → a
  EXPECT_EQ(predict(0, 10, 5), 5);      // p = 5: pa 5, pb 5, pc 0 → c
  EXPECT_EQ(predict(5, 15, 10), 10);    // p = 10: pa 5, pb 5, pc 0 → c
  EXPECT_EQ(predict(12, 14, 13), 13);   // p = 13: pa 1, pb 1, pc 0 → c
  EXPECT_EQ(predict(12, 13, 11), 13);   // p = 14: pa 2, pb 1, pc 3 → b
  EXPECT_EQ(predict(13, 12, 11), 13);   // p = 14: pa 1, pb 2, pc 3 → a
  EXPECT_EQ(predict(12, 13, 12), 13);   // p = 13: pa 1, pb 0 → b
  EXPECT_EQ(predict(13, 12, 12), 13);   // p = 13: pa 0 → a
  EXPECT_EQ(predict(10, 40, 20), 40);   // p = 30: pa 20, pb 10, pc 10 → b (tie b, c)
  EXPECT_EQ(predict(40, 10, 20), 40);   // p = 30: pa 10, pb 20, pc 10 → a (tie a, c)
  EXPECT_EQ(predict(10, 10, 0), 10);    // p = 20: pa 10, pb 10, pc 20 → a (tie a, b)
}

TEST(RowFilters, AverageSumsInNineBits) {
  uint8_t row[3] = {3, 0, 0};
  const uint8_t prior[3] = {0, 0, 255};
  row[1] = 200;  // x0 = 200 + 0/2... b0 = 0
  EXPECT_EQ(UnfilterRow(row, prior, 3, 1), 0);
  EXPECT_EQ(row[1], 200);
  EXPECT_EQ(row[2], (200 + 255) / 2);  // 227, not (455 & 255) / 2
}

TEST(RowFilters, FilterByteFiveOrMoreFails) {
  for (int f : {5, 6, 255}) {
    uint8_t row[3] = {static_cast<uint8_t>(f), 1, 2};
    const uint8_t prior[3] = {};
    EXPECT_EQ(UnfilterRow(row, prior, 3, 1), -1) << f;
  }
}

struct Encoder {
  TQRNPNGInfo info;
  std::string out;
  std::vector<uint8_t> cur, prior, a, b;
  std::vector<int32_t> hist = std::vector<int32_t>(256);
  Encoder(int rowBytes, int pixelBits, int srcBits, int mode, int64_t bufferSize = 32768) {
    EXPECT_EQ(ZLIBEncodeInit(info, 9, bufferSize), 0);
    info.callback = [this](TQRNZLIBInfo& z) {
      out.append(reinterpret_cast<char*>(z.buffer.get()), static_cast<size_t>(z.bufferSize - z.zs.avail_out));
      return 0;
    };
    cur.assign(rowBytes, 0), prior.assign(rowBytes, 0), a.assign(rowBytes + 1, 0), b.assign(rowBytes + 1, 0);
    info.rowBytes = rowBytes;
    info.pixelBits = pixelBits;
    info.srcBits = srcBits;
    info.filterMode = mode;
    info.curRow = cur.data();
    info.priorRow = prior.data();
    info.outRow = a.data();
    info.spareRow = b.data();
    info.histogram = hist.data();
  }
  ~Encoder() { ZLIBEncodeFinish(info); }
  // Encodes the rows; returns the filter byte chosen for each.
  std::vector<int> Encode(const std::vector<std::vector<uint8_t>>& rows) {
    std::vector<int> filters;
    for (const auto& r : rows) {
      std::memcpy(info.curRow, r.data(), r.size());
      EXPECT_GE(png_write_line(info), 0);
      filters.push_back(info.outRow[0]);
      std::swap(info.curRow, info.priorRow);
    }
    EXPECT_EQ(ZLIBEncodeFlush(info), 0);
    return filters;
  }
};

// Inflates what the encoder wrote and undoes the filters: the rows must come back.
std::vector<std::vector<uint8_t>> Decode(const std::string& z, size_t rows, int rowBytes, int pixelBits) {
  TQRNPNGInfo info;
  EXPECT_EQ(ZLIBDecodeInit(info), 0);
  bool fed = false;
  info.callback = [&](TQRNZLIBInfo& zi) {
    if (fed) return -1;
    fed = true;
    zi.zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(z.data()));
    zi.zs.avail_in = static_cast<uInt>(z.size());
    return 0;
  };
  std::vector<uint8_t> cur(rowBytes), prior(rowBytes);
  info.curRow = cur.data();
  info.priorRow = prior.data();
  info.rowBytes = rowBytes;
  info.pixelBits = pixelBits;
  std::vector<std::vector<uint8_t>> out;
  for (size_t i = 0; i < rows; ++i) {
    EXPECT_EQ(png_read_line(info), 0);
    out.emplace_back(info.curRow + 1, info.curRow + rowBytes);
    std::swap(info.curRow, info.priorRow);
  }
  ZLIBDecodeFinish(info);
  return out;
}

TEST(AdaptiveFilter, ChoosesByHistogram) {
  const int n = 64;
  std::vector<uint8_t> few(n), dominant(n), gradient(n), noise(n);
  std::mt19937 rng(7);
  for (int i = 0; i < n; ++i) {
    few[i] = static_cast<uint8_t>((i % 4) * 60);             // 4 distinct values (+ filter byte)
    dominant[i] = i % 16 == 0 ? static_cast<uint8_t>(i) : 77;
    gradient[i] = static_cast<uint8_t>(i * 3 + (rng() % 2));
    noise[i] = static_cast<uint8_t>(rng());
  }
  {
    Encoder e(n + 1, 8, 8, gpfJust);
    EXPECT_EQ(e.Encode({few}), std::vector<int>{0});
  }
  {
    // A ramp: Sub leaves one value in ≥ 90 % of the bytes and is taken at once.
    std::vector<uint8_t> ramp(n);
    for (int i = 0; i < n; ++i) ramp[i] = static_cast<uint8_t>(i * 3);
    Encoder e(n + 1, 8, 8, gpfJust);
    EXPECT_EQ(e.Encode({ramp}), std::vector<int>{1});
  }
  {
    Encoder e(n + 1, 8, 8, gpfJust);
    const auto f = e.Encode({gradient, gradient});
    EXPECT_NE(f[0], 0);
    EXPECT_NE(f[1], 0);
    EXPECT_EQ(Decode(e.out, 2, n + 1, 8), (std::vector<std::vector<uint8_t>>{gradient, gradient}));
  }
  {
    Encoder e(n + 1, 4, 4, gpfJust);
    EXPECT_EQ(e.Encode({gradient, noise}), (std::vector<int>{0, 0}));
  }
  {
    Encoder e(n + 1, 24, 24, gpfJust);
    const std::vector<std::vector<uint8_t>> rows = {noise, gradient, dominant, few, noise};
    e.Encode(rows);
    EXPECT_EQ(Decode(e.out, rows.size(), n + 1, 24), rows);
  }
}

TEST(AdaptiveFilter, FixedFiltersAndSmallBuffers) {
  std::mt19937 rng(3);
  std::vector<std::vector<uint8_t>> rows;
  for (int i = 0; i < 40; ++i) {
    std::vector<uint8_t> r(300);
    for (int x = 0; x < 300; ++x) r[x] = static_cast<uint8_t>(x + i + rng() % 3);
    rows.push_back(r);
  }
  for (int mode : {int{gpfNone}, int{gpfSub}, int{gpfUp}, int{gpfAvg}, int{gpfPaeth}, 9}) {
    Encoder e(301, 24, 24, mode, 300000);  // an oversized buffer falls back to 32768
    EXPECT_EQ(e.info.bufferSize, 32768);
    const auto f = e.Encode(rows);
    EXPECT_EQ(f[0], mode >= gpfNone && mode <= gpfPaeth ? mode - 1 : 0);
    EXPECT_EQ(Decode(e.out, rows.size(), 301, 24), rows);
  }
  // A 256-byte buffer: many drains, the stream still inflates.
  Encoder e(301, 24, 24, gpfPaeth, 256);
  e.Encode(rows);
  EXPECT_EQ(Decode(e.out, rows.size(), 301, 24), rows);
}

TEST(ZlibGlue, EndOfStreamBeforeTheRowFails) {
  const std::string z = test::png::Deflate(std::string("\0abc", 4));
  TQRNPNGInfo info;
  ASSERT_EQ(ZLIBDecodeInit(info), 0);
  info.callback = [&](TQRNZLIBInfo& zi) {
    zi.zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(z.data()));
    zi.zs.avail_in = static_cast<uInt>(z.size());
    return 0;
  };
  uint8_t out[8];
  EXPECT_LT(ZLIBDecode(info, out, 8), 0);  // the original looped for ever here
  ZLIBDecodeFinish(info);
}

}  // namespace
}  // namespace yomira::qrn
