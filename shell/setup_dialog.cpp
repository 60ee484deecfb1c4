#include "shell/setup_dialog.h"

#include "platform/shell_env.h"
#include "shell/main_window.h"
#include "shell/style_store.h"
#include "sources/history.h"
#include "windows/settings/settings_dialog.h"
#include "windows/settings/settings_dialog_host.h"

namespace yomira {

// Named (not file-local): the main window lets it reach the places and lists it keeps.
// Two roles kept apart from the window itself: its show and isVisible are not QWidget's.
// The window (font lists, two tabs) is built on first use, not at start-up: until then it
// is hidden, and the style names it would be given it reads when it is shown.
class SetupDialog final : public SetupDialogPort, public SetupDialogHost {
 public:
  explicit SetupDialog(TForm1& f) : f_(f) {}
  ~SetupDialog() override { delete form_; }

  TForm2* window() const {
    if (!form_) {
      form_ = new TForm2(*const_cast<SetupDialog*>(this), &f_);
      form_->setStyleNames(f_.StyleNames);  // what it would have been given since start-up
    }
    return form_;
  }

  // SetupDialogPort
  bool isVisible() const override { return form_ && form_->isVisible(); }
  void show() override {
    window()->show();
    form_->raise();
    form_->activateWindow();
  }
  void setValues(const SetupValues& values) override { window()->setValues(values); }
  SetupValues values() const override { return window()->values(); }
  void setControlEnabled(const std::string& name, bool on) override { window()->setControlEnabled(name, on); }
  FavoriteColorList& colourLists() override { return window()->colourLists(); }
  void colourListsChanged() override { window()->colourListsChanged(); }
  int textWidth(const std::string& utf8) const override { return window()->textWidth(utf8); }
  int controlWidth(const std::string& name) const override { return window()->controlWidth(name); }
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
  TForm1& f_;
  mutable TForm2* form_ = nullptr;
};

std::unique_ptr<SetupDialogPort> MakeSetupDialog(TForm1& form) { return std::make_unique<SetupDialog>(form); }

TForm2* SetupDialogWindow(SetupDialogPort& port) {
  auto* d = dynamic_cast<SetupDialog*>(&port);
  return d ? d->window() : nullptr;
}

}  // namespace yomira
