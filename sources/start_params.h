// Start parameters: the switches of the command line or of a second start, held until the
// next layout of a document applies them once.
#pragma once

#include <cstdint>

namespace yomira {

class TParamOption {
 public:
  TParamOption() { Reset(); }
  virtual ~TParamOption() = default;

  void Reset() {
    FullScreen = false;
    StartCharCode = 0;
    StartFilter = -1;
    StartPage = -1;
    StartLine = -1;
    StartPos = -1;
    StartRate = -1;
  }

  bool FullScreen;
  int32_t StartCharCode;  // "-c": code-page choice 0..6
  int32_t StartFilter;    // "-e", "-E": filter index
  int32_t StartPage;      // "-p": view, 1-based
  int32_t StartLine;      // "-l": source line, 1-based
  int32_t StartPos;       // "-n": byte position in that source line
  int32_t StartRate;      // "-r": 1/10000 of the document
};

}  // namespace yomira
