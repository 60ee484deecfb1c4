#include "shell/startup.h"

#include "platform/single_instance.h"
#include "sources/arguments.h"

namespace yomira {

bool RunStartupArguments(const std::vector<std::string>& args, StartupOps& ops) {
  bool urlFailed = false;
  if (!args.empty()) {
    ops.ResetStartParams();
    for (const std::string& arg : args) {
      const ClassifiedArgument c = ClassifyArgument(arg);
      // A missing path goes the file's way: the open says it is not there.
      if (c.kind == ArgumentKind::File || c.kind == ArgumentKind::Missing) {
        ops.SetPendingRate(-1);
        ops.OpenFileItem(c.path, true, ops.StartFilter(), ops.StartCharCode(), false, true);
        break;
      }
      if (c.kind == ArgumentKind::Folder) {
        ops.OpenDirectory(c.path, ops.StartCharCode(), ops.StartFilter());
        break;
      }
      if (c.kind == ArgumentKind::Url) {
        urlFailed = !ops.OpenUrl(arg, 0);
        break;
      }
      ops.ParseParam(arg);
    }
    ops.ParseParam(kForwardEnd);
  }
  if (urlFailed) return false;
  if (!ops.IsLaidOut() && ops.ReopenAtStart()) ops.ActionFileRecent0Execute();
  return true;
}

}  // namespace yomira
