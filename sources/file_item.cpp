#include "sources/file_item.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace yomira {
namespace {

constexpr int64_t kMsPerDay = 86400000;
const QDate kEpoch(1899, 12, 30);

// The href resolved against the base, or "" when the base is not an absolute URL or
// either side does not parse. QUrl::resolved would hand back the href for a relative
// base, so that case is refused here.
std::string JoinUrl(const std::string& base, const std::string& href) {
  const QUrl b(QString::fromStdString(base));
  if (!b.isValid() || b.isRelative()) return {};
  const QUrl r(QString::fromStdString(href));
  // An empty reference is the base itself, though QUrl calls it invalid.
  if (!r.isValid() && !href.empty()) return {};
  return b.resolved(r).toString(QUrl::FullyEncoded).toStdString();
}

QString SortKey(const TFileItem& item, const FileListOrder& order) {
  const QString path = QString::fromStdString(item.Path);
  if (order.OrderName) return path;
  if (order.OrderExt) return QString::fromStdString(item.Ext) + u' ' + path;
  if (order.OrderTime) return QString::fromStdString(TimeKey(item.Time)) + u' ' + path;
  return path;
}

}  // namespace

void TFileItem::Assign(const TFileItem& source) {
  if (this == &source) return;
  Kind = source.Kind;
  Rate = source.Rate;
  Path = source.Path;
  Href = source.Href;
  BaseUrl = source.BaseUrl;
  Ext = source.Ext;
  Title = source.Title;
  Time = source.Time;
  locationCached_ = false;
  location_.clear();
}

std::string TFileItem::GetLocation() const {
  if (Kind == fkLocalFile) return Path;
  if (locationCached_) return location_;
  if (Kind == fkWeb) {
    if (BaseUrl.empty() || (Href.size() > 4 && Href.compare(0, 4, "http") == 0))
      location_ = Href;
    else
      location_ = JoinUrl(BaseUrl, Href);
  }
  locationCached_ = true;
  return location_;
}

namespace {
// -1, 0 or 1 for two sort keys in the list's direction.
int CompareSortKeys(const QString& a, const QString& b, const FileListOrder& order) {
  const int c = QString::compare(a, b, Qt::CaseInsensitive);
  const int sign = c < 0 ? -1 : c > 0 ? 1 : 0;
  return order.OrderUp ? sign : -sign;
}
}  // namespace

int CompareFileItems(const TFileItem& a, const TFileItem& b, const FileListOrder& order) {
  return CompareSortKeys(SortKey(a, order), SortKey(b, order), order);
}

void SortFileItems(FileItemList& list, const FileListOrder& order) {
  std::sort(list.begin(), list.end(), [](const auto& a, const auto& b) { return a->Path < b->Path; });
  // Each key made once: a folder of 10,000 files would otherwise format ~300,000 time keys.
  struct Keyed {
    QString key;
    std::unique_ptr<TFileItem> item;
  };
  std::vector<Keyed> keyed;
  keyed.reserve(list.size());
  for (auto& item : list) keyed.push_back({SortKey(*item, order), std::move(item)});
  std::stable_sort(keyed.begin(), keyed.end(),
                   [&order](const Keyed& a, const Keyed& b) { return CompareSortKeys(a.key, b.key, order) < 0; });
  for (size_t i = 0; i < keyed.size(); ++i) list[i] = std::move(keyed[i].item);
}

double FileTimeToDateTime(const QDateTime& local) {
  const double days = static_cast<double>(kEpoch.daysTo(local.date()));
  const double frac = local.time().msecsSinceStartOfDay() / static_cast<double>(kMsPerDay);
  // Before the epoch the fraction still counts forward from midnight.
  return days >= 0 ? days + frac : days - frac;
}

std::string TimeKey(double time) {
  // Beyond year 9999 (or not a number) there is no 14-digit form; such a time sorts first.
  if (!std::isfinite(time) || std::fabs(time) > 2958465.0) time = 0;
  const double whole = std::trunc(time);
  int64_t days = static_cast<int64_t>(whole);
  int64_t ms = std::llround(std::fabs(time - whole) * kMsPerDay);
  if (ms >= kMsPerDay) {
    ms -= kMsPerDay;
    days += time < 0 ? -1 : 1;
  }
  // Date and time apart: a local time inside a daylight-saving gap must not move.
  const QTime t = QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms));
  return (kEpoch.addDays(days).toString(QStringLiteral("yyyyMMdd")) + t.toString(QStringLiteral("hhmmss")))
      .toStdString();
}

}  // namespace yomira
