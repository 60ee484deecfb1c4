// Every developer tool answers "--help" with its usage on standard output and exit status 0.
#pragma once

#include <cstdio>
#include <cstring>

namespace yomira::tools {

// True (after printing usage) when the first argument asks for help.
inline bool PrintHelpIfAsked(int argc, char** argv, const char* usage) {
  if (argc < 2 || std::strcmp(argv[1], "--help") != 0) return false;
  std::fputs(usage, stdout);
  return true;
}

}  // namespace yomira::tools
