// The command line of the first start: files, folders, URLs and switches, then the reopen of
// the last document. The main window supplies the operations; tests record them.
#pragma once

#include <string>
#include <vector>


namespace yomira {

class StartupOps {
 public:
  virtual ~StartupOps() = default;
  virtual void ResetStartParams() = 0;
  virtual int StartFilter() const = 0;
  virtual int StartCharCode() const = 0;
  virtual void SetPendingRate(int rate) = 0;
  // A local file entry (kind 0) with path.
  virtual void OpenFileItem(const std::string& path, bool force, int filter, int charCode, bool keepBookSel,
                            bool rebuild) = 0;
  virtual void OpenDirectory(const std::string& folder, int charCode, int filter) = 0;
  // False when the page could not be opened.
  virtual bool OpenUrl(const std::string& url, int rate) = 0;
  virtual void ParseParam(const std::string& arg) = 0;
  virtual bool IsLaidOut() const = 0;           // DocumentLoaded and LaidOut
  virtual bool ReopenAtStart() const = 0;       // ActionOptionCreateFileOpen checked
  virtual void ActionFileRecent0Execute() = 0;  // the reopen of the last document
};

// Runs the arguments in order up to the first file, folder or URL; "-null" to the switches
// when there were arguments; then the reopen unless a document is laid out. False when a
// start-up URL failed (the program then ends without a window, and without the reopen).
bool RunStartupArguments(const std::vector<std::string>& args, StartupOps& ops);

}  // namespace yomira
