#include "engine/core/trace_host.h"

#include <cstdio>


namespace yomira {

std::string ColorText(TColor color) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "$%08X", static_cast<unsigned>(color));
  return buf;
}

namespace {

std::string LayerText(const TextLayer& layer) {
  std::string out = "\"";
  out += layer.face;
  out += "\" " + std::to_string(layer.height);
  out += layer.bold ? " bold=1" : " bold=0";
  out += " text=" + ColorText(layer.textColor);
  out += " back=" + ColorText(layer.backColor);
  return out;
}

}  // namespace

std::string TraceHost::Joined() const {
  std::string out;
  for (const std::string& call : calls) out += call + "\n";
  return out;
}

void TraceHost::hideHint() { calls.push_back("hideHint"); }
void TraceHost::hideStartUpPanel() { calls.push_back("hideStartUpPanel"); }
void TraceHost::enablePageButtons() { calls.push_back("enablePageButtons"); }
void TraceHost::ShowProgressBar(bool show) { calls.push_back(show ? "ShowProgressBar 1" : "ShowProgressBar 0"); }
void TraceHost::RecreatePageSlider() { calls.push_back("RecreatePageSlider"); }
void TraceHost::UpdateSliderRange(int views) { calls.push_back("UpdateSliderRange " + std::to_string(views)); }

// Only the final report: the intermediate ones depend on the step size.
void TraceHost::progress(int pos, int max) {
  if (pos == max) calls.push_back("progress " + std::to_string(pos) + "/" + std::to_string(max));
}

void TraceHost::setCaption(const std::string& titleUtf8) { calls.push_back("setCaption " + titleUtf8); }

void TraceHost::ApplyParamPosition(int& currentPage) {
  calls.push_back("ApplyParamPosition");
  if (paramPage > 0) currentPage = paramPage;
  paramPage = 0;  // the start parameters act once
}

void TraceHost::StartPageTurn(int kind) { calls.push_back("StartPageTurn " + std::to_string(kind)); }
void TraceHost::FitWindowToLayout() { calls.push_back("FitWindowToLayout"); }
void TraceHost::BuildBackground() { calls.push_back("BuildBackground"); }
void TraceHost::LoadEmphasisMarks() { calls.push_back("LoadEmphasisMarks"); }

void TraceHost::DrawSpread() {
  calls.push_back(state_ ? "DrawSpread " + std::to_string(state_->currentPage) : std::string("DrawSpread"));
}

TColor TraceHost::backgroundPixel(int x, int y) {
  calls.push_back("backgroundPixel " + std::to_string(x) + " " + std::to_string(y));
  return pixel;
}

void TraceHost::setTextLayers(const TextLayer& body, const TextLayer& ruby) {
  calls.push_back("setTextLayers body=" + LayerText(body) + " ruby=" + LayerText(ruby));
}

}  // namespace yomira
