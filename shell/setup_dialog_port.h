// What the main window asks of the settings dialog. The port stands for the dialog from
// the start; the dialog window itself is built on first use (shell/setup_dialog.h).
#pragma once

#include <string>
#include <vector>

#include "windows/settings/settings_values.h"

namespace yomira {

class SetupDialogPort {
 public:
  virtual ~SetupDialogPort() = default;
  virtual bool isVisible() const = 0;
  virtual void show() = 0;
  // Shows values in the controls; values() gives them back with the user's edits.
  virtual void setValues(const SetupValues& values) = 0;
  virtual SetupValues values() const = 0;
  // name: a component name ("ComboBoxBackColor", "LabelBackColor", ...).
  virtual void setControlEnabled(const std::string& name, bool on) = 0;
  // The entries the five colour combos share with their display names; after changing
  // them, call colourListsChanged() so that the combos are refilled.
  virtual FavoriteColorList& colourLists() = 0;
  virtual void colourListsChanged() = 0;
  // Widths in pixels: of UTF-8 text in the dialog's font, and of a control by name.
  virtual int textWidth(const std::string& utf8) const = 0;
  virtual int controlWidth(const std::string& name) const = 0;
  // The names the style list offers; the text it shows is the values' styleText.
  virtual void setStyleNames(const std::vector<std::string>& names) = 0;
};

}  // namespace yomira
