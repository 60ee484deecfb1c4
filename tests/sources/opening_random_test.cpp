// Seeded random inputs for the parsers of outside text on the opening roads: switches,
// forwarded arguments and ".desktop" links. Nothing crashes, and the fields keep their ranges.
#include <fstream>
#include <random>

#include "fake_sources_host.h"
#include "sources/arguments.h"
#include "support/test_support.h"

namespace yomira {
namespace {

using test::SourcesWorld;

std::string RandomText(std::mt19937& rng, size_t maxLen) {
  // Bytes biased toward the characters the parsers look at.
  static const std::string alphabet = "-cefnlprsSEx0123456789 \t+$%/:.file";
  std::string s(std::uniform_int_distribution<size_t>(0, maxLen)(rng), '\0');
  for (char& c : s) {
    if (std::uniform_int_distribution<int>(0, 3)(rng) == 0)
      c = static_cast<char>(std::uniform_int_distribution<int>(0, 255)(rng));
    else
      c = alphabet[std::uniform_int_distribution<size_t>(0, alphabet.size() - 1)(rng)];
  }
  return s;
}

TEST(OpeningRandom, SwitchesKeepTheirRangesAndPositionsStayValid) {
  std::mt19937 rng(20261210);
  SourcesWorld w;
  w.AddFilter("A", "*.a");
  w.fields.DocumentLoaded = true;
  w.fields.Option.c_size = 3;
  w.fields.Option.Colum = 2;
  w.fields.Option.Page = 1;
  for (int round = 0; round < 3000; ++round) {
    w.sources.ParseParam(RandomText(rng, 12));
    const TParamOption& p = w.fields.StartParams;
    ASSERT_GE(p.StartCharCode, 0);
    ASSERT_LE(p.StartCharCode, 6);
    ASSERT_GE(p.StartFilter, -1);
    for (int v : {p.StartPage, p.StartLine, p.StartPos}) ASSERT_TRUE(v == -1 || v >= 1);
    ASSERT_GE(p.StartRate, -1);
    if (round % 10 == 0) {
      DisplayLines lines(std::uniform_int_distribution<size_t>(0, 40)(rng));
      for (size_t i = 0; i < lines.size(); ++i) {
        lines[i].source_line = static_cast<int32_t>(i / 3);
        AddElement(lines[i].elements, {.first = lines[i].source_line, .column = 1, .length = 10});
      }
      int page = 1;
      w.sources.ApplyParamPosition(page, lines);
      ASSERT_GE(page, 1);
      w.fields.StartParams.Reset();
    }
  }
}

TEST(OpeningRandom, ForwardedTextsNeverOpenWhatIsNotThere) {
  std::mt19937 rng(7);
  // Relative texts are looked up in an empty working folder.
  test::TempDir empty;
  const auto cwd = std::filesystem::current_path();
  std::filesystem::current_path(empty.path());
  SourcesWorld w;
  for (int round = 0; round < 2000; ++round) {
    std::string text = RandomText(rng, 20);
    if (round % 3 == 0) text = "file://" + text;
    const ClassifiedArgument c = ClassifyArgument(text);
    ASSERT_TRUE(c.kind == ArgumentKind::Switch || c.kind == ArgumentKind::Url || c.kind == ArgumentKind::Folder ||
                c.kind == ArgumentKind::Missing)
        << text;
    if (c.kind == ArgumentKind::Folder) continue;  // "/" or "." by chance: would open a real folder
    w.sources.WMCopyData(text);
  }
  std::filesystem::current_path(cwd);
  EXPECT_FALSE(w.fields.DocumentLoaded);
  // What is not there is only said to be missing.
  for (const std::string& m : w.host.messages) EXPECT_TRUE(m.ends_with(" ]\nファイルがありません。")) << m;
}

TEST(OpeningRandom, DesktopFilesGiveATargetOrNothing) {
  std::mt19937 rng(99);
  test::TempDir dir;
  const std::string path = dir / "x.desktop";
  const std::string header = "[Desktop Entry]\nType=Link\nURL=file://";
  for (int round = 0; round < 500; ++round) {
    std::string body = round % 2 ? header + RandomText(rng, 30) : RandomText(rng, 60);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << body;
    const std::string target = DocumentSources::ResolveShortcut(path);
    if (!target.empty()) {
      ASSERT_EQ(target[0], '/') << body;
    }
  }
  // Over 64 KiB: not a link file.
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      << header << "/tmp/a.txt\n" << std::string(64 * 1024, '#');
  EXPECT_EQ(DocumentSources::ResolveShortcut(path), "");
  std::ofstream(path, std::ios::binary | std::ios::trunc) << header << "/tmp/a.txt\n";
  EXPECT_EQ(DocumentSources::ResolveShortcut(path), "/tmp/a.txt");
}

}  // namespace
}  // namespace yomira
