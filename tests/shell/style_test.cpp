// Style files and the style menu: the folder scan, reading and writing a style, the menu
// items, applying a style by place or name.
#include <QAction>
#include <QComboBox>
#include <QCryptographicHash>
#include <QMenu>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/core/option_defaults.h"
#include "platform/atomic_file.h"
#include "platform/color.h"
#include "shell/main_window.h"
#include "shell/setup_dialog.h"
#include "shell/setup_mapping.h"
#include "shell/style_store.h"
#include "tests/shell/edit_settings.h"
#include "tests/shell/fake_shell_env.h"
#include "tests/support/test_support.h"
#include "windows/settings/settings_dialog.h"

namespace yomira {
namespace {

namespace fs = std::filesystem;

void Write(const fs::path& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }
std::string Read(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(StyleStore, ScanListsIniFilesByNameIgnoringCase) {
  test::TempDir dir;
  for (const char* f : {"Night.INI", "day.ini", "notes.txt", ".ini", ".x.ini", "a\\b.ini"}) Write(dir / f, "[Style]\n");
  fs::create_directory(dir / "old.ini");
  const auto styles = ScanStyleFolder(dir.path().string());
  ASSERT_EQ(styles.size(), 2u);
  EXPECT_EQ(styles[0].name, "day");
  EXPECT_EQ(styles[1].name, "Night");
  EXPECT_EQ(styles[1].fileName, "Night.INI");
  EXPECT_EQ(FindStyle(styles, "NIGHT"), 1);
  EXPECT_EQ(FindStyle(styles, "dusk"), -1);
  EXPECT_TRUE(ScanStyleFolder((dir / "none").string()).empty());
}

TEST(StyleStore, NamesThatCannotBeFilesAreRefused) {
  for (const char* bad : {"", ".", "..", "../x", "a/b", "a\\b", ".hidden", "x\ty", "\xff"})
    EXPECT_FALSE(IsValidStyleName(bad)) << bad;
  for (const char* good : {"day", "Night 2", "夜", "a.b"}) EXPECT_TRUE(IsValidStyleName(good)) << good;
}

TEST(StyleStore, ReadKeepsLiveValuesWithTheFileRules) {
  TYomiraOption live = DefaultOptions();
  live.Page = 2;
  live.UseShadow = 1;
  live.f_size = 18;
  struct Case {
    const char* text;
    std::function<void(const TYomiraOption&)> check;
  };
  const Case cases[] = {
      {"[Style]\n", [](const TYomiraOption& r) {
         EXPECT_EQ(r.Page, 1);
         EXPECT_EQ(r.UseShadow, 0);
         EXPECT_EQ(r.f_size, 18);
       }},
      {"[Style]\r\nTextRow=20\r\n", [](const TYomiraOption& r) { EXPECT_EQ(r.v_size, 40); }},
      {"[Style]\nTextColor=zzz\nRubyColor=$000000FF\n",
       [&](const TYomiraOption& r) {
         EXPECT_EQ(r.text_color, live.text_color);
         EXPECT_EQ(r.ruby_color, live.ruby_color);
       }},
      {"[Style]\nRubyColor=$000000FF\nBGImageSRC=\"/a b.png\"\n",
       [](const TYomiraOption& r) {
         EXPECT_EQ(r.ruby_color, 0xFFu);
         EXPECT_EQ(r.bg_image_str, "/a b.png");
       }},
      {"[Style]\nJpaFont=\x82\x6c\x82\x72 \x96\xbe\x92\xa9\r\n",  // cp932 "ＭＳ 明朝", CR LF
       [](const TYomiraOption& r) { EXPECT_EQ(r.font_family, "ＭＳ 明朝"); }},
  };
  test::TempDir dir;
  for (const Case& c : cases) {
    Write(dir / "s.ini", c.text);
    TYomiraOption r;
    ASSERT_TRUE(ReadStyleFile((dir / "s.ini").string(), live, r)) << c.text;
    c.check(r);
  }
  TYomiraOption untouched;
  untouched.f_size = 99;
  EXPECT_FALSE(ReadStyleFile((dir / "missing.ini").string(), live, untouched));
  EXPECT_EQ(untouched.f_size, 99);
}

TEST(StyleStore, WriteGivesTheStyleFileAndKeepsWhatElseTheFileHolds) {
  test::TempDir dir;
  const std::string path = (dir / "day.ini").string();
  ASSERT_EQ(WriteStyleFile(path, DefaultOptions()), "");
  const std::string text = Read(path);
  EXPECT_EQ(text.size(), 474u);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 39);
  EXPECT_EQ(QCryptographicHash::hash(QByteArray::fromStdString(text), QCryptographicHash::Sha256).toHex().toStdString(),
            "0e1239c244afbd93fa21274bc63895c476f5826a3536b2d71949b54e272d8a18");

  Write(path, "; mine\n[Style]\nExtra=1\nFontSize=9\n[Other]\nk=v\n");
  TYomiraOption r = DefaultOptions();
  r.f_size = 20;
  ASSERT_EQ(WriteStyleFile(path, r), "");
  const std::string kept = Read(path);
  EXPECT_NE(kept.find("; mine"), std::string::npos);
  EXPECT_NE(kept.find("Extra=1"), std::string::npos);
  EXPECT_NE(kept.find("[Other]\nk=v"), std::string::npos);
  EXPECT_NE(kept.find("FontSize=20"), std::string::npos);
  EXPECT_EQ(kept.find("FontSize=9"), std::string::npos);

  SetAtomicWriteFailHook([](AtomicWriteStep) { return true; });
  EXPECT_NE(WriteStyleFile(path, DefaultOptions()), "");
  SetAtomicWriteFailHook(nullptr);
  EXPECT_EQ(Read(path), kept);
}

class Styles : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directory(home_ / "Style"); }
  void Start() {
    TForm1::Setup s;
    s.env = &env_;
    s.dataFolder = home_.path().string();
    form_ = std::make_unique<TForm1>(std::move(s));
  }
  void Style(const std::string& file, const std::string& text) { Write(home_ / "Style" / file, text); }
  std::vector<std::string> Captions() {
    std::vector<std::string> out;
    for (int i = 0;; ++i) {
      auto* item = form_->findChild<QAction*>(QStringLiteral("MenuStyle%1").arg(i));
      if (!item) break;
      out.push_back(item->isVisible() ? item->text().toStdString() + (item->isChecked() ? " *" : "") : "-");
    }
    return out;
  }

  test::TempDir home_;
  test::FakeShellEnv env_;
  std::unique_ptr<TForm1> form_;
};

// The save question belongs to the settings dialog that asked it (it opens centred on it),
// not to the main window behind.
TEST_F(Styles, TheSaveQuestionBelongsToTheSettingsDialog) {
  Start();
  auto port = MakeSetupDialog(*form_);
  TForm2* dialog = SetupDialogWindow(*port);
  ASSERT_NE(dialog, nullptr);
  form_->attachSetupDialog(std::move(port));
  dialog->ComboBoxStyle->setEditText(QStringLiteral("dusk"));
  env_.okCancelAnswers = {false};
  dialog->ButtonStyleSaveClick();
  ASSERT_EQ(env_.owners.size(), 1u);
  EXPECT_EQ(env_.owners.front(), dialog);
  EXPECT_FALSE(fs::exists(home_ / "Style" / "dusk.ini"));
}

TEST_F(Styles, MenuItemsFollowTheFolder) {
  Style("day.ini", "[Style]\n");
  Style("Night.INI", "[Style]\nFontSize=20\n");
  Style("A&B.ini", "[Style]\n");
  Start();
  test::EditSettings(*form_, [](SettingsModel& m) { m.styleName = "day"; });
  form_->BuildStyleMenu();
  EXPECT_EQ(Captions(), (std::vector<std::string>{"&0\tA&&B", "&1\tday *", "&2\tNight"}));
  fs::remove(home_ / "Style" / "A&B.ini");
  form_->ScanStyles();
  EXPECT_EQ(Captions(), (std::vector<std::string>{"&0\tday *", "&1\tNight", "-"}));
  fs::remove_all(home_ / "Style");
  form_->ScanStyles();
  EXPECT_EQ(Captions(), (std::vector<std::string>{"-", "-", "-"}));
}

TEST_F(Styles, ApplyingAStyleByPlaceOrName) {
  Style("day.ini", "[Style]\n");
  Style("Night.INI", "[Style]\nFontSize=20\nRuby=0\n");
  Start();
  form_->session().state().option.Page = 2;
  form_->ApplyStyleName("NIGHT");
  EXPECT_EQ(form_->styleName(), "Night");
  EXPECT_EQ(form_->session().state().option.f_size, 20);
  EXPECT_EQ(form_->session().state().option.Page, 1);
  EXPECT_FALSE(form_->actions().at("ActionStyleTextReviseUseAozora").checked);

  form_->ApplyStyleIndex(5);
  EXPECT_EQ(form_->styleName(), "Night");

  fs::remove(home_ / "Style" / "day.ini");
  form_->session().state().option.Page = 2;
  form_->ApplyStyleIndex(0);
  EXPECT_EQ(form_->session().state().option.Page, 2);
  EXPECT_EQ(form_->styleName(), "Night");
  EXPECT_EQ(env_.messages.back(), "スタイルファイルが見つかりませんでした。");
  EXPECT_EQ(form_->styleNames(), std::vector<std::string>{"Night"});
}

TEST_F(Styles, SavingRefusesBadNamesAndWritesOneFile) {
  Start();
  SetupValues values = ShowValues(form_->session().state().option, "x", form_->setupDialog().colourLists());
  for (const char* bad : {"", "../x", "a/b", ".hidden"}) {
    env_.messages.clear();
    EXPECT_FALSE(form_->SaveStyle(bad, values)) << bad;
    EXPECT_EQ(env_.messages, std::vector<std::string>{"[ " + std::string(bad) + " ]\nこの名前ではスタイルを保存できません。"});
  }
  EXPECT_TRUE(fs::is_empty(home_ / "Style"));
  EXPECT_FALSE(fs::exists(home_ / "x"));

  Style("Day.INI", "[Style]\n");
  form_->ScanStyles();
  ASSERT_TRUE(form_->SaveStyle("day", values));
  // The match that differs only in case is the file written.
  EXPECT_FALSE(fs::exists(home_ / "Style" / "day.ini"));
  EXPECT_NE(Read(home_ / "Style" / "Day.INI").find("FontSize=14"), std::string::npos);
  EXPECT_EQ(form_->styleNames(), std::vector<std::string>{"Day"});
}

}  // namespace
}  // namespace yomira
