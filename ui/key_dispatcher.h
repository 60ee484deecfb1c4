// Keys of one window. Qt fires neither of two enabled shortcuts with one key, and the key
// file can bind one key to several actions, so a window has one QShortcut per distinct key
// and runs the first action that takes it (ActionCatalogue::match).
#pragma once

#include <QObject>

#include <map>
#include <vector>

#include "ui/action.h"

class QShortcut;
class QWidget;

namespace yomira {

class KeyDispatcher : public QObject {
 public:
  // lists: the action lists this window's keys reach (main window: main and tools).
  KeyDispatcher(QWidget* window, ActionCatalogue& catalogue, std::vector<int> lists);

  // Makes the shortcuts anew from the actions' current codes.
  void rebuild();

  // Runs the first matching action through the guard; false when none took the code.
  bool dispatch(uint16_t code, QObject* sender);

  size_t shortcutCount() const { return shortcuts_.size(); }

 private:
  QWidget* window_;
  ActionCatalogue& catalogue_;
  std::vector<int> lists_;
  std::vector<QShortcut*> shortcuts_;
};

}  // namespace yomira
