// yomira-render's turn and hint modes on drawn-to-order views.
#include "turn_mode.h"

#include <gtest/gtest.h>

#include <QImage>

#include <string>
#include <vector>

#include "engine/core/option_defaults.h"
#include "render_options.h"
#include "text_mode.h"
#include "support/test_support.h"

namespace yomira::tools {
namespace {

using test::ReadFileBytes;
using test::sj;
using test::TempDir;

// View v: every column x holds x in red and green, v in blue.
QImage View(int32_t v, int w = 61, int h = 5) {
  QImage img(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img.setPixel(x, y, qRgb(x & 0xFF, x >> 8, v));
  return img;
}

DrawViewFn Views(int count, int w = 61) {
  return [count, w](int32_t v) { return v >= 1 && v <= count ? View(v, w) : QImage(); };
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  size_t at = 0;
  while (at < text.size()) {
    const size_t end = text.find('\n', at);
    out.push_back(text.substr(at, end - at));
    at = end == std::string::npos ? text.size() : end + 1;
  }
  return out;
}

QImage Frame(const TempDir& dir, int s) {
  char name[32];
  std::snprintf(name, sizeof name, "frame_%02d.png", s);
  return QImage(QString::fromStdString((dir / "f" / name).string())).convertToFormat(QImage::Format_RGB32);
}

TEST(TurnRun, WritesEveryFrameOfATwoPageTurn) {
  TYomiraOption o = DefaultOptions();
  o.Page = 2;
  o.Quality = 4;
  TempDir dir;
  TurnRun run{true, 2, 3, (dir / "f").string(), 0};
  TurnReport report;
  std::string error;
  ASSERT_EQ(RunTurn(o, run, Views(3), report, error), 0) << error;
  EXPECT_EQ(TurnReportJson(report).substr(0, 59), R"({"kind":3,"n":12,"frames":26,"width":61,"height":5,"frame_u)");
  const std::vector<std::string> lines = Lines(ReadFileBytes(dir / "f" / "frames.txt"));
  ASSERT_EQ(lines.size(), 26u);
  EXPECT_EQ(lines[0], "0 0 0 30 5");   // offset(3, -1) = 0 to half
  EXPECT_EQ(lines[25], "25 0 0 61 5");  // the last step repaints all
  // The first frame starts from view 1; the last one is view 2 to the last column of the odd width.
  EXPECT_EQ(qBlue(Frame(dir, 0).pixel(45, 2)), 1);
  EXPECT_EQ(Frame(dir, 25), View(2));
  EXPECT_FALSE(Frame(dir, 24) == View(2));
  EXPECT_TRUE(Frame(dir, 26).isNull());
}

TEST(TurnRun, KindsAndFrameCounts) {
  struct Case {
    const char* name;
    int pages, quality, page_ani;
    bool next;
    int view;
    const char* head;
  };
  const Case cases[] = {
      {"one page back", 1, 1, 1, false, 2, R"({"kind":2,"n":4,"frames":5,)"},
      {"one page next", 1, 0, 1, true, 3, R"({"kind":1,"n":3,"frames":4,)"},
      {"two pages back", 2, 2, 1, false, 1, R"({"kind":4,"n":6,"frames":14,)"},
      {"three pages turn as one", 3, 1, 1, true, 2, R"({"kind":1,"n":4,"frames":5,)"},
      {"no animation", 2, 4, 0, true, 2, R"({"kind":0,"n":12,"frames":1,)"},
  };
  for (const Case& c : cases) {
    TYomiraOption o = DefaultOptions();
    o.Page = c.pages;
    o.Quality = c.quality;
    o.page_ani = uint8_t(c.page_ani);
    TempDir dir;
    TurnReport report;
    std::string error;
    ASSERT_EQ(RunTurn(o, TurnRun{c.next, c.view, 3, (dir / "f").string(), 2}, Views(3, 600), report, error), 0)
        << c.name << ": " << error;
    const std::string json = TurnReportJson(report);
    EXPECT_EQ(json.substr(0, std::string(c.head).size()), c.head) << c.name << ": " << json;
    EXPECT_EQ(Lines(ReadFileBytes(dir / "f" / "frames.txt")).size(), size_t(report.frames)) << c.name;
    EXPECT_EQ(Frame(dir, report.frames - 1), View(c.view, 600)) << c.name;
  }
}

TEST(TurnRun, NoViewToTurnFromOrTo) {
  const TYomiraOption o = DefaultOptions();
  TempDir dir;
  const struct {
    bool next;
    int view;
  } cases[] = {{true, 1}, {false, 3}, {true, 4}, {false, 0}, {true, -5}};
  for (const auto& c : cases) {
    TurnReport report;
    std::string error;
    EXPECT_EQ(RunTurn(o, TurnRun{c.next, c.view, 3, (dir / "f").string(), 0}, Views(3), report, error), 2);
    EXPECT_FALSE(error.empty());
  }
  // A view that cannot be drawn, and a frame folder that cannot be made.
  TurnReport report;
  std::string error;
  EXPECT_EQ(RunTurn(o, TurnRun{true, 2, 3, (dir / "f").string(), 0}, Views(1), report, error), 2);
  std::FILE* f = std::fopen((dir / "file").string().c_str(), "w");
  std::fclose(f);
  EXPECT_EQ(RunTurn(o, TurnRun{true, 2, 3, (dir / "file" / "f").string(), 0}, Views(3), report, error), 2);
}

TEST(TurnRun, HintJson) {
  TYomiraOption o = DefaultOptions();  // panel 492 wide, line 0 at x 430
  TPageAnnotation map;
  map.SetSize(o.v_size, o.c_size, o.Page, o.Colum);
  map.Add(0, 0, 2, sj(u8"注記のテスト"), 1, 1);
  map.Add(4, 1, 2, sj(u8"引用\"と\\"), 1, 1);
  EXPECT_EQ(HintJson(o, 492, map, 448, 31), R"({"hit":{"cell":0,"line":0,"page":0,"block":0},"text":"注記のテスト"})");
  EXPECT_EQ(HintJson(o, 492, map, 420, 55), R"({"hit":{"cell":4,"line":1,"page":0,"block":0},"text":"引用\"と\\"})");
  EXPECT_EQ(HintJson(o, 492, map, 448, 100), R"({"hit":{"cell":10,"line":0,"page":0,"block":0},"text":""})");
  EXPECT_EQ(HintJson(o, 492, map, 30, 31), R"({"hit":null,"text":""})");
  EXPECT_EQ(JsonString("a\nb\x01"), R"("a\u000ab\u0001")");
}

TEST(TurnRun, ParsesItsOptions) {
  struct Case {
    std::vector<std::string> args;
    const char* error;  // "" when every argument is taken and they go together
  };
  const Case cases[] = {
      {{"--turn", "next", "--frames-dir", "d"}, ""},
      {{"--turn", "back", "--frames-dir", "d"}, ""},
      {{"--hint", "448,31"}, ""},
      {{"--hint", "-3,-40"}, ""},
      {{"--turn", "forward", "--frames-dir", "d"}, "--turn takes next or back, not forward"},
      {{"--turn"}, "--turn needs a value"},
      {{"--hint", "448"}, "--hint takes X,Y, not 448"},
      {{"--hint", "448,"}, "--hint takes X,Y, not 448,"},
      {{"--hint", "4x,3"}, "--hint takes X,Y, not 4x,3"},
      {{"--hint", "1,99999999999"}, "--hint takes X,Y, not 1,99999999999"},
      {{"--turn", "next"}, "--turn needs --frames-dir"},
      {{"--frames-dir", "d"}, "--frames-dir needs --turn"},
      {{"--turn", "next", "--frames-dir", "d", "--hint", "1,2"}, "--turn and --hint do not go together"},
  };
  for (const Case& c : cases) {
    TurnHintArgs parsed;
    std::string error;
    size_t i = 0;
    for (; i < c.args.size() && error.empty(); ++i)
      if (!ParseTurnHintArg(c.args, i, parsed, error)) break;
    if (error.empty()) error = CheckTurnHintArgs(parsed);
    EXPECT_EQ(error, c.error) << c.args[0] << " " << (c.args.size() > 1 ? c.args[1] : "");
  }
  TurnHintArgs parsed;
  std::string error;
  const std::vector<std::string> args = {"--hint", "-3,40", "--view"};
  size_t i = 0;
  ASSERT_TRUE(ParseTurnHintArg(args, i, parsed, error));
  EXPECT_EQ(i, 1u);
  EXPECT_EQ(parsed.hintX, -3);
  EXPECT_EQ(parsed.hintY, 40);
  i = 2;
  EXPECT_FALSE(ParseTurnHintArg(args, i, parsed, error));
  EXPECT_EQ(error, "");  // not one of ours
}

// The text mode with --turn and --hint, as yomira-render runs them.
class TextTurn : public ::testing::Test {
 protected:
  TempDir dir;

  std::string Write(const std::string& name, const std::string& utf8) {
    const std::string path = (dir / name).string();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(utf8.data(), 1, utf8.size(), f);
    std::fclose(f);
    return path;
  }
  static TYomiraOption Options(std::vector<std::string> sets) {
    TYomiraOption o = DefaultOptions();
    for (const std::string& s : sets) EXPECT_EQ(ApplySet(o, s), "") << s;
    o.Validate();
    return o;
  }
  // Exit code and stdout of one run.
  static std::pair<int, std::string> Run(const TYomiraOption& o, const TextRun& run) {
    std::string error;
    ::testing::internal::CaptureStdout();
    const int code = RunText(o, run, error);
    return {code, ::testing::internal::GetCapturedStdout() + error};
  }
};

TEST_F(TextTurn, LastFrameIsTheViewTurnedTo) {
  // Every line starts elsewhere in the poem, so no two views look alike.
  const std::string poem = "いろはにほへとちりぬるをわかよたれそつねならむうゐのおくやまけふこえて";
  std::string text;
  for (size_t i = 0; i < 40; ++i) {
    const size_t at = (i * 8 % 35) * 3;  // 35 kana of 3 bytes each
    text += poem.substr(at) + poem.substr(0, at) + "\n";
  }
  TextRun run;
  run.file = Write("t.txt", text);
  run.utf8 = true;
  run.view = 2;
  for (const char* odd : {"PageMargin=16", "PageMargin=15"}) {
    const TYomiraOption o = Options({"Page=2", "Quality=0", odd});
    run.out = (dir / "v2.png").string();
    run.turnHint = {};
    ASSERT_EQ(Run(o, run).first, 0) << odd;
    run.out.clear();
    run.turnHint.turnNext = true;
    run.turnHint.framesDir = (dir / "f").string();
    const auto [code, out] = Run(o, run);
    ASSERT_EQ(code, 0) << out;
    EXPECT_EQ(out.substr(0, 28), R"({"kind":3,"n":3,"frames":8,")") << out;
    const QImage want(QString::fromStdString((dir / "v2.png").string()));
    EXPECT_EQ(Frame(dir, 7), want.convertToFormat(QImage::Format_RGB32)) << odd;
    EXPECT_FALSE(Frame(dir, 4) == want.convertToFormat(QImage::Format_RGB32)) << odd;
    EXPECT_FALSE(Frame(dir, 0) == want.convertToFormat(QImage::Format_RGB32)) << odd;
  }
  // A turn from a view that does not exist.
  run.view = 1;
  EXPECT_EQ(Run(Options({}), run).first, 2);
}

TEST_F(TextTurn, HintNamesTheAnnotationUnderThePoint) {
  TextRun run;
  run.file = Write("h.txt", "漢［＃注記のテスト］字\n");
  run.utf8 = true;
  run.turnHint.hint = true;
  const TYomiraOption o = Options({"UseCover=0"});
  struct Case {
    int x, y;
    const char* line;
  };
  for (const Case& c : {Case{448, 31, R"({"hit":{"cell":0,"line":0,"page":0,"block":0},"text":"注記のテスト"})"},
                        Case{448, 45, R"({"hit":{"cell":2,"line":0,"page":0,"block":0},"text":""})"},
                        Case{30, 31, R"({"hit":null,"text":""})"}}) {
    run.turnHint.hintX = c.x;
    run.turnHint.hintY = c.y;
    const auto [code, out] = Run(o, run);
    ASSERT_EQ(code, 0) << out;
    const size_t last = out.rfind('\n', out.size() - 2);
    EXPECT_EQ(out.substr(last + 1), std::string(c.line) + "\n") << out;
  }
}

}  // namespace
}  // namespace yomira::tools
