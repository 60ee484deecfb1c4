#include "windows/controls/file_filter.h"

namespace yomira {

QStringList QtNameFilters(const QString& windowsFilter) {
  QStringList out;
  if (windowsFilter.isEmpty()) return out;
  const QStringList parts = windowsFilter.split(QLatin1Char('|'));
  for (qsizetype i = 0; i < parts.size(); i += 2) {
    QStringList patterns;
    if (i + 1 < parts.size()) {
      for (const QString& p : parts[i + 1].split(QLatin1Char(';'))) {
        const QString t = p.trimmed();
        if (!t.isEmpty()) patterns << t;
      }
    }
    if (patterns.isEmpty()) patterns << QStringLiteral("*");
    out << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
  }
  return out;
}

}  // namespace yomira
