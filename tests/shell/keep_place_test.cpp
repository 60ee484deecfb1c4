// Every relayout of the open document keeps on screen the text its view began with: the
// settings dialog, a style, the toggles, the layout steps and the wheel's font steps.
#include <QApplication>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "shell/setup_dialog.h"
#include "sources/history.h"
#include "tests/shell/recording_form.h"
#include "windows/controls/ux_spin_edit.h"
#include "windows/settings/settings_dialog.h"

namespace yomira {
namespace {

using test::RecordingForm;

// Paragraphs of 5 to 57 characters: most views begin inside a paragraph, and a relayout
// moves the places of every view.
std::string Novel(int paragraphs) {
  std::u8string text;
  const std::u8string kana = u8"あいうえおかきくけこさしすせそたちつてと";
  for (int i = 0; i < paragraphs; ++i) {
    text += u8"第";
    const std::string num = std::to_string(i + 1);
    text += std::u8string(num.begin(), num.end());
    const int n = 5 + (i * 37 + i * i) % 53;
    for (int k = 0; k < n; ++k) text += kana.substr(static_cast<size_t>(k % 20) * 3, 3);
    text += u8"。\n";
  }
  return test::sj(text);
}

// A hard-wrapped text: paragraphs of four lines of 20 characters and a short last line.
std::string HardWrapped(int paragraphs) {
  std::u8string text;
  const std::u8string line = u8"あいうえおかきくけこさしすせそたちつてと";
  for (int i = 0; i < paragraphs; ++i) {
    for (int k = 0; k < 4; ++k) text += line + u8"\n";
    const std::string num = std::to_string(i + 1);
    text += u8"第" + std::u8string(num.begin(), num.end()) + u8"段。\n";
  }
  return test::sj(text);
}

struct Place {
  int line, column;
};

// The first text element of the view shown, found here without the program's own search.
Place FirstTextOfView(const TForm1& f) {
  const int64_t per = int64_t{f.session().state().option.c_size} * f.session().state().option.Colum * f.session().state().option.Page;
  for (int64_t i = (f.session().CurrentView() - 1) * per; i < f.session().CurrentView() * per && i < int64_t(f.session().state().displayLines.size()); ++i)
    for (const TYomiraObject& el : f.session().state().displayLines[size_t(i)].elements)
      if (el.kind == kText) return {el.first, el.column};
  return {-1, -1};
}

// Whether the view shown holds the byte of place.
bool ViewHolds(const TForm1& f, Place p) {
  const int64_t per = int64_t{f.session().state().option.c_size} * f.session().state().option.Colum * f.session().state().option.Page;
  for (int64_t i = (f.session().CurrentView() - 1) * per; i < f.session().CurrentView() * per && i < int64_t(f.session().state().displayLines.size()); ++i)
    for (const TYomiraObject& el : f.session().state().displayLines[size_t(i)].elements)
      if (el.first == p.line && el.column <= p.column && p.column < el.column + el.length) return true;
  return false;
}

class KeepPlace : public test::FormFixture {
 protected:
  std::unique_ptr<RecordingForm> AtView(int view, const std::string& text) {
    auto f = Make();
    f->session().state().option.ruby_tag = 1;
    f->session().state().option.re_wrap = 0;
    f->SetMomentaryToggles(false, false, false);
    OpenBytes(*f, "novel.txt", text);
    f->sliderShowView(view);
    EXPECT_EQ(f->session().CurrentView(), view);
    return f;
  }
  void Style(const std::string& name, const std::string& text) {
    std::filesystem::create_directories(home_.path() / "Style");
    std::ofstream(home_.path() / "Style" / (name + ".ini"), std::ios::binary) << text;
  }
};

TEST_F(KeepPlace, EveryRelayoutTriggerKeepsTheFirstTextInView) {
  struct Case {
    const char* name;
    std::function<void(RecordingForm&)> run;
  };
  auto action = [](const char* name) { return [name](RecordingForm& f) { f.actions().at(name).run(nullptr); }; };
  auto dialog = [](const char* spin, int value) {
    return [spin, value](RecordingForm& f) {
      f.attachSetupDialog(MakeSetupDialog(f));
      f.ActionOptionSetupExecute(nullptr);
      TForm2* d = SetupDialogWindow(f.setupDialog());
      ASSERT_NE(d, nullptr);
      d->spin(spin)->setText(QString::number(value));
      d->ButtonApplyClick();
      d->hide();
    };
  };
  const std::vector<Case> cases = {
      {"dialog: two pages", dialog("SpinEditViewPage", 2)},
      {"dialog: font 20", dialog("SpinEditFontSize", 20)},
      {"dialog: 30 characters", dialog("SpinEditRows", 30)},
      {"style", [this](RecordingForm& f) {
         Style("big", "[Style]\nFontSize=19\nTextRow=25\nTextCols=12\n");
         f.ScanStyles();
         f.ApplyStyleName("big");
         ASSERT_EQ(f.session().state().option.v_size, 50);
       }},
      {"momentary indent", action("ActionMomentaryAutoIndent")},
      {"momentary re-wrap", action("ActionMomentaryReWrap")},
      {"momentary to ruby", action("ActionMomentaryToRuby")},
      {"style notation", action("ActionStyleTextReviseUseAozora")},
      {"style cover", action("ActionStyleTextReviseUseCover")},
      {"style indent", action("ActionStyleTextReviseUseAutoIndent")},
      {"style kinsoku", action("ActionStyleTextReviseUseStrict")},
      {"style re-wrap", action("ActionStyleTextReviseUseReWrap")},
      {"style to ruby", action("ActionStyleTextReviseUseToRuby")},
      {"characters +", action("ActionWindowRowUp")},
      {"characters -", action("ActionWindowRowDown")},
      {"lines +", action("ActionWindowColUp")},
      {"lines -", action("ActionWindowColDown")},
      {"font +", action("ActionWindowFontUp")},
      {"font -", action("ActionWindowFontDown")},
      {"ruby +", action("ActionWindowRubyUp")},
      {"ruby -", action("ActionWindowRubyDown")},
      {"wheel font", [](RecordingForm& f) {
         f.session().state().option.wheel[2] = 3;  // Ctrl + wheel up: font +
         f.WheelAction(120 * 3, Qt::ControlModifier);
         ASSERT_EQ(f.relayouts.size(), 3u);
       }},
  };
  for (const Case& c : cases) {
    for (int view : {7, 23}) {
      SCOPED_TRACE(std::string(c.name) + " at view " + std::to_string(view));
      auto f = AtView(view, Novel(400));
      // A view that begins inside a paragraph: a place the view number would not keep.
      while (FirstTextOfView(*f).column == 1 && f->session().CurrentView() < f->ViewCount()) f->sliderShowView(f->session().CurrentView() + 1);
      f->relayouts.clear();
      const Place before = FirstTextOfView(*f);
      ASSERT_GT(before.column, 1);
      c.run(*f);
      ASSERT_FALSE(f->relayouts.empty());
      EXPECT_TRUE(ViewHolds(*f, before)) << "line " << before.line << " byte " << before.column << ", view "
                                         << f->session().CurrentView() << " of " << f->ViewCount();
      // The saved reading position follows the view shown.
      const int64_t per = int64_t{f->session().state().option.c_size} * f->session().state().option.Colum * f->session().state().option.Page;
      EXPECT_EQ(GetHistoryPosition(f->recentFiles()),
                (f->session().CurrentView() - 1) * per * 10000 / int64_t(f->session().state().displayLines.size()));
    }
  }
}

TEST_F(KeepPlace, StepsBackAndForthComeBackToTheSameView) {
  struct Case {
    const char* up;
    const char* down;
    int times;
  };
  const Case cases[] = {
      {"ActionWindowRowUp", "ActionWindowRowDown", 8},
      {"ActionWindowRowDown", "ActionWindowRowUp", 8},
      {"ActionWindowColUp", "ActionWindowColDown", 6},
      {"ActionWindowFontUp", "ActionWindowFontDown", 6},
      {"ActionMomentaryToRuby", "ActionMomentaryToRuby", 1},
  };
  for (const Case& c : cases) {
    for (int view : {5, 31}) {
      SCOPED_TRACE(std::string(c.up) + " at view " + std::to_string(view));
      auto f = AtView(view, Novel(600));
      const Place before = FirstTextOfView(*f);
      for (int i = 0; i < c.times; ++i) f->actions().at(c.up).run(nullptr);
      EXPECT_TRUE(ViewHolds(*f, before));
      for (int i = 0; i < c.times; ++i) f->actions().at(c.down).run(nullptr);
      EXPECT_EQ(f->session().CurrentView(), view);
      EXPECT_EQ(FirstTextOfView(*f).line, before.line);
      EXPECT_EQ(FirstTextOfView(*f).column, before.column);
    }
  }
}

TEST_F(KeepPlace, ReWrappingAHardWrappedTextKeepsTheLineAndByte) {
  for (int view : {4, 9, 17}) {
    SCOPED_TRACE(view);
    auto f = AtView(view, HardWrapped(120));
    const Place before = FirstTextOfView(*f);
    f->actions().at("ActionMomentaryReWrap").run(nullptr);
    // The paragraphs were joined: fewer display lines, and lines of several source lines.
    bool joined = false;
    for (const TYomiraLine& l : f->session().state().displayLines)
      for (const TYomiraObject& el : l.elements) joined |= el.first != l.source_line;
    ASSERT_TRUE(joined);
    EXPECT_TRUE(ViewHolds(*f, before)) << "line " << before.line << " view " << f->session().CurrentView();
    f->actions().at("ActionMomentaryReWrap").run(nullptr);
    EXPECT_EQ(f->session().CurrentView(), view);
  }
}

TEST_F(KeepPlace, AMoveOfTheReaderBetweenStepsTakesTheNewView) {
  auto f = AtView(10, Novel(400));
  f->actions().at("ActionWindowRowUp").run(nullptr);
  f->actions().at("ActionPageNext").run(nullptr);
  f->actions().at("ActionPageNext").run(nullptr);
  const Place now = FirstTextOfView(*f);
  f->actions().at("ActionWindowRowDown").run(nullptr);
  EXPECT_TRUE(ViewHolds(*f, now));
}

TEST_F(KeepPlace, AViewWithoutTextKeepsTheRuleOfItsCaller) {
  // Blank lines only from view 2 on: no place, the grid steps take the saved position.
  std::string text = test::sj(u8"はじめ\n");
  text += std::string(200, '\n');
  auto f = AtView(5, text);
  const int rate = GetHistoryPosition(f->recentFiles());
  f->actions().at("ActionWindowRowUp").run(nullptr);
  EXPECT_EQ(f->pendingRates, std::vector<int>{rate});
  f->pendingRates.clear();
  f->actions().at("ActionWindowFontUp").run(nullptr);
  EXPECT_EQ(f->pendingRates, std::vector<int>{-1});
}

}  // namespace
}  // namespace yomira
