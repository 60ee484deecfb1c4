// A fake main window and drawing side for the relayout driver: every call to either
// interface is logged in the trace format of engine_dump --trace-relayout.
#pragma once

#include "engine/core/trace_host.h"

namespace yomira::test {

class RecordingHost : public TraceHost {
 public:
  explicit RecordingHost(const EngineState& state) : TraceHost(&state) {}

  // True when a call with this exact line was made.
  bool Called(std::string_view line) const {
    for (const std::string& call : calls)
      if (call == line) return true;
    return false;
  }
  // The calls whose line starts with name, in order.
  std::vector<std::string> Named(std::string_view name) const {
    std::vector<std::string> out;
    for (const std::string& call : calls)
      if (call.starts_with(name)) out.push_back(call);
    return out;
  }
};

}  // namespace yomira::test
