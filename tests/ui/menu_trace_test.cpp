// The menu trace the end-to-end checks read.
#include "ui/menu_trace.h"

#include <QMenu>

#include <gtest/gtest.h>

namespace yomira {
namespace {

TEST(MenuTrace, OneLinePerEntrySeparatorsSkipped) {
  QMenu root;
  root.setObjectName("PopupMenuMain");
  QMenu* sub = root.addMenu("sub");
  sub->setObjectName("MenuStyle");
  QAction* plain = sub->addAction("plain");
  plain->setObjectName("MenuPlain");
  sub->addSeparator();
  QAction* on = sub->addAction("on");
  on->setObjectName("MenuOn");
  on->setCheckable(true);
  on->setChecked(true);
  QAction* off = sub->addAction("off");
  off->setObjectName("MenuOff");
  off->setCheckable(true);
  off->setEnabled(false);
  EXPECT_EQ(MenuTraceLines(*sub), (std::vector<std::string>{"menu\tMenuStyle\tMenuPlain\tenabled=1\tchecked=-",
                                                            "menu\tMenuStyle\tMenuOn\tenabled=1\tchecked=1",
                                                            "menu\tMenuStyle\tMenuOff\tenabled=0\tchecked=0"}));
  // A submenu entry is named by its menu.
  EXPECT_EQ(MenuTraceLines(root), std::vector<std::string>{"menu\tPopupMenuMain\tMenuStyle\tenabled=1\tchecked=-"});
}

}  // namespace
}  // namespace yomira
