#include "sources/external_filter.h"

#include "platform/file/regular_file.h"
#include "sources/document_sources.h"
#include "sources/tool_template.h"
#include "platform/path/path_parts.h"

namespace yomira {
std::vector<std::string> FilterCommand(const TToolItem& filter, const std::string& path) {
  // No short path forms here: the path is passed as it is, one argument however it reads.
  std::vector<std::string> argv{filter.FilePath};
  for (std::string& a : ExpandTemplate(filter.Param, {{'F', path}, {'D', ExtractFilePath(path)}}))
    argv.push_back(std::move(a));
  return argv;
}

bool RunFilter(TFileItem& item, std::vector<std::string>& lines, int& codePage, bool isHtml, bool showErrors,
               int index, const FilterContext& context) {
  auto fail = [&](const char* message) {
    if (showErrors && message) context.host.ShowMessage(message);
    return false;
  };
  if (index < 0 || index >= static_cast<int>(context.Filters.size())) return fail("設定されているフィルタがありません。");
  const TToolItem& filter = context.Filters[static_cast<size_t>(index)];
  // An empty program would make the document itself the program.
  if (!IsRegularFile(item.Path) || filter.Param.empty() || filter.FilePath.empty())
    return fail("変換用の外部フィルタが設定されていません。");

  try {
    if (isHtml) {
      // Only the links (and the title) of the page; its text comes from the filter.
      std::vector<std::string> scratch;
      int scratchCodePage = 0;
      LoadTextFile(item, scratch, 0, true, false, scratchCodePage, context.importHtml);
    }

    const RunResult run = RunCaptured(FilterCommand(filter, item.Path), context.limits);
    switch (run.status) {
      case RunStatus::Ok: break;
      case RunStatus::PipeFailed: return fail("Error CreatePipe");
      case RunStatus::SpawnFailed: return fail("Error CreateProcess");
      // The open says the document could not be read; nothing more to add here.
      case RunStatus::TimedOut:
      case RunStatus::TooLarge: return fail(nullptr);
    }
    // The exit status is not looked at: a filter may end badly after writing the text.
    std::vector<std::string> decoded;
    codePage = DecodeText(decoded, run.output, 0);
    lines = std::move(decoded);
    return true;
  } catch (const ConvertError& e) {
    return fail(e.what());
  }
}

}  // namespace yomira
