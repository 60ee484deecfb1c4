#include "glyph_sheet.h"

#include <QImage>
#include <QSaveFile>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "engine/core/option_defaults.h"
#include "engine/render/EmphasisStrip.h"
#include "engine/render/FontEngine.h"
#include "engine/render/GlyphDraw.h"
#include "engine/render/Pixels.h"
#include "engine/render/TextMetrics.h"
#include "platform/text/utf8.h"
#include "sources/picture.h"

namespace yomira::tools {

namespace {

// Ink found in a region: anything darker than white.
struct Ink {
  int left = 0, top = 0, right = -1, bottom = -1;  // inclusive box; empty when right < left
  double sum = 0;                                  // total darkness, 0-255 per pixel
  double cx = 0, cy = 0;                           // darkness-weighted centroid
  bool empty() const { return right < left; }
  int width() const { return empty() ? 0 : right - left + 1; }
  int height() const { return empty() ? 0 : bottom - top + 1; }
};

Ink Measure(const QImage& image, const Rect& r) {
  Ink ink;
  ink.left = r.right;
  ink.top = r.bottom;
  double sx = 0, sy = 0;
  for (int y = std::max(0, r.top); y < std::min(image.height(), r.bottom); ++y) {
    const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = std::max(0, r.left); x < std::min(image.width(), r.right); ++x) {
      const int dark = 255 - (qRed(row[x]) + qGreen(row[x]) + qBlue(row[x])) / 3;
      if (dark <= 0) continue;
      ink.left = std::min(ink.left, x);
      ink.right = std::max(ink.right, x);
      ink.top = std::min(ink.top, y);
      ink.bottom = std::max(ink.bottom, y);
      ink.sum += dark;
      sx += static_cast<double>(dark) * x;
      sy += static_cast<double>(dark) * y;
    }
  }
  if (ink.sum > 0) {
    ink.cx = sx / ink.sum;
    ink.cy = sy / ink.sum;
  } else {
    ink.right = ink.left - 1;
  }
  return ink;
}

// Separate runs of inked columns.
int ColumnPieces(const QImage& image, const Ink& box) {
  int pieces = 0;
  bool inRun = false;
  for (int x = box.left; x <= box.right; ++x) {
    bool any = false;
    for (int y = box.top; y <= box.bottom && !any; ++y)
      any = qRed(reinterpret_cast<const QRgb*>(image.constScanLine(y))[x]) < 255;
    if (any && !inRun) ++pieces;
    inRun = any;
  }
  return pieces;
}

std::string Fmt(const char* format, double a, double b = 0) {
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, format, a, b);
  return buffer;
}

class Sheet {
 public:
  Sheet(const std::string& faceUtf8, int f) : face_(faceUtf8), f_(f) {
    metrics_.TextColor = 0;
    metrics_.SetFont(face_, false, f_);
  }

  // A scratch page with a cell at (f, f); the check draws, the scratch joins the sheet.
  QImage Scratch() const {
    QImage img = MakeBitmap(kCols * f_, kRows * f_);
    img.fill(qRgb(255, 255, 255));
    return img;
  }
  static constexpr int kCols = 12, kRows = 4;
  int f() const { return f_; }
  TYomiraTextMetrics& metrics() { return metrics_; }
  const std::string& face() const { return face_; }

  // Draws text in a mode with a cell's top-left at (cx, cy), through one of the paths.
  void Draw(QImage& img, int cx, int cy, int mode, bool aa, std::string_view text) {
    metrics_.SetOrientation(mode);
    int x = cx, y = cy;
    if (!aa) {
      // The canvas takes the reference point of the turned font.
      if (mode != goHorizontal) x += f_;
      if (mode == goRotated) y += f_;
    }
    DrawString(img, x, y, metrics_, aa, text);
    metrics_.SetOrientation(goVertical);
  }

  void AddRow(const QImage& canvas, const QImage& outline) {
    rows_.push_back({canvas, outline});
  }

  QImage Compose() const {
    const int w = kCols * f_, h = kRows * f_;
    QImage sheet = MakeBitmap(2 * w + 3, std::max<int>(1, static_cast<int>(rows_.size()) * (h + 1)));
    sheet.fill(qRgb(160, 160, 160));
    for (size_t i = 0; i < rows_.size(); ++i) {
      const int top = static_cast<int>(i) * (h + 1);
      Blit(sheet, 1, top, rows_[i].first, {0, 0, w, h});
      Blit(sheet, w + 2, top, rows_[i].second, {0, 0, w, h});
    }
    return sheet;
  }

 private:
  std::string face_;
  int f_;
  TYomiraTextMetrics metrics_;
  std::vector<std::pair<QImage, QImage>> rows_;
};

}  // namespace

int RunGlyphSheet(const std::string& faceUtf8, int f, const std::string& out) {
  FontEngine& engine = FontEngine::Instance();
  const ResolvedFont* font = engine.Resolve(faceUtf8, false);
  if (!font || FontEngine::FamilyOf(font).empty()) {
    std::fprintf(stderr, "yomira-render: no font for %s\n", faceUtf8.c_str());
    return 2;
  }
  const std::string sjA = Utf8ToCp932("あ"), sjKan = Utf8ToCp932("漢"), sjBar = Utf8ToCp932("ー");
  auto code = [](const std::string& s) {
    return static_cast<uint16_t>(static_cast<unsigned char>(s[0]) * 256 + static_cast<unsigned char>(s[1]));
  };
  const bool faceOk = engine.HasCode(font, code(sjA)) && engine.HasCode(font, code(sjKan)) &&
                      engine.HasCode(font, code(sjBar));
  const bool vertical = FontEngine::IsVertical(font);
  std::printf("face %s -> %s vertical=%d hwid=%d %s\n", faceUtf8.c_str(), FontEngine::FamilyOf(font).c_str(),
              vertical ? 1 : 0, FontEngine::HasHwid(font) ? 1 : 0, faceOk ? "OK" : "FAIL");
  bool failed = !faceOk;
  auto report = [&](const char* name, const std::string& value, bool ok, bool skip = false) {
    std::printf("%s: %s %s\n", name, value.c_str(), skip ? "SKIP" : ok ? "OK" : "FAIL");
    if (!ok && !skip) failed = true;
  };

  Sheet sheet(faceUtf8, f);
  const double F = f;
  const int cx = f, cy = f;  // the cell every check draws in
  const Rect cell{cx, cy, cx + f, cy + f};
  auto sj = [](const char* utf8) { return Utf8ToCp932(utf8); };

  // Runs a drawing on both paths; the check looks at both scratches.
  auto both = [&](const std::function<void(QImage&, bool)>& draw) {
    QImage canvas = sheet.Scratch(), outline = sheet.Scratch();
    draw(canvas, false);
    draw(outline, true);
    sheet.AddRow(canvas, outline);
    return std::make_pair(canvas, outline);
  };
  const Rect all{0, 0, Sheet::kCols * f, Sheet::kRows * f};

  // Vertical forms.
  {
    auto [c, o] = both([&](QImage& img, bool aa) { sheet.Draw(img, cx, cy, goVertical, aa, sj("、")); });
    bool ok = true;
    std::string value;
    for (const QImage* img : {&c, &o}) {
      const Ink ink = Measure(*img, cell);
      const double x = (ink.cx - cx) / F, y = (ink.cy - cy) / F;
      ok = ok && !ink.empty() && x > 0.5 && y < 0.5;
      value = Fmt("x=%.2ff y=%.2ff", x, y);
    }
    report("vert 、", value, ok, !vertical);
  }
  auto ratioCheck = [&](const char* name, const char* text, int mode, bool tall, double need) {
    auto [c, o] = both([&](QImage& img, bool aa) { sheet.Draw(img, cx, cy, mode, aa, sj(text)); });
    bool ok = true;
    double r = 0;
    for (const QImage* img : {&c, &o}) {
      const Ink ink = Measure(*img, all);
      r = ink.empty() ? 0 : tall ? static_cast<double>(ink.height()) / ink.width()
                                 : static_cast<double>(ink.width()) / ink.height();
      ok = ok && r >= need;
    }
    report(name, Fmt(tall ? "h/w=%.2f" : "w/h=%.2f", r), ok, !vertical);
  };
  ratioCheck("vert ー", "ー", goVertical, true, 3);
  ratioCheck("vert 「", "「", goVertical, false, 1.5);
  ratioCheck("rot －", "－", goRotated, true, 3);
  ratioCheck("rot ：", "：", goRotated, false, 2);

  // Latin on its side in a half cell.
  {
    auto [c, o] = both([&](QImage& img, bool aa) { sheet.Draw(img, cx, cy, goVertical, aa, "A"); });
    bool ok = true;
    std::string value;
    for (const QImage* img : {&c, &o}) {
      const Ink ink = Measure(*img, all);
      const double r = ink.empty() ? 0 : static_cast<double>(ink.width()) / ink.height();
      const bool inside = !ink.empty() && ink.left >= cx - 1 && ink.right <= cx + f && ink.top >= cy - 1 &&
                          ink.bottom <= cy + f / 2;
      ok = ok && r >= 1.2 && inside;
      value = Fmt("w/h=%.2f", r) + (inside ? " inside" : " outside");
    }
    report("side A", value, ok);
  }
  // Tate-chu-yoko: two half-width digits upright in one cell.
  {
    auto [c, o] = both([&](QImage& img, bool aa) { sheet.Draw(img, cx, cy, goHorizontal, aa, "12"); });
    bool ok = true;
    std::string value;
    for (const QImage* img : {&c, &o}) {
      const Ink ink = Measure(*img, all);
      const int pieces = ColumnPieces(*img, ink);
      ok = ok && !ink.empty() && ink.width() <= f + 1 && ink.height() < f && pieces == 2;
      value = Fmt("w=%.0f h=%.0f", ink.width(), ink.height()) + " pieces=" + std::to_string(pieces);
    }
    report("tcy 12", value, ok);
  }
  // Long repeat mark whole, then its halves in two cells.
  {
    auto [c, o] = both([&](QImage& img, bool aa) { sheet.Draw(img, cx, cy, goLongRepeat, aa, sj("く")); });
    bool ok = true;
    double h = 0;
    for (const QImage* img : {&c, &o}) {
      const Ink ink = Measure(*img, all);
      h = ink.height() / F;
      ok = ok && h >= 1.6 && h <= 2.0;
    }
    report("long く", Fmt("h=%.2ff", h), ok, !vertical);
  }
  {
    // Upper half in the cell at (cx, cy), lower half in the cell at (cx + 3f, cy).
    const int cx2 = cx + 3 * f;
    auto [c, o] = both([&](QImage& img, bool aa) {
      sheet.Draw(img, cx, cy, goLongRepeatFirst, aa, sj("く"));
      sheet.Draw(img, cx2, cy, goLongRepeatSecond, aa, sj("く"));
    });
    bool ok = true;
    std::string value;
    for (const QImage* img : {&c, &o}) {
      const Ink upper = Measure(*img, {cx - f, 0, cx + 2 * f, 4 * f});
      const Ink lower = Measure(*img, {cx2 - f, 0, cx2 + 2 * f, 4 * f});
      auto inCell = [&](const Ink& ink, int x) {
        return !ink.empty() && ink.left >= x - 1 && ink.right <= x + f && ink.top >= cy - 1 && ink.bottom <= cy + f;
      };
      ok = ok && inCell(upper, cx) && inCell(lower, cx2);
      value = Fmt("upper %.0f-%.0f", upper.top - cy, upper.bottom - cy) +
              Fmt(" lower %.0f-%.0f", lower.top - cy, lower.bottom - cy);
    }
    report("halves", value, ok, !vertical);
  }
  // Switching to the long form twice keeps the same size.
  {
    auto [c, o] = both([&](QImage& img, bool aa) {
      TYomiraTextMetrics& m = sheet.metrics();
      m.SetOrientation(goVertical);
      m.SetOrientation(goLongRepeat);
      DrawString(img, aa ? cx : cx + f, cy, m, aa, sj("く"));
      m.SetOrientation(goLongRepeat);
      DrawString(img, aa ? cx + 3 * f : cx + 4 * f, cy, m, aa, sj("く"));
      m.SetOrientation(goVertical);
    });
    bool ok = true;
    std::string value;
    for (const QImage* img : {&c, &o}) {
      const Ink first = Measure(*img, {0, 0, cx + 2 * f, 4 * f});
      const Ink second = Measure(*img, {cx + 2 * f, 0, Sheet::kCols * f, 4 * f});
      ok = ok && !first.empty() && std::abs(first.height() - second.height()) <= 1;
      value = Fmt("%.0f then %.0f", first.height(), second.height());
    }
    report("repeat 3-3", value, ok);
  }
  // Bold and the two paths.
  {
    TYomiraTextMetrics bold;
    bold.TextColor = 0;
    bold.SetFont(faceUtf8, true, f);
    QImage regular = sheet.Scratch(), heavy = sheet.Scratch();
    sheet.Draw(regular, cx, cy, goVertical, true, sj("永"));
    bold.SetOrientation(goVertical);
    DrawString(heavy, cx, cy, bold, true, sj("永"));
    sheet.AddRow(regular, heavy);
    const double ratio = Measure(regular, all).sum > 0 ? Measure(heavy, all).sum / Measure(regular, all).sum : 0;
    report("bold 永", Fmt("ink x%.2f", ratio), ratio >= 1.1);
  }
  {
    auto [c, o] = both([&](QImage& img, bool aa) { sheet.Draw(img, cx, cy, goVertical, aa, sj("永")); });
    const Ink a = Measure(c, all), b = Measure(o, all);
    const int d = std::max({std::abs(a.left - b.left), std::abs(a.right - b.right), std::abs(a.top - b.top),
                            std::abs(a.bottom - b.bottom)});
    report("paths 永", "box difference " + std::to_string(d) + " px", !a.empty() && d <= 1);
  }
  // A blank does not end the string.
  {
    QImage c = sheet.Scratch(), o = sheet.Scratch();
    sheet.Draw(o, cx, cy, goVertical, true, sj("　漢"));
    sheet.Draw(c, cx, cy, goVertical, false, sj("　漢"));
    sheet.AddRow(c, o);
    const Ink first = Measure(o, cell), second = Measure(o, {cx, cy + f, cx + f, cy + 2 * f});
    report("blank", second.empty() ? "no ink in the second cell" : "ink in the second cell",
           first.empty() && !second.empty());
  }
  // Emphasis marks right of the column, centred on the character.
  {
    TYomiraOption option = DefaultOptions();
    option.f_size = f;
    option.ruby_size = f / 2;
    option.ruby_color = 0;
    const int r = option.ruby_size;
    QImage builtin;
    LoadResourcePicture("IMG_EMPHASIS", "GIF", builtin);
    const QImage strip = BuildEmphasisStrip(r, QImage(), builtin);
    TYomiraTextMetrics ruby;
    ruby.TextColor = 0;
    ruby.SetFont(faceUtf8, false, r);
    QImage c = sheet.Scratch(), o = sheet.Scratch();
    bool ok = true;
    std::string value = "centred";
    for (int type = 1; type <= 8; ++type) {
      QImage& img = type <= 4 ? c : o;
      const int x = f / 2 + ((type - 1) % 4) * (3 * f) + f / 2;
      sheet.Draw(img, x, cy, goVertical, true, sj("漢"));
      BlendEmphasisMark(img, strip, option, ruby, 2, type, 1, x, cy);
      const Ink mark = Measure(img, {x + f, 0, x + f + 2 * r, 4 * f});
      const double sqx = x + f + (r - 1) / 2.0, sqy = cy + (f - r) / 2 + (r - 1) / 2.0;
      const double mx = (mark.left + mark.right) / 2.0, my = (mark.top + mark.bottom) / 2.0;
      const bool inside = !mark.empty() && mark.left >= x + f && mark.right < x + f + r &&
                          mark.top >= cy + (f - r) / 2 && mark.bottom < cy + (f - r) / 2 + r;
      if (!inside || std::abs(mx - sqx) > 1 || std::abs(my - sqy) > 1) {
        ok = false;
        value = "type " + std::to_string(type) + Fmt(" off by (%.1f,%.1f)", mx - sqx, my - sqy);
      }
    }
    sheet.AddRow(c, o);
    report("emphasis 1-8", value, ok);
  }
  // Side line and rule: exact spans.
  {
    TYomiraOption option = DefaultOptions();
    option.f_size = f;
    option.m_size = 0;
    option.text_color = 0;
    option.ruby_color = 0;
    QImage c = sheet.Scratch(), o = sheet.Scratch();
    DrawSideLine(c, option, 2, 1, 1, cx, cy);
    DrawSideRule(o, option, cx, cy, 2);
    sheet.AddRow(c, o);
    const Ink line = Measure(c, all), rule = Measure(o, all);
    const bool lineOk = line.left == cx + f && line.right == cx + f && line.top == cy - 1 && line.bottom == cy + f;
    const bool ruleOk = rule.left == cx + f - 1 && rule.right == cx + f - 1 && rule.top == cy &&
                        rule.bottom == cy + f - 1;
    report("side line", Fmt("rows %.0f-%.0f", line.top - cy, line.bottom - cy), lineOk);
    report("side rule", Fmt("rows %.0f-%.0f", rule.top - cy, rule.bottom - cy), ruleOk);
  }

  // Rows to look at (no check): punctuation and marks in vertical forms, the rotated
  // tty2words, the voiced long mark, Latin running down the line.
  {
    QImage c = sheet.Scratch(), o = sheet.Scratch();
    int i = 0;
    for (const char* ch : {"、", "。", "ー", "～", "…", "「", "」", "（"}) {
      sheet.Draw(c, f / 2 + i * 4 * f / 3, f / 2, goVertical, false, sj(ch));
      sheet.Draw(o, f / 2 + i * 4 * f / 3, f / 2, goVertical, true, sj(ch));
      ++i;
    }
    sheet.AddRow(c, o);
    QImage c2 = sheet.Scratch(), o2 = sheet.Scratch();
    i = 0;
    for (const char* ch : {"＜", "＞", "－", "："}) {
      sheet.Draw(c2, f / 2 + i * 4 * f / 3, f / 2, goRotated, false, sj(ch));
      sheet.Draw(o2, f / 2 + i * 4 * f / 3, f / 2, goRotated, true, sj(ch));
      ++i;
    }
    sheet.Draw(c2, f / 2 + i * 4 * f / 3, f / 2, goLongRepeat, false, sj("ぐ"));
    sheet.Draw(o2, f / 2 + i * 4 * f / 3, f / 2, goLongRepeat, true, sj("ぐ"));
    ++i;
    sheet.Draw(c2, f / 2 + i * 4 * f / 3, f / 4, goVertical, false, "Yomi");
    sheet.Draw(o2, f / 2 + i * 4 * f / 3, f / 4, goVertical, true, "Yomi");
    sheet.AddRow(c2, o2);
  }

  QSaveFile file(QString::fromStdString(out));
  if (!file.open(QIODevice::WriteOnly) || !sheet.Compose().save(&file, "PNG") || !file.commit()) {
    std::fprintf(stderr, "yomira-render: cannot write %s\n", out.c_str());
    return 2;
  }
  return failed ? 1 : 0;
}

}  // namespace yomira::tools
