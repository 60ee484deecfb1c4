// The main window's side of the settings dialog, over a recording port: the fill, Apply,
// the colour lists, and the style menu's text-revise entries.
#include <QMenu>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "engine/core/option_defaults.h"
#include "platform/color.h"
#include "ui/menu_proxy.h"
#include "shell/main_window.h"
#include "shell/setup_dialog.h"
#include "shell/setup_mapping.h"
#include "tests/shell/edit_settings.h"
#include "tests/support/setup_placeholder.h"
#include "tests/shell/fake_shell_env.h"
#include "tests/support/test_support.h"
#include "windows/settings/settings_dialog.h"

namespace yomira {
namespace {

using test::SetupPlaceholder;
namespace fs = std::filesystem;

// Records each fill with the window's filling state at that moment.
class FakePort : public SetupPlaceholder {
 public:
  explicit FakePort(const TForm1& form) : form_(form) {}
  void setValues(const SetupValues& v) override {
    fillingAtSet.push_back(form_.fillingDialog());
    if (throwOnSet) throw std::runtime_error("set");
    SetupPlaceholder::setValues(v);
  }
  void colourListsChanged() override { ++listChanges; }

  std::vector<bool> fillingAtSet;
  int listChanges = 0;
  bool throwOnSet = false;

 private:
  const TForm1& form_;
};

class OptionDialog : public ::testing::Test {
 protected:
  // attach: the recording port; else the window's own, whose dialog window is real.
  void Start(bool attach = true) {
    TForm1::Setup s;
    s.env = &env_;
    s.dataFolder = home_.path().string();
    form_ = std::make_unique<TForm1>(std::move(s));
    if (!attach) return;
    auto port = std::make_unique<FakePort>(*form_);
    port_ = port.get();
    form_->attachSetupDialog(std::move(port));
  }
  void Write(const std::string& name, const std::string& text) {
    std::ofstream(home_ / name, std::ios::binary) << text;
  }
  SetupValues& edits() { return port_->editableValues(); }

  test::TempDir home_;
  test::FakeShellEnv env_;
  std::unique_ptr<TForm1> form_;
  FakePort* port_ = nullptr;
};

TEST_F(OptionDialog, FillingDialogIsSetOnlyWhileTheValuesGoIn) {
  Start();
  EXPECT_FALSE(form_->fillingDialog());
  form_->ShowOptionInDialog(form_->session().state().option);
  EXPECT_EQ(port_->fillingAtSet, std::vector<bool>{true});
  EXPECT_FALSE(form_->fillingDialog());
  // A fill that fails on the way still clears it.
  port_->throwOnSet = true;
  EXPECT_THROW(form_->ShowOptionInDialog(form_->session().state().option), std::runtime_error);
  EXPECT_FALSE(form_->fillingDialog());
}

TEST_F(OptionDialog, ApplyWithNothingTouchedChangesNothing) {
  // A system colour and a bad binding in the file: only the binding is mended.
  Write("yomira.ini", "[mouse]\n0=9\n[color]\ntext_color=clWindowText\n[option]\nQuality=3\nTrackLeft=3\n");
  Start();
  ASSERT_EQ(form_->session().state().option.text_color, clWindowText);
  TYomiraOption expected = form_->session().state().option;
  expected.click[0] = 0;
  form_->ShowOptionInDialog(form_->session().state().option);
  form_->ApplySetupDialog(form_->session().state().option);
  EXPECT_EQ(form_->session().state().option, expected);
  EXPECT_TRUE(env_.messages.empty());
  // A second round trip is exact.
  form_->ShowOptionInDialog(form_->session().state().option);
  form_->ApplySetupDialog(form_->session().state().option);
  EXPECT_EQ(form_->session().state().option, expected);
}

TEST_F(OptionDialog, ApplyValidatesWhatTheDialogGives) {
  Start();
  form_->ShowOptionInDialog(form_->session().state().option);
  *edits().spin("SpinEditFontSize") = 300;
  form_->ApplySetupDialog(form_->session().state().option);
  EXPECT_EQ(form_->session().state().option.f_size, 256);
  // Apply fills nothing by itself: the values stay as the user left them.
  EXPECT_EQ(*port_->values().spin("SpinEditFontSize"), 300);
}

TEST_F(OptionDialog, ASoundThatIsMissingSwitchesTheSoundOff) {
  Start();
  form_->ShowOptionInDialog(form_->session().state().option);
  *edits().check("CheckBoxUseSound") = true;
  edits().path("StaticTextSoundPath")->filePath = (home_ / "missing.wav").string();
  form_->ApplySetupDialog(form_->session().state().option);
  EXPECT_EQ(form_->session().state().option.UseSound, 0);
  EXPECT_EQ(form_->session().state().option.SoundPath, (home_ / "missing.wav").string());
  EXPECT_TRUE(form_->turnSound().empty());

  Write("turn.wav", "RIFF....WAVE");
  form_->ShowOptionInDialog(form_->session().state().option);
  *edits().check("CheckBoxUseSound") = true;
  edits().path("StaticTextSoundPath")->filePath = (home_ / "turn.wav").string();
  form_->ApplySetupDialog(form_->session().state().option);
  EXPECT_EQ(form_->session().state().option.UseSound, 1);
  EXPECT_EQ(form_->turnSound(), "RIFF....WAVE");
}

TEST_F(OptionDialog, TheStyleBoxShowsTheNameGivenAndApplyTakesIt) {
  Start();
  test::EditSettings(*form_, [](SettingsModel& m) { m.styleName = "live"; });
  form_->ShowOptionInDialog(form_->session().state().option);
  EXPECT_EQ(port_->values().styleText, "live");
  const std::string previewed = "preview";
  form_->ShowOptionInDialog(form_->session().state().option, &previewed);
  EXPECT_EQ(port_->values().styleText, "preview");
  EXPECT_EQ(form_->styleName(), "live");
  edits().styleText = "新しいスタイル";
  form_->ApplySetupDialog(form_->session().state().option);
  EXPECT_EQ(form_->styleName(), "新しいスタイル");
}

TEST_F(OptionDialog, TextsCp932CannotHoldAreReportedInOneBox) {
  Start();
  const TYomiraOption before = form_->session().state().option;
  form_->ShowOptionInDialog(form_->session().state().option);
  *edits().item("ItemWrapHead") = "、𠮷";
  *edits().item("ItemKanjiLike") = "\U0001F600";
  *edits().spin("SpinEditCols") = 20;
  form_->ApplySetupDialog(form_->session().state().option);
  EXPECT_EQ(form_->session().state().option.wrap_words, before.wrap_words);
  EXPECT_EQ(form_->session().state().option.kanji_list, before.kanji_list);
  EXPECT_EQ(form_->session().state().option.c_size, 20);  // the rest still applies
  EXPECT_EQ(env_.messages, std::vector<std::string>{"[ 行頭禁則 ]\nShift_JISで表せない文字は使えません。\n"
                                                    "[ 漢字扱い ]\nShift_JISで表せない文字は使えません。"});
}

TEST_F(OptionDialog, TheFillSetsTheDependentControls) {
  Start();
  TYomiraOption o = form_->session().state().option;
  o.bg_image = 1;
  o.ruby_tag = 0;
  form_->ShowOptionInDialog(o);
  EXPECT_FALSE(port_->controlEnabled("ComboBoxBackColor"));
  EXPECT_TRUE(port_->controlEnabled("StaticTextImagePath"));
  EXPECT_FALSE(port_->controlEnabled("CheckBoxUseToRuby"));
  // A box the user changes, then the update the dialog's handler runs.
  *edits().check("CheckBoxUseAozora") = true;
  form_->UpdateSetupDependentControls();
  EXPECT_TRUE(port_->controlEnabled("CheckBoxUseToRuby"));
}

TEST_F(OptionDialog, FavouriteColoursComeFromTheDataFolder) {
  fs::copy_file(test::TestData("setup/favorite.dat"), home_ / "favorite.dat");
  Start();
  form_->LoadFavoriteColors();
  EXPECT_EQ(port_->colourLists().size(), 5);
  EXPECT_EQ(port_->listChanges, 1);
  form_->ShowOptionInDialog(form_->session().state().option);
  // Ruby, paper and shadow colours were not listed.
  EXPECT_EQ(port_->colourLists().size(), 8);
  EXPECT_EQ(port_->listChanges, 2);
  EXPECT_EQ(port_->values().colour("ComboBoxFontColor")->selected, 4);
  EXPECT_TRUE(env_.messages.empty());
}

TEST_F(OptionDialog, AFavouriteFileThatCannotBeReadIsSaid) {
  fs::create_directory(home_ / "favorite.dat");
  Start();
  port_->colourLists().Append("#123456", "old");
  form_->LoadFavoriteColors();
  EXPECT_EQ(port_->colourLists().size(), 0);
  EXPECT_EQ(env_.messages, std::vector<std::string>{"favorite.datを開けませんでした。"});
}

// ---------------------------------------------------------------- the window's own port

// Until its window is built the port keeps what it is given; the window, once built, shows it
// without taking the hand-over for a user change.
TEST_F(OptionDialog, ThePortHandsWhatItKeptToTheDialogWhenBuilt) {
  Start(false);
  SetupDialogPort& port = form_->setupDialog();
  port.colourLists().Append("#123456", "mine");
  port.colourListsChanged();
  SetupValues v = ShowValues(form_->session().state().option, "dusk", port.colourLists());
  *v.check("CheckBoxUseSound") = !*v.check("CheckBoxUseSound");
  *v.spin("SpinEditFontSize") = 31;
  port.setValues(v);
  port.setControlEnabled("ComboBoxBackColor", false);
  EXPECT_EQ(form_->findChild<TForm2*>(), nullptr);
  EXPECT_EQ(port.values().spins, v.spins);

  TForm2* dialog = SetupDialogWindow(port);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(form_->findChild<TForm2*>(), dialog);
  EXPECT_EQ(dialog->colourLists().entries().front().name, "mine");
  const SetupValues shown = dialog->values();
  EXPECT_EQ(shown.styleText, "dusk");
  EXPECT_EQ(shown.checks, v.checks);
  EXPECT_EQ(shown.spins, v.spins);
  EXPECT_FALSE(dialog->findChild<QWidget*>("ComboBoxBackColor")->isEnabled());
  EXPECT_FALSE(dialog->NeedReload || dialog->NeedRelayout || dialog->NeedReformat || dialog->NeedFileListScan);
  EXPECT_FALSE(form_->fillingDialog());
  // From now on the port is the window's.
  port.setControlEnabled("ComboBoxBackColor", true);
  EXPECT_TRUE(dialog->findChild<QWidget*>("ComboBoxBackColor")->isEnabled());
}

// A measurement builds the dialog window; whether it was ever built, the settings written
// are the same.
TEST_F(OptionDialog, WhatIsSavedDoesNotDependOnTheDialogWindow) {
  Write("yomira.ini", "[option]\nFontSize=18\n[color]\nback_color=$00123456\n");
  Start(false);
  form_->WriteSettingsNow();
  const std::string untouched = test::ReadFileBytes(home_ / "yomira.ini");
  form_.reset();

  Start(false);
  EXPECT_GT(form_->setupDialog().textWidth("abc"), 0);
  ASSERT_NE(form_->findChild<TForm2*>(), nullptr);
  form_->ShowOptionInDialog(form_->session().state().option);
  form_->WriteSettingsNow();
  EXPECT_EQ(test::ReadFileBytes(home_ / "yomira.ini"), untouched);
}

// ---------------------------------------------------------------- the style menu

struct MenuState {
  bool aozora, toRuby, fixed, compel;       // checks
  bool toRubyOn, fixedOn, compelOn;         // the entries' own enabled flags
};

MenuState StateOf(TForm1& f) {
  auto checked = [&](const char* a) { return f.actions().at(a).checked; };
  auto enabled = [&](const char* a) { return f.mainMenu().proxy(a)->isEnabled(); };
  return {checked("ActionStyleTextReviseUseAozora"), checked("ActionStyleTextReviseUseToRuby"),
          checked("ActionStyleTextReviseReWrapFixed"), checked("ActionStyleTextReviseReWrapCompel"),
          enabled("ActionStyleTextReviseUseToRuby"), enabled("ActionStyleTextReviseReWrapFixed"),
          enabled("ActionStyleTextReviseReWrapCompel")};
}

TEST_F(OptionDialog, StyleMenuFollowsTheRecordAtStartAndOnOpening) {
  const struct {
    int rubyTag, reWrap, reWrapType;
  } rows[] = {{1, 0, 0}, {0, 1, 1}, {1, 1, 0}};
  for (const auto& r : rows) {
    SCOPED_TRACE(std::to_string(r.rubyTag) + std::to_string(r.reWrap) + std::to_string(r.reWrapType));
    Write("yomira.ini", "[option]\nruby_tag=" + std::to_string(r.rubyTag) + "\nre_wrap=" + std::to_string(r.reWrap) +
                            "\nReWrapType=" + std::to_string(r.reWrapType) + "\ntoRuby=1\n");
    Start();
    MenuState s = StateOf(*form_);
    EXPECT_EQ(s.aozora, r.rubyTag == 1);
    EXPECT_TRUE(s.toRuby);
    EXPECT_EQ(s.fixed, r.reWrapType == 0);
    EXPECT_EQ(s.compel, r.reWrapType == 1);
    EXPECT_EQ(s.toRubyOn, r.rubyTag == 1);
    EXPECT_EQ(s.fixedOn, r.reWrap == 1);
    EXPECT_EQ(s.compelOn, r.reWrap == 1);
    // The actions themselves stay enabled, and the entries show the checks.
    EXPECT_TRUE(form_->actions().at("ActionStyleTextReviseUseToRuby").enabled);
    EXPECT_EQ(form_->mainMenu().proxy("ActionStyleTextReviseUseAozora")->isChecked(), r.rubyTag == 1);

    // Opening the submenu syncs with the live record.
    form_->session().state().option.ruby_tag = r.rubyTag ? 0 : 1;
    emit form_->mainMenu().submenus.at("MenuStyle")->aboutToShow();
    s = StateOf(*form_);
    EXPECT_EQ(s.aozora, r.rubyTag == 0);
    EXPECT_EQ(s.toRubyOn, r.rubyTag == 0);
    form_.reset();
  }
}

TEST_F(OptionDialog, AnOtherMethodLeavesBothChecks) {
  Start();
  TForm1& f = *form_;
  f.session().state().option.ReWrapType = 0;
  f.SyncTextReviseMenu(f.session().state().option);
  f.session().state().option.ReWrapType = 5;
  f.SyncTextReviseMenu(f.session().state().option);
  EXPECT_TRUE(f.actions().at("ActionStyleTextReviseReWrapFixed").checked);
  EXPECT_FALSE(f.actions().at("ActionStyleTextReviseReWrapCompel").checked);
}

TEST_F(OptionDialog, AGreyedEntryKeepsItsShortcut) {
  Write("yomira.ini", "[option]\nruby_tag=0\n");
  Write("yomira_key.ini", "[MainHotKey]\nKey0=16456\n");
  Start();
  ASSERT_FALSE(form_->mainMenu().proxy("ActionStyleTextReviseUseToRuby")->isEnabled());
  form_->actions().EnableActions(true, false);
  // Ctrl+H.
  const Action* a = form_->actions().match(16456, {kListMain, kListTool});
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->name, "ActionStyleTextReviseUseAozora");
}

TEST_F(OptionDialog, StyleEntriesAreNamedForTheirActions) {
  Start();
  QMenu* style = form_->mainMenu().submenus.at("MenuStyle");
  for (const char* suffix : {"UseAozora", "UseToRuby", "ReWrapFixed", "ReWrapCompel"}) {
    auto* p = style->findChild<QAction*>(QString::fromLatin1("MenuStyleTextRevise") + QString::fromLatin1(suffix));
    ASSERT_NE(p, nullptr) << suffix;
    EXPECT_EQ(static_cast<MenuProxy*>(p)->action().name, std::string("ActionStyleTextRevise") + suffix);
  }
}

}  // namespace
}  // namespace yomira
