// What the settings dialog asks of the main window. The dialog knows nothing else of it.
#pragma once

#include <QPoint>

#include <string>
#include <vector>

#include "engine/core/option.h"
#include "windows/settings/settings_values.h"

class QWidget;

namespace yomira {

class ShellEnv;

class SetupDialogHost {
 public:
  virtual ~SetupDialogHost() = default;
  // True while the main window fills the dialog: no change flag is set then.
  virtual bool fillingDialog() const = 0;
  virtual const TYomiraOption& liveOption() const = 0;
  // The mapping: the dialog into the live record; a record into the dialog (the style box
  // shows styleName, the live style name when null); the controls that follow a box.
  virtual void applySetupDialog() = 0;
  virtual void showOptionInDialog(const TYomiraOption& record, const std::string* styleName) = 0;
  virtual void updateSetupDependentControls() = 0;
  // Reads the current document again; false when there was nothing to read.
  virtual bool reopenCurrent(bool force, int filter) = 0;
  virtual void relayout(bool geometry, bool rebuild) = 0;
  virtual void setMomentaryToggles(bool autoIndent, bool reWrap, bool toRuby) = 0;
  virtual std::string currentFileName() const = 0;
  // The book window's file list for folder (with its trailing "/"), not forced.
  virtual void scanFileList(const std::string& folder) = 0;
  // Styles: the names listed; whether a name has a file; loading one into record (false,
  // after the message, when it cannot be read); saving values as one after asking (false
  // when refused, cancelled or failed).
  virtual std::vector<std::string> styleNames() const = 0;
  virtual bool styleExists(const std::string& name) const = 0;
  virtual bool loadStyle(const std::string& name, TYomiraOption& record) = 0;
  virtual bool saveStyle(const std::string& name, const SetupValues& values) = 0;
  // The dialog's place between showings, the run's remembered file-dialog rectangle.
  virtual QPoint& optionWindowPos() = 0;
  virtual void restoreDialogRect(QWidget* dialog) = 0;
  virtual void saveDialogRect(QWidget* dialog) = 0;
  virtual ShellEnv& env() = 0;
};

}  // namespace yomira
