// External filters: a program that turns a document of another format into text. It is
// started with an argument vector made from its template (never through a shell), with
// /dev/null as standard input, a deadline and an output cap; what it writes to standard
// output and standard error is decoded like a text file.
#pragma once

#include <string>
#include <vector>

#include "platform/process/run_process.h"
#include "sources/codepage.h"
#include "sources/file_item.h"
#include "sources/sources_host.h"
#include "sources/tool_item.h"

namespace yomira {

struct FilterContext {
  const ToolItemList& Filters;
  SourcesHost& host;            // for the messages
  HtmlImportHook importHtml;    // collects the links of an HTML page
  RunLimits limits;
};

// Runs filter index on the file at item.Path and replaces lines with its decoded output;
// codePage receives the code page detected in the output. isHtml: the page's links are
// collected from the file itself first. Messages only when showErrors. False when the
// filter could not run or passed a bound.
bool RunFilter(TFileItem& item, std::vector<std::string>& lines, int& codePage, bool isHtml, bool showErrors,
               int index, const FilterContext& context);

// The argument vector filter runs with on the document at path: its program, then the
// tokens of its template with %F = path and %D = the folder with "/".
std::vector<std::string> FilterCommand(const TToolItem& filter, const std::string& path);

}  // namespace yomira
