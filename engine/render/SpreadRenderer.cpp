#include "engine/render/SpreadRenderer.h"

#include <algorithm>
#include <cstring>

#include "engine/render/FontEngine.h"
#include "engine/render/Illustration.h"
#include "engine/render/Renderer.h"
#include "engine/render/Ruby.h"
#include "platform/text/cp932.h"

namespace yomira {

namespace {

constexpr std::string_view kRepeatGlyph = "\x82\xAD";        // く
constexpr std::string_view kVoicedRepeatGlyph = "\x82\xAE";  // ぐ
constexpr std::string_view kDash = "\x81\x5C";                // ―

// The page starts as the background: one row copy per scan line.
void CopyBackground(QImage& page, const QImage& back) {
  if (page.isNull() || back.isNull() || page.format() != back.format()) {
    if (!page.isNull()) page.fill(Qt::white);
    return;
  }
  const int rows = std::min(page.height(), back.height());
  const size_t bytes = static_cast<size_t>(std::min(page.width(), back.width())) * 4;
  for (int y = 0; y < rows; ++y) std::memcpy(page.scanLine(y), back.constScanLine(y), bytes);
}

}  // namespace

void StepLinePos(const TYomiraOption& option, LinePos& pos) {
  if (pos.line < 0) {
    pos.line = option.c_size - 1;
    if (--pos.block <= 0) {
      pos.block = option.Colum;
      --pos.page;
    }
  } else if (pos.line >= option.c_size) {
    pos.line = 0;
    if (++pos.block > option.Colum) {
      pos.block = 1;
      ++pos.page;
    }
  }
}

std::string SpreadRenderer::GetLinePairText(int64_t index, size_t* ownLength) const {
  const DisplayLines& lines = doc_.displayLines;
  if (ownLength) *ownLength = 0;
  if (index < 0 || index >= static_cast<int64_t>(lines.size())) return {};
  const TYomiraLine& dl = lines[static_cast<size_t>(index)];
  std::string text = dl.GetText(doc_.sourceLines, true);
  if (ownLength) *ownLength = text.size();
  if (!dl.ends_paragraph && index + 1 < static_cast<int64_t>(lines.size()))
    text += lines[static_cast<size_t>(index + 1)].GetFirstText(doc_.sourceLines);
  return text;
}

void SpreadRenderer::DrawLine(LinePos pos, TDrawState& state, int64_t index, int mode, const TYomiraLine& dl) {
  StepLinePos(o_, pos);
  const int32_t line = pos.line, block = pos.block, page = pos.page;
  const int32_t f = o_.f_size, m = o_.m_size;
  const bool drawn = mode == dmFirst || mode == dmInner;
  const bool textAa = o_.text_aa != 0;
  const int32_t lineX = o_.GetLineX(line, page);
  const int32_t start = static_cast<int32_t>(o_.GetCharY(1, block) + (int64_t{f + m} * dl.indent) / 2);
  int32_t end = start;
  size_t ownLength = 0;
  const std::string lineText = GetLinePairText(index, &ownLength);
  // A "―" (81 5C) beside another in this line: 1-based pos is a character start.
  auto dashAt = [&](int64_t pos) {
    return pos >= 1 && pos + 1 <= static_cast<int64_t>(ownLength) &&
           lineText.compare(static_cast<size_t>(pos - 1), 2, kDash) == 0 &&
           ByteTypeAt(lineText, static_cast<int>(pos)) == ByteType::Lead;
  };
  const bool wide = doc_.delimiterWidth == 4;
  int32_t cell = dl.indent;
  int32_t w = 0;
  // Byte offset of the element in the pair text: the cells of a spacer or of a split
  // repeat mark are not bytes of it.
  int32_t offset = 0;
  int& rubyMode = ruby_.Orientation;

  for (const TYomiraObject& e : dl.elements) {
    switch (e.kind) {
      case kText:
      case kRule: {
        std::string_view t;
        if (e.kind == kText) {
          const int32_t src = e.first;
          if (src >= 0 && static_cast<size_t>(src) < doc_.sourceLines.size())
            t = CopyView(doc_.sourceLines[static_cast<size_t>(src)], e.column, e.length);
        } else {
          rule_.assign(static_cast<size_t>(std::max(e.length, 0)), '-');
          t = rule_;
        }
        const int limit = static_cast<int>(std::min<int64_t>(e.length, static_cast<int64_t>(t.size())));
        for (int j = 1; j <= limit;) {
          const int32_t cellY = o_.GetCharY(cell + j, block);
          const auto byte = static_cast<unsigned char>(t[static_cast<size_t>(j - 1)]);
          int step = 1;
          int32_t x = 0, y = 0, cells = 1;
          bool draw = true;
          const bool lead = j < limit && IsLeadRange(byte);
          if (lead) {
            step = 2;
            const std::string_view ch = t.substr(static_cast<size_t>(j - 1), 2);
            const int orient = Contains(o_.tty2words, ch) ? goRotated : goVertical;
            UseGlyphForm(body_, orient, o_.font_family);
            x = o_.AdjustTextX(lineX, orient);
            y = o_.AdjustTextY(cellY, orient);
            w = 2;
            end = cellY + f;
            cells = 2;
            state.pairAllowed = true;
          } else if (state.pairAllowed && !IsLeadRange(byte) && j + 1 <= limit &&
                     !IsLeadRange(t[static_cast<size_t>(j)]) && IsTateChuYoko(o_, lineText, offset + j)) {
            step = 2;
            UseGlyphForm(body_, goHorizontal, o_.font2family);
            x = lineX + f - painter_.PairWidth(body_, t.substr(static_cast<size_t>(j - 1), 2));
            y = o_.AdjustTextY(cellY, goHorizontal);
            w = 1;
            end = cellY + f / 2;
            cells = 2;
            state.pairAllowed = false;
          } else {
            // A lone lead byte (its trail is missing) takes its cell and is not drawn;
            // the framing byte 0x0B of imported ruby never is.
            draw = byte != 0x0B && !IsLeadRange(byte);
            UseGlyphForm(body_, goVertical, o_.font2family);
            x = o_.AdjustTextX(lineX, goVertical);
            y = o_.AdjustTextY(cellY, goVertical);
            w = 1;
            end = cellY + f / 2;
            state.pairAllowed = false;
          }
          const std::string_view ch = t.substr(static_cast<size_t>(j - 1), static_cast<size_t>(step));
          if (drawn) {
            if (e.side_line > 0) painter_.DrawSideLine(cells, e.side_line, mode, lineX, cellY);
            if (e.emphasis > 0) painter_.BlendEmphasisMark(cells, e.emphasis, mode, lineX, cellY);
          }
          if (!state.baseMarkOpen)
            o_.TrackRubyBase(line, cell + j, rubyMode, state.rubyStart, state.letterRun, state.kanjiRun, ch, page,
                             block);
          if (drawn && draw) {
            // Dashes in a row read as one line: each stretches over the spacing toward its
            // neighbour, up to the next cell's top.
            const bool dash = lead && body_.Orientation == goVertical && ch == kDash;
            const bool up = dash && dashAt(int64_t{offset} + j - 2);
            const bool down = dash && dashAt(int64_t{offset} + j + 2);
            if (up || down)
              painter_.DrawDashRule(x, y, body_, textAa, ch, up ? cellY : INT32_MAX,
                                    down ? o_.GetCharY(cell + j + 2, block) : INT32_MIN);
            else
              painter_.DrawString(x, y, body_, textAa, ch);
          }
          j += step;
        }
        cell += e.length;
        if (e.kind == kText) offset += static_cast<int32_t>(t.size());
        break;
      }
      case kRuby: {
        const Point baseEnd = o_.GetRubyOrigin(line, cell + 1, rubyMode, page, block);
        rubyMode = goVertical;
        if (o_.ruby_size > 4) {
          const std::string t = e.GetText(doc_.sourceLines, false, wide);
          const RubyContext ctx{o_, ruby_, painter_};
          PlaceRuby(ctx, t, state.rubyPen, mode, start, state.previousEnd, state.rubyStart, baseEnd);
        }
        rubyMode = goVertical;
        state.rubyStart = o_.GetRubyOrigin(line, cell + 1, rubyMode, page, block);
        state.baseMarkOpen = state.letterRun = state.kanjiRun = false;
        break;
      }
      case kRubyBase:
        if (!state.baseMarkOpen) {
          state.rubyStart = o_.GetRubyOrigin(line, cell + 1, rubyMode, page, block);
          state.baseMarkOpen = true;
        }
        break;
      case kAnnotation: {
        if (!drawn) break;
        const std::string t = e.GetText(doc_.sourceLines, false);
        const int32_t x = o_.AdjustRubyX(lineX, rubyMode);
        const int32_t y = o_.AdjustRubyY(o_.GetCharY(cell + 1, block), rubyMode);
        const RubyContext ctx{o_, ruby_, painter_};
        if (!DrawKaeriten(ctx, t, x, y)) {
          painter_.DrawSideRule(lineX, o_.GetCharY(cell - w + 1, block), w);
          doc_.annotations.Add(cell - w, line, w, t, page, block);
        }
        break;
      }
      case kRepeat:
      case kVoicedRepeat: {
        const std::string_view glyph = e.kind == kRepeat ? kRepeatGlyph : kVoicedRepeatGlyph;
        const int32_t cellY = o_.GetCharY(cell + 1, block);
        // Placed upright whatever orientation the character before left in force.
        const int32_t x = o_.AdjustTextX(lineX, goVertical);
        const int32_t y = o_.AdjustTextY(cellY, goVertical);
        const int32_t n = e.split == 1 || e.split == 2 ? 2 : 4;
        if (drawn) {
          if (e.side_line > 0) painter_.DrawSideLine(n, e.side_line, mode, lineX, cellY);
          if (e.emphasis > 0) painter_.BlendEmphasisMark(n, e.emphasis, mode, lineX, cellY);
          UseGlyphForm(body_, goVertical, o_.font_family);
          painter_.DrawRepeatMark(glyph, body_, mode, textAa, e.split, cell, x, y);
        }
        state.pairAllowed = true;
        // Every line mode counts the mark's cells, so a lead-in or lead-out line lays out
        // exactly as it is drawn.
        cell += n;
        end = n == 2 ? y + f : y + 2 * f + m;
        if (!state.baseMarkOpen) rubyMode = goVertical;
        offset += e.IsHalfMark() ? 2 : 4;
        break;
      }
      case kSpacer:
        cell += e.length;
        break;
      case kIllustration:
        if (drawn && pictures_) pictures_->DrawIllustration(e.GetText(doc_.sourceLines, false), line, page, block);
        state.pairAllowed = true;
        break;
      default:
        break;
    }
  }
  state.previousEnd = end;
}

void SpreadRenderer::ResetRubyState(TDrawState& state, LinePos next, int64_t nextIndex) {
  state.pairAllowed = true;
  state.baseMarkOpen = state.letterRun = state.kanjiRun = false;
  const DisplayLines& lines = doc_.displayLines;
  if (nextIndex < 0 || nextIndex >= static_cast<int64_t>(lines.size())) return;
  StepLinePos(o_, next);
  // One cell below the indent: the first character's own cell, so a ruby with no base
  // there has its start equal to its base end and draws nothing.
  const int32_t cell = lines[static_cast<size_t>(nextIndex)].indent + 1;
  state.rubyStart = o_.GetRubyOrigin(next.line, cell, ruby_.Orientation, next.page, next.block);
  state.rubyPen = state.rubyStart;
}

void SpreadRenderer::DrawSpread(RenderHost& host, QImage& page, const QImage& back) {
  const DisplayLines& lines = doc_.displayLines;
  const int64_t count = static_cast<int64_t>(lines.size());
  const int32_t views = o_.GetViewCount(count);
  int32_t& current = doc_.currentPage;
  current = views == 0 ? 0 : std::clamp(current, 1, views);
  host.updateSliderPosition(current, views);
  host.showPageLabel(current, views);
  CopyBackground(page, back);

  ruby_.Orientation = goVertical;
  TDrawState state;
  state.rubyStart = o_.GetRubyOrigin(0, 1, ruby_.Orientation, 1, 1);
  state.rubyPen = state.rubyStart;
  host.hideHint();
  doc_.annotations.Clear();
  if (views == 0) return;

  const int32_t L = o_.c_size, T = o_.Colum, P = o_.Page;
  const int64_t first = o_.GetFirstLineIndex(current, 1, 1);
  auto at = [&lines](int64_t i) -> const TYomiraLine& { return lines[static_cast<size_t>(i)]; };
  for (int32_t i = 1; i <= P; ++i) {
    for (int32_t j = 1; j <= T; ++j) {
      const int64_t b = o_.GetFirstLineIndex(current, j, i);
      if (b < 0 || b >= count) continue;
      int mode = dmFirst;
      if (b - 1 >= 0 && !at(b - 1).ends_paragraph) DrawLine({-1, j, i}, state, b - 1, dmLeadIn, at(b - 1));
      for (int32_t k = 0; k < L && b + k < count; ++k) {
        const TYomiraLine& dl = at(b + k);
        DrawLine({k, j, i}, state, b + k, mode, dl);
        if (dl.ends_paragraph) ResetRubyState(state, {k + 1, j, i}, b + k + 1);
        mode = dmInner;
      }
      if (b + L < count && !at(b + L - 1).ends_paragraph) DrawLine({L, j, i}, state, b + L, dmLeadOut, at(b + L));
    }
  }
  host.setHistoryPosition(static_cast<int32_t>(first * 10000 / count));
}

// The Renderer's entry: its bitmaps, layers and picture cache, drawn for real.
void Renderer::DrawSpread(const SpreadDocument& doc) {
  ViewBitmaps& b = bitmaps_;
  const PanelLayout layout = CurrentLayout();
  if (b.PageBitmap.isNull() || b.PageBitmap.width() != layout.pageWidth || b.PageBitmap.height() != layout.pageHeight)
    ClearPageBitmap();
  BitmapPainter painter(b.PageBitmap, b.EmphasisBitmap, option_, RubyMetrics);
  IllustrationDrawer pictures(option_, host_, pictures_, painter);
  SpreadRenderer spread(doc, BodyMetrics, RubyMetrics, painter, &pictures);
  spread.DrawSpread(host_, b.PageBitmap, b.BackBitmap);
}

void Renderer::ClearCaches() {
  FontEngine::Instance().ClearCaches();
  pictures_.Clear();
}

}  // namespace yomira
