// A menu entry that stands for an action: it mirrors the action's caption, shortcut text and
// check, keeps an enabled flag of its own for the menu's rules (greying it leaves the key
// working) and carries no shortcut.
#pragma once

#include <QAction>

#include "ui/action.h"

namespace yomira {

class MenuProxy : public QAction {
 public:
  // followEnabled: the entry also takes the action's enabled flag (the entries made at run
  // time for tools and filters, which have no menu rule of their own).
  MenuProxy(Action& action, QObject* parent, bool followEnabled = false);

  Action& action() const { return action_; }
  // Copies caption + "\t" + shortcut text, the check and the visibility from the action.
  void mirror();
  // A caption of the entry's own in place of the action's; empty: the action's.
  void setCaptionOverride(const QString& caption);

 private:
  Action& action_;
  QString captionOverride_;
  bool followEnabled_;
};

}  // namespace yomira
