// Start switches and the start position.
#include <climits>

#include "fake_sources_host.h"
#include "platform/text/cp932.h"
#include "support/test_support.h"

namespace yomira {
namespace {

using test::SourcesWorld;

// The seven fields as one comparable row.
std::vector<int> Row(const TParamOption& p) {
  return {p.FullScreen, p.StartCharCode, p.StartFilter, p.StartPage, p.StartLine, p.StartPos, p.StartRate};
}

TEST(ParseParam, SwitchesOneAfterAnother) {
  // Each argument is applied on top of the ones before it.
  struct Step {
    const char* arg;
    std::vector<int> row;
  };
  const Step steps[] = {
      {"-c2", {0, 2, -1, -1, -1, -1, -1}},        {"-e1", {0, 2, 1, -1, -1, -1, -1}},
      {"-p999", {0, 2, 1, 999, -1, -1, -1}},      {"-r10001", {0, 2, 1, 999, -1, -1, 10001}},
      {"-l10", {0, 2, 1, 999, 10, -1, 10001}},    {"-n40", {0, 2, 1, 999, 10, 40, 10001}},
      {"-c9", {0, 2, 1, 999, 10, 40, 10001}},     {"-c-1", {0, 2, 1, 999, 10, 40, 10001}},
      {"-e-1", {0, 2, 1, 999, 10, 40, 10001}},    {"-p0", {0, 2, 1, 999, 10, 40, 10001}},
      {"-l0", {0, 2, 1, 999, 10, 40, 10001}},     {"-n0", {0, 2, 1, 999, 10, 40, 10001}},
      {"-r-1", {0, 2, 1, 999, 10, 40, 10001}},    {"-r0", {0, 2, 1, 999, 10, 40, 0}},
      {"-p0x10", {0, 2, 1, 999, 10, 40, 0}},      {"-p$10", {0, 2, 1, 999, 10, 40, 0}},
      {"-p3x", {0, 2, 1, 999, 10, 40, 0}},        {"-p 7", {0, 2, 1, 7, 10, 40, 0}},
      {"-p+8", {0, 2, 1, 8, 10, 40, 0}},          {"-p2147483648", {0, 2, 1, 8, 10, 40, 0}},
      {"-nulls", {0, 2, 1, 8, 10, 40, 0}},        {"-fx", {0, 2, 1, 8, 10, 40, 0}},
      {"-", {0, 2, 1, 8, 10, 40, 0}},             {"p3", {0, 2, 1, 8, 10, 40, 0}},
      {"\xEF\xBC\x8Dp3", {0, 2, 1, 8, 10, 40, 0}},  // "－p3", a full-width minus
      {"-x5", {0, 2, 1, 8, 10, 40, 0}},           {"-P5", {0, 2, 1, 8, 10, 40, 0}},
      {"-f", {1, 2, 1, 8, 10, 40, 0}},            {"-null", {0, 0, -1, -1, -1, -1, -1}},
      {"-c3", {0, 3, -1, -1, -1, -1, -1}},        {"-c", {0, 0, -1, -1, -1, -1, -1}},
      {"-cx", {0, 0, -1, -1, -1, -1, -1}},        {" \t-p3\r\n ", {0, 0, -1, 3, -1, -1, -1}},
      {"-e", {0, 0, -1, 3, -1, -1, -1}},          {"-e0", {0, 0, 0, 3, -1, -1, -1}},
      {" -null ", {0, 0, -1, -1, -1, -1, -1}},
  };
  SourcesWorld w;
  for (const Step& s : steps) {
    w.sources.ParseParam(s.arg);
    EXPECT_EQ(Row(w.fields.StartParams), s.row) << '"' << s.arg << '"';
  }
  EXPECT_TRUE(w.host.calls.empty());
}

TEST(ParseParam, FilterByCaption) {
  SourcesWorld w;
  w.AddFilter("PDF", "*.pdf");
  w.AddFilter("Word", "*.doc");
  const std::pair<const char*, int> cases[] = {
      {"-Epdf", -1}, {"-E Word ", 1}, {"-Eword", 1}, {"-EPDF", 0}, {"-E", 0}, {"-E  ", 0}, {"-ENone", 0},
  };
  for (const auto& [arg, filter] : cases) {
    w.sources.ParseParam(arg);
    EXPECT_EQ(w.fields.StartParams.StartFilter, filter) << arg;
  }
}

TEST(ParseParam, StylesComeToTheFrontEitherWay) {
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"-s2", {"ApplyStyleIndex(2)", "ForceForeground"}},
      {"-s0", {"ApplyStyleIndex(0)", "ForceForeground"}},
      {"-sx", {"ForceForeground"}},
      {"-s-3", {"ForceForeground"}},
      {"-S", {"ForceForeground"}},
      {"-SNight", {"ApplyStyleName(Night)", "ForceForeground"}},
  };
  for (const auto& [arg, calls] : cases) {
    SourcesWorld w;
    w.sources.ParseParam(arg);
    EXPECT_EQ(w.host.calls, calls) << arg;
    EXPECT_EQ(Row(w.fields.StartParams), Row(TParamOption()));
  }
}

// A loaded document of n display lines: line i belongs to source line i / 2 and holds one
// text of 40 bytes at column 1 or 41.
DisplayLines Lines(int n) {
  DisplayLines lines(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    lines[i].source_line = i / 2;
    AddElement(lines[i].elements, {.kind = kText, .first = i / 2, .column = 1 + 40 * (i % 2), .length = 40});
  }
  return lines;
}

struct Apply {
  int page;
  int pending;
};

Apply ApplyWith(const std::vector<std::string>& args, int lineCount, int pendingBefore = -1, int pageBefore = 1,
                int linesPerView = 5, SourcesWorld* world = nullptr) {
  SourcesWorld local;
  SourcesWorld& w = world ? *world : local;
  w.fields.DocumentLoaded = w.fields.LaidOut = true;
  w.fields.Option.c_size = linesPerView;
  w.fields.Option.Colum = 1;
  w.fields.Option.Page = 1;
  w.fields.PendingRate = pendingBefore;
  for (const auto& a : args) w.sources.ParseParam(a);
  int page = pageBefore;
  w.sources.ApplyParamPosition(page, Lines(lineCount));
  return {page, w.fields.PendingRate};
}

TEST(ApplyParamPosition, Positions) {
  struct Case {
    std::vector<std::string> args;
    int lines;
    int page;
    int pending;
  };
  // 60 lines, 5 a view: 12 views.
  const Case cases[] = {
      {{"-p999"}, 60, 12, -1},
      {{"-p4"}, 60, 4, -1},
      {{"-r10000"}, 60, 13, -1},  // the drawing lowers it to the last view
      {{"-r5000"}, 60, 7, -1},
      {{"-r0"}, 60, 1, -1},
      {{"-r833"}, 60, 1, -1},      // 12 x 833 / 100 = 99, / 100 = 0: two truncating divisions
      {{"-r834"}, 60, 2, -1},
      {{"-l3"}, 60, 1, -1},
      {{"-l3", "-n60"}, 60, 2, -1},
      {{"-l3", "-n41"}, 60, 1, -1},  // 1 + 40 reaches 41 in the first line
      {{"-l13"}, 60, 5, -1},         // source line 12 starts at display line 24
      {{"-l31"}, 60, 3, 5000},       // past the end: nothing found, the saved position stays
      {{"-n60"}, 60, 1, -1},         // without -l: the first source line
      {{"-n100"}, 60, 3, 5000},      // the walk stops at the next source line
      {{"-r10001"}, 60, 3, 5000},
      {{"-l31", "-r5000"}, 60, 7, -1},
      {{"-p2", "-r5000", "-l3"}, 60, 2, -1},  // the page wins
      {{"-p5"}, 0, 1, -1},                    // never page 0
      {{}, 60, 3, 5000},
  };
  for (const Case& c : cases) {
    std::string name;
    for (const auto& a : c.args) name += a + " ";
    SCOPED_TRACE(name);
    const Apply r = ApplyWith(c.args, c.lines, 5000, 3);
    EXPECT_EQ(r.page, c.page);
    EXPECT_EQ(r.pending, c.pending);
  }
}

TEST(ApplyParamPosition, ManyViewsDoNotOverflow) {
  const Apply r = ApplyWith({"-r10000"}, 250000, -1, 1, 1);
  EXPECT_EQ(r.page, 250001);
  const Apply half = ApplyWith({"-r5000"}, 250000, -1, 1, 1);
  EXPECT_EQ(half.page, 125001);
}

TEST(ApplyParamPosition, FullScreenAndNoDocument) {
  {
    SourcesWorld w;
    const Apply r = ApplyWith({"-f"}, 60, -1, 1, 5, &w);
    EXPECT_EQ(w.host.calls, std::vector<std::string>{"ExecuteFullScreen"});
    EXPECT_EQ(r.page, 1);
  }
  {
    SourcesWorld w;
    w.host.fullScreen = true;
    ApplyWith({"-f"}, 60, -1, 1, 5, &w);
    EXPECT_TRUE(w.host.calls.empty());
  }
  SourcesWorld w;
  w.sources.ParseParam("-f");
  w.sources.ParseParam("-p3");
  w.fields.PendingRate = 700;
  int page = 9;
  w.sources.ApplyParamPosition(page, Lines(60));
  EXPECT_EQ(page, 9);
  EXPECT_EQ(w.fields.PendingRate, 700);
  EXPECT_TRUE(w.host.calls.empty());
}

TEST(SwitchNumbers, DecimalOnly) {
  EXPECT_EQ(TryStrToIntDecimal(" -12"), -12);
  EXPECT_EQ(TryStrToIntDecimal("2147483647"), INT_MAX);
  EXPECT_EQ(TryStrToIntDecimal("-2147483648"), INT_MIN);
  for (const char* bad : {"", "3x", "$10", "0x10", "x10", "2147483648", "1 ", "-"})
    EXPECT_FALSE(TryStrToIntDecimal(bad).has_value()) << bad;
  EXPECT_EQ(TryStrToInt("$10"), 16);  // the settings' reader keeps hex
}

}  // namespace
}  // namespace yomira
