// The text-revise toggles, the style menu's states and the layout steps on a real layout.
#include <QMenu>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/key_dispatcher.h"
#include "ui/menu_proxy.h"
#include "tests/support/setup_placeholder.h"
#include "sources/history.h"
#include "tests/shell/recording_form.h"

namespace yomira {
namespace {

using test::RecordingForm;
using test::SetupPlaceholder;
using Flags = std::vector<std::pair<bool, bool>>;

class TextRevise : public test::FormFixture {
 protected:
  std::unique_ptr<RecordingForm> Form(bool laidOut) {
    auto f = Make();
    f->session().state().option.ruby_tag = 1;
    f->session().state().option.re_wrap = 0;
    f->session().state().option.ReWrapType = 0;
    if (laidOut) Open(*f);
    f->SyncTextReviseMenu(f->session().state().option);
    return f;
  }
  static QAction* Item(TForm1& f, const char* name) { return f.mainMenu().items.at(name); }
};

TEST_F(TextRevise, EachStyleToggleInvertsItsFieldAndRelaysOut) {
  struct Case {
    const char* action;
    uint8_t TYomiraOption::*field;
    bool geometry;
  };
  const Case cases[] = {
      {"ActionStyleTextReviseUseAozora", &TYomiraOption::ruby_tag, false},
      {"ActionStyleTextReviseParseHTML", &TYomiraOption::ParseHTML, false},
      {"ActionStyleTextReviseUseCover", &TYomiraOption::UseCover, true},
      {"ActionStyleTextReviseUseAutoIndent", &TYomiraOption::aut_indent, false},
      {"ActionStyleTextReviseUseYomiraTag", &TYomiraOption::images, false},
      {"ActionStyleTextReviseUseStrict", &TYomiraOption::strict, false},
      {"ActionStyleTextReviseUseReWrap", &TYomiraOption::re_wrap, false},
      {"ActionStyleTextReviseUseToRuby", &TYomiraOption::toRuby, false},
  };
  for (const Case& c : cases) {
    for (bool laidOut : {false, true}) {
      SCOPED_TRACE(std::string(c.action) + (laidOut ? " laid out" : " no document"));
      auto f = Form(laidOut);
      const TYomiraOption before = f->session().state().option;
      f->actions().at(c.action).run(nullptr);
      EXPECT_EQ(!!(f->session().state().option.*c.field), !(before.*c.field));
      EXPECT_EQ(f->actions().at(c.action).checked, !!(f->session().state().option.*c.field));
      // The menu entry shows it, whatever ran the action.
      EXPECT_EQ(f->mainMenu().proxy(c.action)->isChecked(), !!(f->session().state().option.*c.field));
      // Nothing else of the record changes.
      TYomiraOption rest = f->session().state().option;
      rest.*c.field = before.*c.field;
      EXPECT_EQ(rest, before);
      EXPECT_EQ(f->relayouts, (laidOut ? Flags{{c.geometry, true}} : Flags{}));
    }
  }
}

TEST_F(TextRevise, AStaleCheckDoesNotDecide) {
  auto f = Form(true);
  f->session().state().option.ruby_tag = 0;  // a style applied without syncing the checks
  ASSERT_TRUE(f->actions().at("ActionStyleTextReviseUseAozora").checked);
  f->actions().at("ActionStyleTextReviseUseAozora").run(nullptr);
  EXPECT_EQ(f->session().state().option.ruby_tag, 1);
  EXPECT_TRUE(f->actions().at("ActionStyleTextReviseUseAozora").checked);
  EXPECT_EQ(f->relayouts, (Flags{{false, true}}));
}

TEST_F(TextRevise, TheReWrapMethodNeedsReWrapping) {
  struct Case {
    const char* action;
    int reWrap, from, to;
    Flags relayouts;
  };
  const Case cases[] = {
      {"ActionStyleTextReviseReWrapCompel", 0, 0, 0, {}},
      {"ActionStyleTextReviseReWrapFixed", 0, 1, 1, {}},
      {"ActionStyleTextReviseReWrapCompel", 1, 0, 1, {{false, true}}},
      {"ActionStyleTextReviseReWrapFixed", 1, 1, 0, {{true, true}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.action) + " re_wrap " + std::to_string(c.reWrap));
    auto f = Form(true);
    f->session().state().option.re_wrap = c.reWrap;
    f->session().state().option.ReWrapType = c.from;
    f->SyncTextReviseMenu(f->session().state().option);
    const bool fixedChecked = f->actions().at("ActionStyleTextReviseReWrapFixed").checked;
    f->actions().at(c.action).run(nullptr);
    EXPECT_EQ(f->session().state().option.ReWrapType, c.to);
    EXPECT_EQ(f->relayouts, c.relayouts);
    // The checks follow when the menu opens, not here.
    EXPECT_EQ(f->actions().at("ActionStyleTextReviseReWrapFixed").checked, fixedChecked);
  }
  // Without a document the method is still chosen.
  auto f = Form(false);
  f->session().state().option.re_wrap = 1;
  f->actions().at("ActionStyleTextReviseReWrapCompel").run(nullptr);
  EXPECT_EQ(f->session().state().option.ReWrapType, 1);
  EXPECT_TRUE(f->relayouts.empty());
}

TEST_F(TextRevise, MomentaryTogglesActOnTheOpenDocumentOnly) {
  {
    auto f = Form(false);
    f->actions().at("ActionMomentaryAutoIndent").run(nullptr);
    EXPECT_FALSE(f->actions().at("ActionMomentaryAutoIndent").checked);
    EXPECT_TRUE(f->relayouts.empty());
  }
  auto f = Form(true);
  ASSERT_FALSE(f->actions().at("ActionMomentaryAutoIndent").checked);
  ASSERT_EQ(f->session().state().displayLines.front().indent, 0);
  const TYomiraOption before = f->session().state().option;
  f->actions().at("ActionMomentaryAutoIndent").run(nullptr);
  EXPECT_TRUE(f->actions().at("ActionMomentaryAutoIndent").checked);
  EXPECT_TRUE(f->mainMenu().proxy("ActionMomentaryAutoIndent")->isChecked());
  EXPECT_EQ(f->relayouts, (Flags{{false, true}}));
  // Every paragraph starts one character lower; the record is not touched.
  EXPECT_EQ(f->session().state().displayLines.front().indent, 2);
  EXPECT_EQ(f->session().state().option, before);
  f->actions().at("ActionMomentaryAutoIndent").run(nullptr);
  EXPECT_EQ(f->session().state().displayLines.front().indent, 0);

  // The other two reach the conversion's switches.
  f->actions().at("ActionMomentaryReWrap").run(nullptr);
  f->actions().at("ActionMomentaryToRuby").run(nullptr);
  EXPECT_TRUE(f->session().state().switches.reWrap);
  EXPECT_TRUE(f->session().state().switches.toRuby);
}

TEST_F(TextRevise, TheStyleMenuShowsTheRecordAsItOpens) {
  auto f = Form(true);
  f->session().state().option.ruby_tag = 0;
  f->session().state().option.re_wrap = 0;
  f->session().state().option.ReWrapType = 1;
  f->session().state().option.strict = 1;
  f->session().state().option.images = 0;
  emit f->mainMenu().submenus.at("MenuStyle")->aboutToShow();
  const std::pair<const char*, uint8_t> fields[] = {
      {"ActionStyleTextReviseUseAozora", f->session().state().option.ruby_tag},     {"ActionStyleTextReviseParseHTML", f->session().state().option.ParseHTML},
      {"ActionStyleTextReviseUseCover", f->session().state().option.UseCover},      {"ActionStyleTextReviseUseAutoIndent", f->session().state().option.aut_indent},
      {"ActionStyleTextReviseUseYomiraTag", f->session().state().option.images},    {"ActionStyleTextReviseUseStrict", f->session().state().option.strict},
      {"ActionStyleTextReviseUseReWrap", f->session().state().option.re_wrap},      {"ActionStyleTextReviseUseToRuby", f->session().state().option.toRuby},
  };
  for (const auto& [name, on] : fields) {
    SCOPED_TRACE(name);
    EXPECT_EQ(f->actions().at(name).checked, on != 0);
    EXPECT_EQ(f->mainMenu().proxy(name)->isChecked(), on != 0);
  }
  EXPECT_TRUE(f->mainMenu().proxy("ActionStyleTextReviseReWrapCompel")->isChecked());
  EXPECT_FALSE(f->mainMenu().proxy("ActionStyleTextReviseReWrapFixed")->isChecked());
  EXPECT_FALSE(Item(*f, "MenuStyleTextReviseUseToRuby")->isEnabled());
  EXPECT_FALSE(Item(*f, "MenuStyleTextReviseReWrapFixed")->isEnabled());
  EXPECT_FALSE(Item(*f, "MenuStyleTextReviseReWrapCompel")->isEnabled());
  EXPECT_TRUE(Item(*f, "MenuStyleTextReviseUseAozora")->isEnabled());

  // Greyed entries leave their keys working.
  Action& toRuby = f->actions().at("ActionStyleTextReviseUseToRuby");
  toRuby.code = 0x4000 | 'J';
  f->EnableActions(true, false);
  const uint8_t was = f->session().state().option.toRuby;
  EXPECT_TRUE(f->keys().dispatch(toRuby.code, f.get()));
  EXPECT_NE(f->session().state().option.toRuby, was);

  // And on: the entries come back.
  f->session().state().option.ruby_tag = 1;
  f->session().state().option.re_wrap = 1;
  emit f->mainMenu().submenus.at("MenuStyle")->aboutToShow();
  EXPECT_TRUE(Item(*f, "MenuStyleTextReviseUseToRuby")->isEnabled());
  EXPECT_TRUE(Item(*f, "MenuStyleTextReviseReWrapFixed")->isEnabled());
  EXPECT_TRUE(Item(*f, "MenuStyleTextReviseReWrapCompel")->isEnabled());
}

class LayoutSteps : public test::FormFixture {};

TEST_F(LayoutSteps, StepsStayInTheirRanges) {
  struct Case {
    const char* action;
    int32_t TYomiraOption::*field;
    int from, to;
    bool grid;  // otherwise the font and the ruby
  };
  const Case cases[] = {
      {"ActionWindowRowUp", &TYomiraOption::v_size, 510, 512, true},
      {"ActionWindowRowUp", &TYomiraOption::v_size, 512, 512, true},
      {"ActionWindowRowUp", &TYomiraOption::v_size, 511, 512, true},
      {"ActionWindowRowDown", &TYomiraOption::v_size, 12, 10, true},
      {"ActionWindowRowDown", &TYomiraOption::v_size, 10, 10, true},
      {"ActionWindowRowDown", &TYomiraOption::v_size, 11, 10, true},
      {"ActionWindowColUp", &TYomiraOption::c_size, 255, 256, true},
      {"ActionWindowColUp", &TYomiraOption::c_size, 256, 256, true},
      {"ActionWindowColDown", &TYomiraOption::c_size, 6, 5, true},
      {"ActionWindowColDown", &TYomiraOption::c_size, 5, 5, true},
      {"ActionWindowFontUp", &TYomiraOption::f_size, 255, 256, false},
      {"ActionWindowFontUp", &TYomiraOption::f_size, 256, 256, false},
      {"ActionWindowFontDown", &TYomiraOption::f_size, 7, 6, false},
      {"ActionWindowFontDown", &TYomiraOption::f_size, 6, 6, false},
      {"ActionWindowRubyUp", &TYomiraOption::ruby_size, 255, 256, false},
      {"ActionWindowRubyUp", &TYomiraOption::ruby_size, 256, 256, false},
      {"ActionWindowRubyDown", &TYomiraOption::ruby_size, 1, 0, false},
      {"ActionWindowRubyDown", &TYomiraOption::ruby_size, 0, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.action) + " from " + std::to_string(c.from));
    auto f = Make();
    Open(*f);
    // Small pictures: the grid steps at a tiny font, the font steps at a tiny grid.
    if (c.grid) {
      f->session().state().option.f_size = 6;
      f->session().state().option.ruby_size = 0;
      f->session().state().option.s_size = 0;
    } else {
      f->session().state().option.c_size = 5;
      f->session().state().option.v_size = 10;
    }
    f->session().state().option.*c.field = c.from;
    f->Relayout(true, true);
    f->sliderShowView(std::min(3, f->ViewCount()));
    f->relayouts.clear();
    f->pendingRates.clear();
    f->actions().at(c.action).run(nullptr);
    EXPECT_EQ(f->session().state().option.*c.field, c.to);
    if (c.from == c.to) {
      EXPECT_TRUE(f->relayouts.empty());
    } else {
      EXPECT_EQ(f->relayouts, (Flags{{true, c.grid}}));
      // The view's first text is kept in place of the saved reading position.
      EXPECT_EQ(f->pendingRates, std::vector<int>{-1});
    }
  }
}

TEST_F(LayoutSteps, TheKeysStepTheGridAndTheWindowFollows) {
  auto f = Make();
  Open(*f);
  f->EnableActions(true, false);
  struct Step {
    uint16_t code;  // Ctrl+Shift + arrow
    int c, v;
    QSize client;
  };
  const Step steps[] = {
      {0x6000 | 0x27, 17, 64, {518, 539}},  // Right: a line more
      {0x6000 | 0x25, 16, 64, {492, 539}},  // Left
      {0x6000 | 0x28, 16, 66, {492, 553}},  // Down: a character more
      {0x6000 | 0x26, 16, 64, {492, 539}},  // Up
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.code);
    EXPECT_TRUE(f->keys().dispatch(s.code, f.get()));
    EXPECT_EQ(f->session().state().option.c_size, s.c);
    EXPECT_EQ(f->session().state().option.v_size, s.v);
    EXPECT_EQ(f->size(), s.client);
  }
}

// A settings dialog on screen: the steps refill it.
class VisibleDialog : public SetupPlaceholder {
 public:
  explicit VisibleDialog(std::vector<SetupValues>& fills) : fills_(fills) {}
  bool isVisible() const override { return true; }
  void setValues(const SetupValues& values) override {
    fills_.push_back(values);
    SetupPlaceholder::setValues(values);
  }

 private:
  std::vector<SetupValues>& fills_;
};

TEST_F(LayoutSteps, AVisibleSettingsDialogIsRefilledFromTheLiveRecord) {
  auto f = Make();
  Open(*f);
  std::vector<SetupValues> fills;
  f->attachSetupDialog(std::make_unique<VisibleDialog>(fills));
  f->actions().at("ActionWindowColUp").run(nullptr);
  EXPECT_EQ(f->session().state().option.c_size, 17);
  ASSERT_EQ(fills.size(), 1u);
  EXPECT_EQ(*fills[0].spin("SpinEditCols"), 17);
  // A step that does nothing fills nothing.
  f->session().state().option.f_size = 256;
  f->actions().at("ActionWindowFontUp").run(nullptr);
  EXPECT_EQ(fills.size(), 1u);
  // A hidden dialog is left alone.
  f->attachSetupDialog(std::make_unique<SetupPlaceholder>());
  f->actions().at("ActionWindowColUp").run(nullptr);
  EXPECT_EQ(fills.size(), 1u);
}

TEST_F(LayoutSteps, NothingStepsWithoutALayout) {
  auto f = Make();
  const TYomiraOption before = f->session().state().option;
  for (const char* a : {"ActionWindowRowUp", "ActionWindowRowDown", "ActionWindowColUp", "ActionWindowColDown",
                        "ActionWindowFontUp", "ActionWindowFontDown", "ActionWindowRubyUp", "ActionWindowRubyDown"})
    f->actions().at(a).run(nullptr);
  EXPECT_EQ(f->session().state().option, before);
  EXPECT_TRUE(f->relayouts.empty());
}

}  // namespace
}  // namespace yomira
