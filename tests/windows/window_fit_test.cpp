// Every dialog at the UI font and at one size larger: no label, check box or button text is
// cut by its widget, and no two sibling widgets overlap. The widget tree of each dialog is
// walked as built, shown and laid out.
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSizeGrip>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/option_defaults.h"
#include "platform/shell_env.h"
#include "windows/controls/open_dialog_ex.h"
#include "windows/controls/qt_translation.h"
#include "windows/controls/ux_find_dialog.h"
#include "windows/controls/ux_spin_edit.h"
#include "windows/settings/settings_dialog.h"
#include "tools/still_setup_host.h"
#include "windows/tools_dialog/tools_dialog.h"
#include "windows/url_dialog.h"

namespace yomira {
namespace {

QString Shown(const QString& text) {
  QString out = text;
  out.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
  out.remove(QLatin1Char('&'));
  out.replace(QLatin1Char('\x01'), QLatin1Char('&'));
  return out;
}

std::string Name(const QWidget* w) {
  const QString name = w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
  return name.toStdString();
}

// One line per fault under root: a text its widget cuts, two siblings that overlap.
std::vector<std::string> FitFaults(QWidget* root) {
  std::vector<std::string> faults;
  QList<QWidget*> all = root->findChildren<QWidget*>();
  all.prepend(root);
  for (QWidget* w : all) {
    if (w != root && (w->isWindow() || !w->isVisibleTo(root))) continue;
    const QFontMetrics fm(w->font());
    if (auto* l = qobject_cast<QLabel*>(w); l && !l->text().isEmpty() && !l->wordWrap() &&
                                            l->textFormat() != Qt::RichText) {
      const QString text = l->buddy() ? Shown(l->text()) : l->text();
      const QRect room = l->contentsRect().marginsRemoved(QMargins(l->margin(), l->margin(), l->margin(), l->margin()));
      if (fm.horizontalAdvance(text) > room.width() || fm.height() > room.height())
        faults.push_back("label " + Name(l) + " \"" + text.toStdString() + "\" " + std::to_string(fm.horizontalAdvance(text)) +
                         "x" + std::to_string(fm.height()) + " in " + std::to_string(room.width()) + "x" +
                         std::to_string(room.height()));
    } else if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) {
      const QSize need = w->sizeHint();
      if (need.width() > w->width() || need.height() > w->height())
        faults.push_back("box " + Name(w) + " needs " + std::to_string(need.width()) + "x" + std::to_string(need.height()) +
                         ", has " + std::to_string(w->width()) + "x" + std::to_string(w->height()));
    } else if (auto* b = qobject_cast<QPushButton*>(w); b && !b->text().isEmpty()) {
      const QString text = Shown(b->text());
      if (fm.horizontalAdvance(text) + 4 > b->width() || fm.height() > b->height())
        faults.push_back("button " + Name(b) + " \"" + text.toStdString() + "\" in " + std::to_string(b->width()) + "x" +
                         std::to_string(b->height()));
    } else if (auto* s = qobject_cast<UxSpinEdit*>(w)) {
      if (s->width() < s->widthForDigits(UxSpinEdit::kShownDigits))
        faults.push_back("spin edit " + Name(s) + " shows fewer than four digits: " + std::to_string(s->width()));
    }
    // Siblings: the visible child widgets of w, pairwise.
    std::vector<QWidget*> kids;
    for (QObject* o : w->children()) {
      auto* c = qobject_cast<QWidget*>(o);
      // A size grip sits in its corner over whatever is there, by design.
      if (c && !c->isWindow() && c->isVisibleTo(root) && !qobject_cast<QSizeGrip*>(c)) kids.push_back(c);
    }
    for (size_t i = 0; i < kids.size(); ++i)
      for (size_t j = i + 1; j < kids.size(); ++j)
        if (kids[i]->geometry().intersects(kids[j]->geometry()))
          faults.push_back("overlap in " + Name(w) + ": " + Name(kids[i]) + " and " + Name(kids[j]));
  }
  return faults;
}

// The application font one size up (or as it is) while a case runs.
class FontScope {
 public:
  explicit FontScope(int pixels) : saved_(QApplication::font()) {
    QFont f = saved_;
    f.setPixelSize(pixels);
    QApplication::setFont(f);
  }
  ~FontScope() { QApplication::setFont(saved_); }

 private:
  QFont saved_;
};

struct Hosts {
  tools::StillSetupHost setup;
  ToolItemList tools, filters;
  ActionCatalogue catalogue;
  NullShellEnv env;
  struct Url : UrlDialogHost {
    std::vector<std::string> HistoryUrls() override { return {"http://example.invalid/a"}; }
    bool StartUpPanelVisible() override { return false; }
    void ShowEasterEgg() override {}
  } url;
  TOpenDialogEx open{nullptr};
};

struct DialogCase {
  const char* name;
  // Builds the dialog in one of its states; the caller shows it.
  std::function<std::unique_ptr<QWidget>(Hosts&)> build;
  // Turns it to its next state after showing; false when there is none.
  std::function<bool(QWidget*, int step)> step;
};

std::unique_ptr<QWidget> Tools(Hosts& h) {
  TToolItem tool;
  tool.Caption = "Editor";
  tool.FilePath = "/usr/bin/gedit";
  tool.Param = "%F";
  h.tools.push_back(tool);
  ToolsDialogSetup setup{h.tools, h.filters, h.catalogue, h.env};
  return std::make_unique<TForm4>(setup);
}

const DialogCase kDialogs[] = {
    {"settings dialog",
     [](Hosts& h) { return std::unique_ptr<QWidget>(new TForm2(h.setup, nullptr)); },
     [](QWidget* w, int step) {
       if (step > 1) return false;
       static_cast<TForm2*>(w)->PageControlOption->setCurrentIndex(step);
       return true;
     }},
    {"tools dialog", Tools,
     [](QWidget* w, int step) {
       if (step > 3) return false;
       static_cast<TForm4*>(w)->TabControlBase->setCurrentIndex(step);
       return true;
     }},
    {"URL dialog", [](Hosts& h) { return std::unique_ptr<QWidget>(new TForm5(nullptr, h.url)); }, nullptr},
    {"open dialog",
     [](Hosts& h) {
       h.open.setCharCodeList({"(自動)", "Shift-JIS", "EUC-JP", "ISO-2022-JP", "UTF7", "UTF8", "UTF8N"});
       h.open.setCharCodeIndex(0);
       h.open.Filter = QString::fromUtf8("テキスト文章(*.txt)|*.txt|すべてのファイル|*");
       return std::unique_ptr<QWidget>(h.open.Build().release());
     },
     nullptr},
    {"find dialog", [](Hosts&) { return std::unique_ptr<QWidget>(new UxFindDialog(nullptr)); }, nullptr},
};

TEST(WindowFit, NoTextIsCutAndNoSiblingsOverlap) {
  // Qt's own texts as the reader shows them.
  InstallQtTranslation(*QCoreApplication::instance());
  const int base = QFontInfo(QApplication::font()).pixelSize();
  for (int pixels : {std::max(12, base), std::max(12, base) + 2}) {
    FontScope font(pixels);
    for (const DialogCase& c : kDialogs) {
      Hosts hosts;
      std::unique_ptr<QWidget> w = c.build(hosts);
      w->show();
      ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get())) << c.name;
      for (int step = 0;; ++step) {
        if (c.step && !c.step(w.get(), step)) break;
        QCoreApplication::processEvents();
        for (const std::string& fault : FitFaults(w.get()))
          ADD_FAILURE() << c.name << " at " << pixels << " px, state " << step << ": " << fault;
        if (!c.step) break;
      }
      w->hide();
    }
  }
}

// The checker itself finds what it is for.
TEST(WindowFitCheck, FindsACutLabelAndOverlappingSiblings) {
  QWidget root;
  root.resize(200, 100);
  auto* cut = new QLabel(QStringLiteral("a label far too long for its box"), &root);
  cut->setGeometry(0, 0, 30, 20);
  auto* other = new QLabel(QStringLiteral("x"), &root);
  other->setGeometry(20, 10, 40, 20);
  root.show();
  const std::vector<std::string> faults = FitFaults(&root);
  ASSERT_EQ(faults.size(), 2u);
  auto has = [&](const char* word) {
    return std::any_of(faults.begin(), faults.end(), [&](const std::string& f) { return f.find(word) != std::string::npos; });
  };
  EXPECT_TRUE(has("\"a label far too long for its box\""));
  EXPECT_TRUE(has("overlap"));
}

}  // namespace
}  // namespace yomira
