#include "shell/setup_dialog.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/shell_env.h"
#include "shell/main_window.h"
#include "shell/style_store.h"
#include "sources/flag_guard.h"
#include "sources/history.h"
#include "windows/settings/settings_dialog.h"
#include "windows/settings/settings_dialog_host.h"

namespace yomira {

// Named (not file-local): the main window lets it reach the places and lists it keeps.
// Two roles kept apart from the window itself: its show and isVisible are not QWidget's.
// The window (font lists, two tabs) is built on first use, not at start-up. Until then the
// port keeps what it is given (values, enabled states, colour lists) and hands it over when
// the window is built: for a show, or for a width, which only the window's font can give.
class SetupDialog final : public SetupDialogPort, public SetupDialogHost {
 public:
  explicit SetupDialog(TForm1& f) : f_(f) {}
  ~SetupDialog() override { delete form_; }

  TForm2* window() const {
    if (!form_) build();
    return form_;
  }

  // SetupDialogPort
  bool isVisible() const override { return form_ && form_->isVisible(); }
  void show() override {
    window()->show();
    form_->raise();
    form_->activateWindow();
  }
  void setValues(const SetupValues& values) override {
    if (form_) {
      form_->setValues(values);
      return;
    }
    values_ = values;
    valuesSet_ = true;
  }
  SetupValues values() const override { return form_ ? form_->values() : values_; }
  void setControlEnabled(const std::string& name, bool on) override {
    if (form_)
      form_->setControlEnabled(name, on);
    else
      enabled_[name] = on;
  }
  FavoriteColorList& colourLists() override { return form_ ? form_->colourLists() : colours_; }
  void colourListsChanged() override {
    if (form_) form_->colourListsChanged();
  }
  int textWidth(const std::string& utf8) const override { return window()->textWidth(utf8); }
  int controlWidth(const std::string& name) const override { return window()->controlWidth(name); }
  // The window reads the names from the main window when it is built and when it shows.
  void setStyleNames(const std::vector<std::string>& names) override {
    if (form_) form_->setStyleNames(names);
  }

  // SetupDialogHost
  bool fillingDialog() const override { return f_.FillingDialog; }
  const TYomiraOption& liveOption() const override { return f_.Option; }
  void applySetupDialog() override { f_.ApplySetupDialog(f_.Option); }
  void showOptionInDialog(const TYomiraOption& record, const std::string* styleName) override {
    f_.ShowOptionInDialog(record, styleName);
  }
  void updateSetupDependentControls() override { f_.UpdateSetupDependentControls(); }
  bool reopenCurrent(bool force, int filter) override { return f_.sources().ReopenCurrent(force, filter); }
  void relayout(bool geometry, bool rebuild) override {
    if (f_.IsLaidOut()) f_.RelayoutKeepingPlace(geometry, rebuild);
  }
  void setMomentaryToggles(bool autoIndent, bool reWrap, bool toRuby) override {
    f_.SetMomentaryToggles(autoIndent, reWrap, toRuby);
  }
  std::string currentFileName() const override { return GetCurrentFileName(f_.RecentFiles); }
  void scanFileList(const std::string& folder) override {
    if (BookWindowPort* book = f_.book()) book->scanFileList(folder, false);
  }
  std::vector<std::string> styleNames() const override { return f_.StyleNames; }
  bool styleExists(const std::string& name) const override { return f_.StyleExists(name); }
  bool loadStyle(const std::string& name, TYomiraOption& record) override { return f_.LoadStyle(name, record); }
  bool saveStyle(const std::string& name, const SetupValues& values) override {
    // A name that cannot be a file is refused before anything is asked.
    if (IsValidStyleName(name) &&
        !f_.env().askOkCancel(form_, "ページスタイル設定保存", "現在の設定を保存しますか？"))
      return false;
    return f_.SaveStyle(name, values);
  }
  QPoint& optionWindowPos() override { return f_.OptionWindowPos; }
  void restoreDialogRect(QWidget* dialog) override { f_.RestoreDialogRect(dialog); }
  void saveDialogRect(QWidget* dialog) override { f_.SaveDialogRect(dialog); }
  ShellEnv& env() override { return f_.env(); }

 private:
  void build() const {
    auto* self = const_cast<SetupDialog*>(this);
    form_ = new TForm2(*self, &f_);
    form_->colourLists() = std::move(self->colours_);
    form_->colourListsChanged();
    form_->setStyleNames(f_.StyleNames);
    if (valuesSet_) {
      // Handing over is no user change; a fill under way keeps its own flag.
      std::optional<FlagGuard> filling;
      if (!f_.FillingDialog) filling.emplace(f_.FillingDialog);
      form_->setValues(values_);
    }
    for (const auto& [name, on] : enabled_) form_->setControlEnabled(name, on);
    self->enabled_.clear();
  }

  TForm1& f_;
  mutable TForm2* form_ = nullptr;
  // Until the window is built.
  SetupValues values_;
  bool valuesSet_ = false;
  std::map<std::string, bool> enabled_;
  FavoriteColorList colours_;
};

std::unique_ptr<SetupDialogPort> MakeSetupDialog(TForm1& form) { return std::make_unique<SetupDialog>(form); }

TForm2* SetupDialogWindow(SetupDialogPort& port) {
  auto* d = dynamic_cast<SetupDialog*>(&port);
  return d ? d->window() : nullptr;
}

}  // namespace yomira
