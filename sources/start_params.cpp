// The switches and the start position, as operations of the document sources.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>

#include "engine/core/source_place.h"
#include "platform/text/cp932.h"
#include "sources/document_sources.h"

namespace yomira {
namespace {

// Switch values are decimal (the toolkit's StrToIntDef also reads hex for the settings file).
int32_t SwitchNumber(std::string_view value, int32_t def) { return TryStrToIntDecimal(value).value_or(def); }

}  // namespace

void DocumentSources::ParseParam(std::string_view argument) {
  const std::string arg = Trim(argument);
  // '-' is never a lead byte, so a first byte of '-' is a single-byte character.
  if (arg.size() <= 1 || arg[0] != '-') return;
  if (arg == "-f") {
    StartParams.FullScreen = true;
    return;
  }
  const std::string_view sw = std::string_view(arg).substr(0, 2);
  const std::string_view value = std::string_view(arg).substr(2);
  if (arg == "-null") {
    StartParams.Reset();
    return;
  }
  if (sw == "-c") {
    const int32_t v = SwitchNumber(value, 0);
    if (v >= 0 && v <= 6) StartParams.StartCharCode = v;
  } else if (sw == "-e") {
    const int32_t v = SwitchNumber(value, -1);
    if (v >= 0) StartParams.StartFilter = v;
  } else if (sw == "-E") {
    if (Trim(value).empty()) return;
    const int index = FindFilterByCaption(Filters, value);
    if (index >= 0) StartParams.StartFilter = index;
  } else if (sw == "-p") {
    const int32_t v = SwitchNumber(value, -1);
    if (v >= 1) StartParams.StartPage = v;
  } else if (sw == "-l") {
    const int32_t v = SwitchNumber(value, -1);
    if (v >= 1) StartParams.StartLine = v;
  } else if (sw == "-n") {
    const int32_t v = SwitchNumber(value, -1);
    if (v >= 1) StartParams.StartPos = v;
  } else if (sw == "-r") {
    const int32_t v = SwitchNumber(value, -1);
    if (v >= 0) StartParams.StartRate = v;
  } else if (sw == "-s") {
    const int32_t v = SwitchNumber(value, -1);
    if (v >= 0) host_.ApplyStyleIndex(v);
    host_.ForceForeground();
  } else if (sw == "-S") {
    if (!value.empty()) host_.ApplyStyleName(std::string(value));
    host_.ForceForeground();
  }
}

void DocumentSources::ApplyParamPosition(int& page, const DisplayLines& displayLines) {
  if (!DocumentLoaded) return;
  const TParamOption& p = StartParams;
  if (p.FullScreen && !host_.IsFullScreen()) host_.ExecuteFullScreen();

  const int64_t viewCount = Option.GetViewCount(displayLines);
  if (p.StartPage > 0) {
    // Never page 0, even for a document without views.
    page = static_cast<int>(std::max<int64_t>(1, std::min<int64_t>(p.StartPage, viewCount)));
    PendingRate = -1;
    return;
  }

  // The search "-l"/"-n" share with the relayouts that keep the reader's place.
  const int64_t found = FindSourcePosition(displayLines, p.StartLine > 0 ? p.StartLine - 1 : -1, p.StartPos);
  if (found >= 0) {
    page = ViewOfLineIndex(found, Option);
    PendingRate = -1;
    return;
  }

  if (p.StartRate < 0 || p.StartRate > 10000) return;
  // 64 bits: viewCount x 10000 passes 2^31 beyond about 214,748 views.
  page = static_cast<int>(std::min<int64_t>(viewCount * p.StartRate / 100 / 100 + 1, INT_MAX));
  PendingRate = -1;
}

}  // namespace yomira
