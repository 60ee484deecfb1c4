#include "ui/menu_trace.h"

#include <QEvent>
#include <QMenu>

#include <cstdio>

namespace yomira {

std::vector<std::string> MenuTraceLines(const QMenu& menu) {
  std::vector<std::string> out;
  const std::string menuName = menu.objectName().toStdString();
  for (const QAction* a : menu.actions()) {
    if (a->isSeparator()) continue;
    QString name = a->objectName();
    if (name.isEmpty() && a->menu()) name = a->menu()->objectName();
    const char* checked = !a->isCheckable() ? "-" : a->isChecked() ? "1" : "0";
    out.push_back("menu\t" + menuName + "\t" + name.toStdString() + "\tenabled=" + (a->isEnabled() ? "1" : "0") +
                  "\tchecked=" + checked);
  }
  return out;
}

MenuTrace::MenuTrace(QMenu* root) : root_(root) {}

bool MenuTrace::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() != QEvent::Show || !root_) return false;
  auto* menu = qobject_cast<QMenu*>(watched);
  if (!menu) return false;
  // Submenus are children of the menu that holds them.
  const QObject* o = menu;
  while (o && o != root_) o = o->parent();
  if (!o) return false;
  for (const std::string& line : MenuTraceLines(*menu)) std::fprintf(stderr, "%s\n", line.c_str());
  std::fflush(stderr);
  return false;
}

}  // namespace yomira
