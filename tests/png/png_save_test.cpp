// The graphic's saving side: files, layout streaming and comparison.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QImage>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/atomic_file.h"
#include "png/errors.h"
#include "png/qrnpng.h"
#include "tests/png/png_test_util.h"
#include "tests/png/png_write_util.h"
#include "tests/support/test_support.h"

namespace yomira::qrn {
namespace {

using namespace yomira::test::png;
using yomira::test::ReadFileBytes;
using yomira::test::TempDir;
using yomira::test::TestData;

constexpr const char* kWriteError = "Write Image (PNG): Write Error";

std::unique_ptr<Bitmap> Noise(int w, int h, int seed) {
  return MakeBitmap(PixelFormat::pf24bit, w, h, {}, [=](uint8_t* row, int y) {
    for (int i = 0; i < 3 * w; ++i) row[i] = static_cast<uint8_t>(i * 31 + y * 17 + seed);
  });
}

std::string Path(const std::filesystem::path& p) { return p.string(); }

TEST(PngSave, SaveToFileWritesWhatSaveToStreamWrites) {
  TempDir dir;
  TQRNPNG png;
  png.Image()->Assign(Noise(7, 5, 1).get());
  png.UseCurrentTime = false;
  png.SaveToFile(Path(dir / "a.png"));
  EXPECT_EQ(ReadFileBytes(dir / "a.png"), Save(png));
  TQRNPNG back;
  back.LoadFromFile(Path(dir / "a.png"));
  EXPECT_EQ(FirstDifference(back.toQImage(), png.toQImage()), "");
  // Nothing is left beside it.
  int entries = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.path())) entries += e.is_regular_file();
  EXPECT_EQ(entries, 1);
}

TEST(PngSave, FailedSaveToFileLeavesTheOldFile) {
  TempDir dir;
  const auto target = dir / "old.png";
  {
    std::ofstream(target, std::ios::binary) << "old bytes";
  }
  TQRNPNG png;
  png.Image()->Assign(Noise(4, 4, 2).get());

  // An empty picture fails before anything is touched.
  TQRNPNG empty;
  EXPECT_EQ(Raised([&] { empty.SaveToFile(Path(target)); }), kWriteError);
  EXPECT_EQ(ReadFileBytes(target), "old bytes");
  EXPECT_EQ(Raised([&] { empty.SaveToFile(Path(dir / "new.png")); }), kWriteError);
  EXPECT_FALSE(std::filesystem::exists(dir / "new.png"));

  // A folder the process may not write to. Root writes anyway, so there the system's
  // refusal is simulated at the same step.
  ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
  const bool rootWrites = ::access(dir.path().c_str(), W_OK) == 0;
  if (rootWrites) SetAtomicWriteFailHook([](AtomicWriteStep s) { return s == AtomicWriteStep::Create; });
  const std::string message = Raised([&] { png.SaveToFile(Path(target)); });
  SetAtomicWriteFailHook(nullptr);
  ::chmod(dir.path().c_str(), 0755);
  EXPECT_EQ(message, kWriteError);
  EXPECT_EQ(ReadFileBytes(target), "old bytes");

  // A refused rename also leaves the old file and no temporary one.
  SetAtomicWriteFailHook([](AtomicWriteStep s) { return s == AtomicWriteStep::Rename; });
  EXPECT_EQ(Raised([&] { png.SaveToFile(Path(target)); }), kWriteError);
  SetAtomicWriteFailHook(nullptr);
  EXPECT_EQ(ReadFileBytes(target), "old bytes");
  int entries = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.path())) entries += e.is_regular_file();
  EXPECT_EQ(entries, 1);
}

TEST(PngSave, WriteDataOfAnEmptyPictureWritesNothing) {
  TQRNPNG png;
  MemoryStream out;
  png.WriteData(out);
  EXPECT_EQ(out.Size(), 0);
}

TEST(PngSave, WriteDataKeepsTheWriterDefaults) {
  // Only the metadata is handed over: no filter, interlace, IDAT size or password, and the
  // writer stamps the current time whatever UseCurrentTime says.
  TQRNPNG png;
  png.Image()->Assign(Noise(30, 30, 3).get());
  png.Interlace = gptAdam7;
  png.SetIDATSize(256);
  png.CompressionLevel = 0;
  png.Password = "pw";
  int calls = 0;
  png.OnEncode = [&](TQRNStreamBase&, uint8_t*, int, int, const std::string&) { ++calls; };
  png.UseCurrentTime = false;
  png.SetTime(PNGTime(2001, 2, 3, 4, 5, 6));
  png.Comment = "note";
  png.Gamma = 1.0;
  SetPNGClock([] { return std::time_t{951782400}; });  // 2000-02-29 00:00:00 UTC
  MemoryStream out;
  png.WriteData(out);
  SetPNGClock(nullptr);
  EXPECT_EQ(calls, 0);
  const auto chunks = WalkChunks(ToString(out.data()));
  std::string ihdr, time, tpng;
  ASSERT_TRUE(FindChunk(chunks, "IHDR", &ihdr));
  EXPECT_EQ(ihdr[12], 0) << "not interlaced";
  ASSERT_TRUE(FindChunk(chunks, "tIME", &time));
  EXPECT_EQ(yomira::test::hex(time), "07 D0 02 1D 00 00 00");
  ASSERT_TRUE(FindChunk(chunks, "tpNG", &tpng));
  EXPECT_EQ(tpng[4], 0);
  int idats = 0;
  for (const auto& c : chunks) idats += c.type == "IDAT";
  EXPECT_EQ(idats, 1) << "one IDAT of the default size";
  EXPECT_EQ(ChunkSequence(chunks), "IHDR tIME tEXt(Comment) tEXt(Software) tpNG gAMA IDAT IEND");
}

TEST(PngSave, ReadDataOfWriteData) {
  TQRNPNG png;
  png.LoadFromFile(TestData("png/pngsuite/tm3n3p02.png").string());
  png.BackgroundColor = 0x112233;
  png.Comment = "layout";
  png.PixelUnit = gpuMeter;
  png.PixelsPerUnitX = png.PixelsPerUnitY = 5000;
  MemoryStream data;
  png.WriteData(data);
  ASSERT_GT(data.Size(), 0);

  TQRNPNG back;
  back.Interlace = gptAdam7;
  back.Password = "secret";
  int decodes = 0, changes = 0;
  back.OnDecode = [&](TQRNStreamBase&, uint8_t*, int, int, const std::string&) { ++decodes; };
  back.OnChange = [&](TQRNPNG&) { ++changes; };
  data.Seek(0);
  back.ReadData(data);
  EXPECT_EQ(FirstDifference(back.toQImage(), png.toQImage()), "");
  EXPECT_TRUE(back.HasAlpha);
  EXPECT_EQ(back.Comment, "layout\r\n");
  EXPECT_EQ(back.PixelsPerUnitX, 5000);
  EXPECT_EQ(back.Interlace, gptAdam7) << "Interlace is left alone";
  EXPECT_EQ(decodes, 0);
  EXPECT_EQ(back.Password, "secret") << "options are put back";
  EXPECT_TRUE(static_cast<bool>(back.OnDecode));
  EXPECT_GT(changes, 0);

  // An interlaced file read as layout data leaves Interlace off too.
  TQRNPNG interlaced;
  interlaced.Image()->Assign(Noise(9, 9, 4).get());
  interlaced.Interlace = gptAdam7;
  MemoryStream file;
  interlaced.SaveToStream(file);
  file.Seek(0);
  TQRNPNG plain;
  plain.ReadData(file);
  EXPECT_EQ(plain.Interlace, gptNone);
  EXPECT_EQ(FirstDifference(plain.toQImage(), interlaced.toQImage()), "");
}

TEST(PngSave, ReadDataDropsExternalBitmapsAndLeavesThemAlone) {
  TQRNPNG source;
  source.Image()->Assign(Noise(5, 4, 7).get());
  MemoryStream data;
  source.WriteData(data);

  auto external = Noise(2, 2, 9);
  const QImage externalBefore = external->toQImage();
  Bitmap externalAlpha;
  TQRNPNG g;
  g.SetImage(external.get());
  g.SetABmp(&externalAlpha);
  ASSERT_EQ(g.Image(), external.get());
  data.Seek(0);
  g.ReadData(data);
  EXPECT_NE(g.Image(), external.get()) << "the layout is read into the own image";
  EXPECT_EQ(g.GetWidth(), 5);
  EXPECT_EQ(FirstDifference(g.toQImage(), source.toQImage()), "");
  EXPECT_EQ(FirstDifference(external->toQImage(), externalBefore), "") << "the caller's bitmap is untouched";
  EXPECT_TRUE(externalAlpha.Empty());
}

TEST(PngSave, Equals) {
  const std::string path = TestData("png/pngsuite/basn2c08.png").string();
  TQRNPNG a, b;
  a.LoadFromFile(path);
  b.LoadFromFile(path);
  EXPECT_TRUE(a.Equals(b));
  EXPECT_TRUE(b.Equals(a));
  b.Image()->ScanLine(31)[95] ^= 1;  // one sample of one pixel
  EXPECT_FALSE(a.Equals(b));
  b.LoadFromFile(path);
  b.Comment = "other";
  EXPECT_FALSE(a.Equals(b));

  TQRNPNG empty1, empty2;
  EXPECT_TRUE(empty1.Equals(empty2));
  EXPECT_FALSE(empty1.Equals(a));
  EXPECT_FALSE(a.Equals(empty1));

  // The clock plays no part: two graphics made at different times compare equal.
  SetPNGClock([] { return std::time_t{1}; });
  TQRNPNG early;
  SetPNGClock(nullptr);
  early.LoadFromFile(path);
  EXPECT_TRUE(early.Equals(a));

  // The alpha bitmap counts only with HasAlpha.
  TQRNPNG c, d;
  c.Image()->Assign(Noise(3, 3, 5).get());
  d.Image()->Assign(Noise(3, 3, 5).get());
  d.AlphaBitmap()->Assign(MakeBitmap(PixelFormat::pf8bit, 3, 3, {}, [](uint8_t* r, int) { r[0] = 9; }).get());
  EXPECT_TRUE(c.Equals(d));
  d.HasAlpha = true;
  EXPECT_FALSE(c.Equals(d));
}

}  // namespace
}  // namespace yomira::qrn
