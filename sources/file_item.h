// The record that names a document the reader can open: a local file, a fetched web page
// or a link found in an HTML page. Lists of entries own them (FileItemList); an entry
// handed to another list is copied, never shared.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QDateTime;

namespace yomira {

enum TFileItemKind : int16_t { fkLocalFile = 0, fkWeb = 1 };

class TFileItem {
 public:
  TFileItem() = default;
  virtual ~TFileItem() = default;
  // A copy computes its own location on first request.
  TFileItem(const TFileItem& source) { Assign(source); }
  TFileItem& operator=(const TFileItem& source) {
    Assign(source);
    return *this;
  }

  void Assign(const TFileItem& source);

  // Local entry: the current path (so a rewritten path is never stale). Web entry: the
  // href, or the href resolved against the base URL, computed once and kept. Other
  // kinds: empty.
  std::string GetLocation() const;

  int16_t Kind = fkLocalFile;
  int32_t Rate = 0;     // reading position in 1/10000; -1 means none
  std::string Path;     // UTF-8, like every field below
  std::string Href;
  std::string BaseUrl;
  std::string Ext;      // lower case with its dot
  std::string Title;
  double Time = 0;      // local last-write time, days since 1899-12-30

 private:
  mutable bool locationCached_ = false;
  mutable std::string location_;
};

using FileItemList = std::vector<std::unique_ptr<TFileItem>>;

// The check states of the file list's order menu, read at every comparison.
struct FileListOrder {
  bool OrderUp = true;
  bool OrderName = true;
  bool OrderExt = false;
  bool OrderTime = false;
};

// -1, 0 or +1 by the key the order selects, compared without regard to letter case.
int CompareFileItems(const TFileItem& a, const TFileItem& b, const FileListOrder& order);

// Sorts by CompareFileItems; entries that compare equal keep the order of their path bytes.
void SortFileItems(FileItemList& list, const FileListOrder& order);

// A local date-time as days since 1899-12-30, the fraction being the time of day.
double FileTimeToDateTime(const QDateTime& local);

// "yyyymmddhhnnss" (nn = minutes) of such a value, rounded to milliseconds, then cut to seconds.
std::string TimeKey(double time);

}  // namespace yomira
