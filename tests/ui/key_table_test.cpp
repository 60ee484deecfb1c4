#include "ui/key_table.h"

#include <set>

#include "platform/ini.h"
#include "support/test_support.h"

namespace yomira {
namespace {

TEST(KeyTable, RowsAndOrder) {
  const auto rows = KeyTable();
  ASSERT_GE(rows.size(), 10u);
  EXPECT_STREQ(rows[0].action, "ActionStyleTextReviseUseAozora");
  for (int i = 0; i < 10; ++i) EXPECT_EQ(rows[i].tag, 0) << rows[i].action;
  std::set<std::string> names;
  std::set<std::pair<std::string, int>> keys;
  for (const KeyTableRow& r : rows) {
    EXPECT_TRUE(names.insert(r.action).second) << r.action;  // one row per action
    keys.emplace(r.section, r.tag);
  }
  EXPECT_EQ(keys.size(), rows.size() - 9);  // only tag 0 is shared
  ASSERT_NE(FindKeyRow("ActionOptionBookAutoOpen"), nullptr);
  EXPECT_STREQ(FindKeyRow("ActionOptionBookAutoOpen")->section, "BookHotKey");
  EXPECT_EQ(FindKeyRow("ActionOptionCreateBook")->tag, 36);
  EXPECT_EQ(FindKeyRow("ActionNoSuchThing"), nullptr);
}

TEST(KeyTable, DefaultsWriteTheGolden) {
  IniDoc keys;
  SaveKeys(DefaultShortcuts(), keys);
  EXPECT_EQ(keys.Text(), test::ReadFileBytes(test::TestData("settings/fresh_key.ini")));
}

TEST(KeyTable, MissingKeyKeepsTheCurrentCode) {
  IniDoc keys;
  keys.Parse("[MainHotKey]\nKey7=0\n[BookHotKey]\nKey7=99\nKey66=x");
  ShortcutMap m = DefaultShortcuts();
  m["ActionExit"] = 123;
  LoadKeys(keys, m);
  EXPECT_EQ(m.at("ActionFileOpen"), 0);      // Key7 of its own section
  EXPECT_EQ(m.at("ActionExit"), 123);        // no Key40: kept
  EXPECT_EQ(m.at("ActionBookOpen"), 16463);  // unreadable: kept
}

}  // namespace
}  // namespace yomira
