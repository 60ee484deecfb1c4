#include "png/qrnstream.h"

#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <cstring>
#include <numeric>
#include <vector>

#include "png/errors.h"
#include "png/qrnpng.h"
#include "png/qrnpngread.h"
#include "tests/support/test_support.h"
#include "tests/png/png_builder.h"

namespace yomira::qrn {
namespace {

// A stream that does not lie in memory and hands out at most `chunk` bytes per read.
class SlowStream : public Stream {
 public:
  explicit SlowStream(std::vector<uint8_t> data, int64_t chunk = 1 << 30) : data_(std::move(data)), chunk_(chunk) {}
  int64_t Read(void* buffer, int64_t n) override {
    const int64_t got = std::clamp<int64_t>(std::min(n, chunk_), 0, Size() - pos_);
    std::memcpy(buffer, data_.data() + pos_, static_cast<size_t>(got));
    pos_ += got;
    ++reads;
    return got;
  }
  int64_t Write(const void* buffer, int64_t n) override {
    const auto* b = static_cast<const uint8_t*>(buffer);
    data_.insert(data_.end(), b, b + n);
    writes.push_back(n);
    return n;
  }
  int64_t Seek(int64_t p) override { return pos_ = std::clamp<int64_t>(p, 0, Size()); }
  int64_t Position() const override { return pos_; }
  int64_t Size() const override { return static_cast<int64_t>(data_.size()); }
  const std::vector<uint8_t>& data() const { return data_; }
  int reads = 0;
  std::vector<int64_t> writes;

 private:
  std::vector<uint8_t> data_;
  int64_t pos_ = 0;
  int64_t chunk_;
};

std::vector<uint8_t> Counting(size_t n) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(i * 7 + (i >> 8));
  return v;
}

TEST(ReadStream, EmptySourceEndsAtOnce) {
  for (bool memory : {true, false}) {
    MemoryStream m;
    SlowStream s({});
    TQRNCustomReadStream r;
    r.SetLoadStream(memory ? static_cast<Stream*>(&m) : &s, 0);
    EXPECT_TRUE(r.EndOfData());
    EXPECT_EQ(r.Read1Byte(), 0);
    EXPECT_EQ(r.ReadMDword(), 0u);
    uint8_t b[4] = {9, 9, 9, 9};
    EXPECT_EQ(r.ReadByte(b, 4), 0);
    EXPECT_EQ(b[0], 9);
  }
}

TEST(ReadStream, ShortIntegerReadSetsEnd) {
  for (bool memory : {true, false}) {
    const std::vector<uint8_t> bytes = {1, 2, 3};
    MemoryStream m(bytes);
    SlowStream s(bytes);
    TQRNCustomReadStream r;
    r.SetLoadStream(memory ? static_cast<Stream*>(&m) : &s, 0);
    EXPECT_FALSE(r.EndOfData());
    EXPECT_EQ(r.ReadMDword(), 0u);
    EXPECT_TRUE(r.EndOfData());
    EXPECT_EQ(r.Read1Byte(), 0);  // nothing more once the end is reached
  }
}

TEST(ReadStream, MacBinaryHeaderIsSkipped) {
  std::vector<uint8_t> bytes = Counting(200);
  bytes[0] = 0;
  bytes[74] = 0;
  for (bool memory : {true, false})
    for (bool skip : {true, false}) {
      MemoryStream m(bytes);
      SlowStream s(bytes);
      TQRNCustomReadStream r;
      r.SkipMacBinary = skip;
      r.SetLoadStream(memory ? static_cast<Stream*>(&m) : &s, 0);
      EXPECT_EQ(r.MacBinaryFound(), skip);
      EXPECT_EQ(r.Read1Byte(), skip ? bytes[128] : bytes[0]);
    }
}

TEST(ReadStream, SourceStandsAfterWhatWasConsumed) {
  const std::vector<uint8_t> bytes = Counting(100000);
  for (bool memory : {true, false}) {
    MemoryStream m(bytes);
    SlowStream s(bytes);
    Stream& src = memory ? static_cast<Stream&>(m) : s;
    src.Seek(10);
    TQRNCustomReadStream r;
    r.SetLoadStream(&src, 0);
    EXPECT_EQ(r.ReadMWord(), (bytes[10] << 8 | bytes[11]));
    r.ReadSkipByte(70000);
    EXPECT_EQ(r.Read1Byte(), bytes[70012]);
    r.FlushStream();
    EXPECT_EQ(src.Position(), 70013);
  }
}

TEST(ReadStream, ZeroByteReadStops) {
  const std::vector<uint8_t> bytes = Counting(16);
  MemoryStream m(bytes);
  TQRNCustomReadStream r;
  r.SetLoadStream(&m, 0);
  uint8_t b[4];
  EXPECT_EQ(r.ReadByte(b, 0), 0);
  EXPECT_TRUE(r.Stopped());
  EXPECT_EQ(r.Read1Byte(), 0);
  EXPECT_EQ(r.Position(), 0);
  TQRNCustomReadStream r2;
  r2.SetLoadStream(&m, 0);
  EXPECT_EQ(r2.ReadSkipByte(0), 0);
  EXPECT_TRUE(r2.Stopped());
}

TEST(ReadStream, IntegersStraddlingTheBuffer) {
  const std::vector<uint8_t> bytes = Counting(70000);
  SlowStream s(bytes, 7);  // also: a source that hands out 7 bytes at a time
  TQRNCustomReadStream r;
  r.SetLoadStream(&s, 0);
  r.ReadSkipByte(65534);
  const uint32_t be = uint32_t{bytes[65534]} << 24 | uint32_t{bytes[65535]} << 16 | bytes[65536] << 8 | bytes[65537];
  EXPECT_EQ(r.ReadMDword(), be);
  EXPECT_EQ(r.ReadWord(), bytes[65538] | bytes[65539] << 8);
  EXPECT_EQ(r.ReadDWord(),
            uint32_t{bytes[65540]} | bytes[65541] << 8 | bytes[65542] << 16 | uint32_t{bytes[65543]} << 24);
  EXPECT_FALSE(r.EndOfData());
}

TEST(ReadStream, LongReadsAcrossTheBuffer) {
  const std::vector<uint8_t> bytes = Counting(300000);
  for (int64_t first : {1, 100, 65535}) {
    for (int64_t len : {int64_t{65536}, int64_t{65537}, int64_t{200000}, int64_t{70000}}) {
      SlowStream s(bytes);
      TQRNCustomReadStream r;
      r.SetLoadStream(&s, 0);
      r.ReadSkipByte(first);
      std::vector<uint8_t> out(static_cast<size_t>(len));
      ASSERT_EQ(r.ReadByte(out.data(), len), len);
      EXPECT_TRUE(std::equal(out.begin(), out.end(), bytes.begin() + first)) << first << "+" << len;
      EXPECT_EQ(r.Read1Byte(), bytes[static_cast<size_t>(first + len)]);
    }
  }
}

TEST(ReadStream, SkipPastTheBufferThenRead) {
  const std::vector<uint8_t> bytes = Counting(200000);
  SlowStream s(bytes);
  TQRNCustomReadStream r;
  r.SetLoadStream(&s, 0);
  r.Read1Byte();
  EXPECT_EQ(r.ReadSkipByte(150000), 150000);
  EXPECT_EQ(r.Position(), 150001);
  EXPECT_EQ(s.Position(), 150001);  // the source moved by a seek, the buffer is empty
  EXPECT_EQ(r.Read1Byte(), bytes[150001]);
  // Past the end: the end flag, nothing read.
  EXPECT_EQ(r.ReadSkipByte(60000), 0);
  EXPECT_TRUE(r.EndOfData());
}

TEST(ReadStream, ASourceShorterThanItsSizeEndsCleanly) {
  const std::vector<uint8_t> bytes = Counting(1000);
  SlowStream s(bytes);
  TQRNCustomReadStream r;
  r.SetLoadStream(&s, 5000);  // claims more than there is
  std::vector<uint8_t> out(2000);
  EXPECT_LT(r.ReadByte(out.data(), 2000), 2000);
  EXPECT_TRUE(r.EndOfData());
}

TEST(WriteStream, FlushesBeforePassing65535) {
  SlowStream s({});
  TQRNCustomWriteStream w;
  w.SetWriteStream(&s);
  const std::vector<uint8_t> big(70000, 1);
  w.WriteByte(big.data(), 65535);  // a long write goes straight to the target
  EXPECT_EQ(s.writes, std::vector<int64_t>{65535});
  w.WriteByte(big.data(), 65519);  // buffered
  EXPECT_EQ(w.Buffered(), 65519);
  w.Write1Byte(2);  // 65520 bytes fit
  EXPECT_EQ(w.Buffered(), 65520);
  for (int i = 0; i < 15; ++i) w.Write1Byte(3);
  EXPECT_EQ(w.Buffered(), 65535);
  EXPECT_EQ(s.writes.size(), 1u);
  w.Write1Byte(4);  // would make 65536: flush first
  EXPECT_EQ(s.writes, (std::vector<int64_t>{65535, 65535}));
  EXPECT_EQ(w.Buffered(), 1);
  w.WriteByte(big.data(), 65520);  // 65520 or more: flush, then write directly
  EXPECT_EQ(s.writes, (std::vector<int64_t>{65535, 65535, 1, 65520}));
  w.WriteMDWord(0x01020304);
  w.WriteDWord(0x01020304);
  w.WriteMWord(0x0506);
  w.WriteWord(0x0506);
  w.FlushStream();
  const auto& d = s.data();
  EXPECT_EQ(std::vector<uint8_t>(d.end() - 12, d.end()),
            (std::vector<uint8_t>{1, 2, 3, 4, 4, 3, 2, 1, 5, 6, 6, 5}));
  EXPECT_EQ(w.TotalWritten(), static_cast<int64_t>(d.size()));
  w.WriteByte(big.data(), 0);
  EXPECT_TRUE(w.Stopped());
  w.Write1Byte(1);
  EXPECT_EQ(w.Buffered(), 0);
}

TEST(ReadStream, ProgressOfAnEightRowImage) {
  using namespace test::png;
  // 8 rows of 2 grey pixels; the file is exactly kSize bytes.
  const std::string file = Signature() + IHDR(2, 8, 8, 0) + Chunk("IDAT", Deflate(FilterRows(GreyRamp(2, 8), 1))) +
                           IEND();
  Bitmap bmp;
  std::vector<int> percents;
  std::vector<ProgressStage> stages;
  bmp.OnProgress = [&](Bitmap&, ProgressStage stage, int percent) {
    percents.push_back(percent);
    stages.push_back(stage);
  };
  TQRNPNGReadStream r;
  MemoryStream m(file);
  r.LoadFromStream(&bmp, &m, 0);
  ASSERT_EQ(file.size(), 89u);  // 8 + 25 (IHDR) + 44 (IDAT: 32 bytes of zlib) + 12 (IEND)
  // Starting: 0. Chunks by position take 30 % of 99 = 29 points; IHDR ends at byte 33:
  // 29 × 33 / 89 = 10. Rows by count take 98 % of the 70 left = 68 points, reported at rows 2
  // and 6: 29 + 2 × 68 / 8 = 46 and 29 + 6 × 68 / 8 = 80. The rest has 2 points by position:
  // the IDAT's CRC and IEND add 2 × 16 / 89 = 0. Ending: 100.
  const std::vector<int> want = {0, 10, 46, 80, 100};
  EXPECT_EQ(percents, want) << file.size();
  EXPECT_EQ(stages.front(), ProgressStage::psStarting);
  EXPECT_EQ(stages.back(), ProgressStage::psEnding);
}

TEST(ReadStream, TrickleSourceDecodesLikeMemory) {
  // A file source that hands out 7 bytes at a time, against the in-place memory path.
  for (const char* name : {"basi2c08", "basn3p04", "tbbn0g04", "basi6a16"}) {
    const std::string bytes = test::ReadFileBytes(test::TestData(std::string("png/pngsuite/") + name + ".png"));
    TQRNPNG fromMemory, fromTrickle;
    MemoryStream m(bytes);
    fromMemory.LoadFromStream(m);
    SlowStream s(std::vector<uint8_t>(bytes.begin(), bytes.end()), 7);
    fromTrickle.LoadFromStream(s);
    EXPECT_EQ(fromTrickle.toQImage(), fromMemory.toQImage()) << name;
    EXPECT_EQ(s.Position(), s.Size()) << name;
  }
}

}  // namespace
}  // namespace yomira::qrn
