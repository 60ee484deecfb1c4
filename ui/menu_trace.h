// A trace of what a menu shows, for end-to-end checks (YOMIRA_TRACE_MENUS=1): when a menu
// of the main popup menu is shown, one stderr line per entry, separators skipped:
// "menu<TAB>menu<TAB>entry<TAB>enabled=0|1<TAB>checked=0|1|-" ("-": not checkable).
#pragma once

#include <QObject>

#include <string>
#include <vector>

class QMenu;

namespace yomira {

// The lines for menu as it is now; an entry without a name of its own takes its submenu's.
std::vector<std::string> MenuTraceLines(const QMenu& menu);

// Installed on the application: watches the Show events of root and of its submenus (they
// come after aboutToShow, so the entries are as the user sees them).
class MenuTrace : public QObject {
 public:
  explicit MenuTrace(QMenu* root);
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  QMenu* root_;
};

}  // namespace yomira
