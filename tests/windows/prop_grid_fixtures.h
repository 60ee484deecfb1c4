// Compact item tables for the property grid's tests and the gallery; the settings dialog's
// items come from its own table.
#pragma once

#include <string>
#include <vector>

#include "windows/controls/prop_grid/prop_grid_model.h"
#include "windows/settings/settings_dialog.h"
#include "windows/settings/settings_values.h"

namespace yomira::testing {

struct PropGridSpec {
  std::string name;
  std::string section;
  int level = 0;
  bool visible = true;
  bool expanded = true;
};

inline void Fill(PropGridModel& m, const std::vector<PropGridSpec>& specs) {
  m.Items().BeginUpdate();
  for (const PropGridSpec& s : specs) {
    PropGridItem& item = m.Items().Add();
    item.SetDisplayName(s.name);
    item.SetSection(s.section);
    item.SetLevel(s.level);
    item.SetVisible(s.visible);
    item.SetExpanded(s.expanded);
  }
  m.Items().EndUpdate();
}

// The settings dialog's grid: its 36 items with their first pick-list entries.
inline void FillSettings(PropGridModel& m) {
  FillSetupGrid(m);
  for (const SetupGridItem& s : kSetupGridItems)
    if (s.style == SetupItemStyle::ComboList) m.Names(s.name).SetValue(PickListByLetter(s.pickList).at(0));
}

}  // namespace yomira::testing
