#include "windows/settings/settings_dialog.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

#include <algorithm>

#include "platform/file/regular_file.h"
#include "platform/shell_env.h"
#include "windows/controls/file_filter.h"
#include "windows/controls/prop_grid/prop_grid.h"
#include "windows/controls/ux_spin_edit.h"
#include "windows/controls/ux_static_text.h"
#include "windows/controls/window_util.h"
#include "windows/settings/colour_combo.h"
#include "windows/settings/font_families.h"
#include "windows/settings/settings_dialog_host.h"
#include "platform/path/path_parts.h"

namespace yomira {

namespace {

constexpr int kSpinWidth = 41;
constexpr int kPanelHeight = 30;

// A push button of at least the layout's size, wider and taller where its text needs it.
void FitButton(QPushButton* b, int width, int height) {
  const QFontMetrics fm(b->font());
  QString text = b->text();
  text.remove(QLatin1Char('&'));
  b->setFixedSize(std::max(width, fm.horizontalAdvance(text) + 12), std::max(height, fm.height() + 6));
}

QString U(const char* s) { return QString::fromUtf8(s); }

bool IsEnter(const QKeyEvent* k) { return k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter; }

// The spin edits that set a flag, by kind.
constexpr const char* kRelayoutSpins[] = {"SpinEditFontSize",   "SpinEditRowExtent",  "SpinEditRubySize",
                                          "SpinEditColExtent",  "SpinEditRowMargin",  "SpinEditColMargin",
                                          "SpinEditColumnMargin", "SpinEditViewPage", "SpinEditViewPageMargin"};
constexpr const char* kReformatSpins[] = {"SpinEditRows", "SpinEditCols", "SpinEditColumns"};
constexpr const char* kRelayoutChecks[] = {"CheckBoxUseImage", "CheckBoxUsePaperLine", "CheckBoxUseShadow"};
constexpr const char* kReformatChecks[] = {"CheckBoxUseCover",  "CheckBoxUseAutoIndent", "CheckBoxUseYomiraTag",
                                           "CheckBoxUseStrict", "CheckBoxUseReWrap",     "CheckBoxUseToRuby"};
constexpr const char* kReloadChecks[] = {"CheckBoxUseAozora", "CheckBoxParseHTML"};
// Grid items whose change makes the text convert again; tty_words also breaks lines.
constexpr const char* kReformatItems[] = {"ItemReWrapType", "ItemNoWrap",   "ItemWrapChar", "ItemWrapHead",
                                          "ItemWrapFoot",   "ItemNoIndent", "ItemTTY1Byte"};

}  // namespace

TForm2::TForm2(SetupDialogHost& host, QWidget* owner)
    : QWidget(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      host_(host) {
  setObjectName("Form2");
  setWindowTitle(U("設定"));
  setFont(UiFont());

  // Layouts, not fixed places: the sizes of the window layout are minimums, and a control
  // (and the window with it) grows where its text needs the room.
  auto* frame = new QVBoxLayout(this);
  frame->setContentsMargins(0, 0, 0, 0);
  frame->setSpacing(0);
  frame->setSizeConstraint(QLayout::SetFixedSize);
  PageControlOption = new QTabWidget(this);
  PageControlOption->setObjectName("PageControlOption");
  PageControlOption->setMinimumSize(kClientWidth, kClientHeight - kPanelHeight);
  PageControlOption->tabBar()->setFocusPolicy(Qt::NoFocus);
  PageControlOption->setDocumentMode(true);
  auto* style = new QWidget;
  style->setObjectName("TabSheetStyle");
  auto* detail = new QWidget;
  detail->setObjectName("TabSheetDetail");
  PageControlOption->addTab(style, U("スタイル設定"));
  PageControlOption->addTab(detail, U("詳細設定"));
  buildStyleTab(style);
  buildDetailTab(detail);
  frame->addWidget(PageControlOption);

  auto* bottom = new QWidget(this);
  bottom->setObjectName("PanelBottom");
  bottom->setMinimumHeight(kPanelHeight);
  auto* row = new QHBoxLayout(bottom);
  row->setContentsMargins(4, 5, 4, 5);
  row->setSpacing(5);
  row->addStretch(1);
  auto button = [bottom, row](const char* name, const char* text) {
    auto* b = new QPushButton(U(text), bottom);
    b->setObjectName(name);
    b->setAutoDefault(false);
    FitButton(b, 67, 20);
    row->addWidget(b);
    return b;
  };
  ButtonOK = button("ButtonOK", "&OK");
  ButtonCancel = button("ButtonCancel", "&Cancel");
  ButtonApply = button("ButtonApply", "&Apply");
  frame->addWidget(bottom);
  tabOrder_.insert(tabOrder_.end(), {ButtonOK, ButtonCancel, ButtonApply});
  for (size_t i = 0; i + 1 < tabOrder_.size(); ++i) setTabOrder(tabOrder_[i], tabOrder_[i + 1]);
  bindHandlers();

  pickFile = [this](const QString& filter, const std::string& start) -> std::optional<std::string> {
    QFileDialog dialog(this);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(filter.split(QStringLiteral(";;")));
    if (!start.empty()) dialog.selectFile(QString::fromStdString(start));
    host_.restoreDialogRect(&dialog);
    const bool ok = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    host_.saveDialogRect(&dialog);
    if (!ok) return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
  };
}

TForm2::~TForm2() {
  // Closing hides the window, and an editable box that loses the focus reports a choice:
  // nothing may reach this half-destroyed window.
  for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
}

void TForm2::buildStyleTab(QWidget* page) {
  auto* column = new QVBoxLayout(page);
  column->setContentsMargins(4, 6, 4, 4);
  column->setSpacing(3);
  auto* styleRow = new QHBoxLayout;
  styleRow->setSpacing(4);
  ComboBoxStyle = new QComboBox(page);
  ComboBoxStyle->setObjectName("ComboBoxStyle");
  ComboBoxStyle->setEditable(true);
  ComboBoxStyle->setInsertPolicy(QComboBox::NoInsert);
  ComboBoxStyle->setMinimumWidth(150);
  ButtonStyleSave = new QPushButton(U("&Save"), page);
  ButtonStyleSave->setObjectName("ButtonStyleSave");
  ButtonStyleSave->setAutoDefault(false);
  FitButton(ButtonStyleSave, 67, 22);
  styleRow->addWidget(ComboBoxStyle, 1);
  styleRow->addWidget(ButtonStyleSave);
  column->addLayout(styleRow);

  auto* group = new QGroupBox(U("ページ設定"), page);
  auto* cells = new QGridLayout(group);
  cells->setContentsMargins(6, 4, 6, 4);
  cells->setHorizontalSpacing(3);
  cells->setVerticalSpacing(1);
  auto label = [](QWidget* parent, const char* name, const char* text) {
    auto* l = new QLabel(U(text), parent);
    if (name) l->setObjectName(name);
    return l;
  };
  for (size_t i = 0; i < kSetupSpinEdits.size(); ++i) {
    spins[i] = new UxSpinEdit(group);
    spins[i]->setObjectName(kSetupSpinEdits[i].name);
    // The maximum first, then the minimum, as the ranges are wider than the defaults.
    spins[i]->setMaxValue(kSetupSpinEdits[i].max);
    spins[i]->setMinValue(kSetupSpinEdits[i].min);
  }
  for (size_t i = 0; i < kSetupColourCombos.size(); ++i) {
    colourCombos[i] = new ColourCombo(group);
    colourCombos[i]->setObjectName(kSetupColourCombos[i]);
    colourCombos[i]->setMinimumWidth(kSpinWidth);
    colourCombos[i]->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    if (i > 0) colourCombos[i]->setModel(colourCombos[0]->model());
  }
  struct Cell {
    const char* labelName;
    const char* text;
    const char* control;
  };
  const Cell grid[7][3] = {
      {{nullptr, "文字", "SpinEditFontSize"}, {nullptr, "文字色", "ComboBoxFontColor"}, {nullptr, "字間", "SpinEditRowExtent"}},
      {{nullptr, "ルビ", "SpinEditRubySize"}, {"LabelRubyColor", "ルビ色", "ComboBoxRubyColor"}, {nullptr, "行間", "SpinEditColExtent"}},
      {{nullptr, "字数", "SpinEditRows"}, {nullptr, "行数", "SpinEditCols"}, {nullptr, "段数", "SpinEditColumns"}},
      {{nullptr, "上下", "SpinEditRowMargin"}, {nullptr, "左右", "SpinEditColMargin"}, {nullptr, "段間", "SpinEditColumnMargin"}},
      {{nullptr, "頁数", "SpinEditViewPage"}, {nullptr, "頁間", "SpinEditViewPageMargin"}, {"LabelBackColor", "背景色", "ComboBoxBackColor"}},
      {{nullptr, "日本語", "ComboBoxFont2ByteName"}, {nullptr, nullptr, nullptr}, {"LabelPaperColor", "罫線色", "ComboBoxPaperColor"}},
      {{nullptr, "英数字", "ComboBoxFont1ByteName"}, {nullptr, nullptr, nullptr}, {"LabelShadow", "影色", "ComboBoxShadowColor"}},
  };
  ComboBoxFont2ByteName = new QComboBox(group);
  ComboBoxFont2ByteName->setObjectName("ComboBoxFont2ByteName");
  ComboBoxFont1ByteName = new QComboBox(group);
  ComboBoxFont1ByteName->setObjectName("ComboBoxFont1ByteName");
  for (QComboBox* box : {ComboBoxFont2ByteName, ComboBoxFont1ByteName}) {
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMaxVisibleItems(16);
    box->setMinimumWidth(124);
    // A long face name scrolls in its box rather than widening the window.
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  }
  // The layout's 20 pixels a row, or what the font needs with the frames.
  const int rowHeight = std::max(20, QFontMetrics(font()).height() + 6);
  for (int r = 0; r < 7; ++r)
    for (int c = 0; c < 3; ++c) {
      const Cell& cell = grid[r][c];
      if (!cell.control) continue;
      QLabel* l = label(group, cell.labelName, cell.text);
      // A wider gap between the cells than between a label and its control.
      if (c > 0) l->setContentsMargins(4, 0, 0, 0);
      cells->addWidget(l, r, 2 * c);
      QWidget* control = group->findChild<QWidget*>(cell.control);
      control->setFixedHeight(rowHeight);
      // The face names span the left and middle cells.
      const bool face = r >= 5 && c == 0;
      cells->addWidget(control, r, 2 * c + 1, 1, face ? 3 : 1);
    }
  column->addWidget(group);

  for (size_t i = 0; i < kSetupCheckBoxes.size(); ++i) {
    checks[i] = new QCheckBox(page);
    checks[i]->setObjectName(kSetupCheckBoxes[i]);
  }
  auto* effects = new QGroupBox(U("ページ効果"), page);
  auto* effectCells = new QGridLayout(effects);
  effectCells->setContentsMargins(6, 2, 6, 4);
  effectCells->setHorizontalSpacing(6);
  effectCells->setVerticalSpacing(1);
  struct Box {
    const char* name;
    const char* text;
  };
  const Box left[] = {{"CheckBoxUseImage", "背景画像"}, {nullptr, nullptr}, {"CheckBoxUsePaperLine", "原稿用紙罫線"},
                      {"CheckBoxUseShadow", "影グラデーション"}, {"CheckBoxUseAnimate", "ページ捲り効果"}};
  const Box right[] = {{"CheckBoxFontOutline", "文字のアウトライン補正"}, {"CheckBoxRubyOutline", "ルビのアウトライン補正"},
                       {"CheckBoxFontBold", "太文字"}, {"CheckBoxUseSound", "ページ捲り音"}, {nullptr, nullptr}};
  for (size_t i = 0; i < kSetupPathLabels.size(); ++i) {
    pathLabels[i] = new UxStaticText(effects);
    pathLabels[i]->setObjectName(kSetupPathLabels[i]);
    pathLabels[i]->setText(U("( 参照 )"));
    QFont f = pathLabels[i]->font();
    f.setUnderline(true);
    pathLabels[i]->setFont(f);
    pathLabels[i]->setCursor(Qt::PointingHandCursor);
  }
  auto place = [&](const Box& b, int r, int c) {
    QCheckBox* box = check(b.name);
    box->setParent(effects);
    box->setText(U(b.text));
    effectCells->addWidget(box, r, c);
  };
  for (int r = 0; r < 5; ++r) {
    if (left[r].name) place(left[r], r, 0);
    if (right[r].name) place(right[r], r, 1);
  }
  // Each path label under its box, indented past the box's mark.
  const int indent = 18;
  auto placeLabel = [&](UxStaticText* l, int r, int c, int minWidth) {
    l->setMinimumWidth(minWidth);
    auto* holder = new QHBoxLayout;
    holder->setContentsMargins(indent, 0, 0, 0);
    holder->addWidget(l, 1);
    effectCells->addLayout(holder, r, c);
  };
  placeLabel(pathLabels[0], 1, 0, 96);
  placeLabel(pathLabels[1], 4, 1, 130);
  column->addWidget(effects);

  auto* revise = new QGroupBox(U("テキスト補正"), page);
  auto* reviseCells = new QGridLayout(revise);
  reviseCells->setContentsMargins(6, 2, 6, 4);
  reviseCells->setHorizontalSpacing(6);
  reviseCells->setVerticalSpacing(1);
  const Box texts[] = {{"CheckBoxUseAozora", "青空文庫形式"}, {"CheckBoxParseHTML", "HTML解析"},
                       {"CheckBoxUseCover", "表紙成形"},     {"CheckBoxUseAutoIndent", "行頭インデント"},
                       {"CheckBoxUseYomiraTag", "挿絵/改ページ"}, {"CheckBoxUseStrict", "禁則処理"},
                       {"CheckBoxUseReWrap", "折り返し復元"}, {"CheckBoxUseToRuby", "括弧をルビ化"}};
  for (int i = 0; i < 8; ++i) {
    QCheckBox* box = check(texts[i].name);
    box->setParent(revise);
    box->setText(U(texts[i].text));
    reviseCells->addWidget(box, i / 2, i % 2);
  }
  column->addWidget(revise);
  column->addStretch(1);

  // The keyboard path: style row, the page settings row by row, the effects with each path
  // label after its box, the text corrections, the buttons.
  std::vector<QWidget*> order = {ComboBoxStyle, ButtonStyleSave};
  for (const char* n : {"SpinEditFontSize", "ComboBoxFontColor", "SpinEditRowExtent", "SpinEditRubySize",
                        "ComboBoxRubyColor", "SpinEditColExtent", "SpinEditRows", "SpinEditCols", "SpinEditColumns",
                        "SpinEditRowMargin", "SpinEditColMargin", "SpinEditColumnMargin", "SpinEditViewPage",
                        "SpinEditViewPageMargin", "ComboBoxBackColor", "ComboBoxFont2ByteName", "ComboBoxPaperColor",
                        "ComboBoxFont1ByteName", "ComboBoxShadowColor", "CheckBoxUseImage", "StaticTextImagePath",
                        "CheckBoxFontOutline", "CheckBoxRubyOutline", "CheckBoxFontBold", "CheckBoxUsePaperLine",
                        "CheckBoxUseShadow", "CheckBoxUseAnimate", "CheckBoxUseSound", "StaticTextSoundPath",
                        "CheckBoxUseAozora", "CheckBoxParseHTML", "CheckBoxUseCover", "CheckBoxUseAutoIndent",
                        "CheckBoxUseYomiraTag", "CheckBoxUseStrict", "CheckBoxUseReWrap", "CheckBoxUseToRuby"})
    order.push_back(findChild<QWidget*>(n));
  tabOrder_ = order;
}

void TForm2::buildDetailTab(QWidget* page) {
  auto* fill = new QVBoxLayout(page);
  fill->setContentsMargins(0, 0, 0, 0);
  PropGridSetUp = new PropGrid(page);
  PropGridSetUp->setObjectName("PropGridSetUp");
  PropGridSetUp->setBorderSingle(false);
  fill->addWidget(PropGridSetUp);
  FillSetupGrid(PropGridSetUp->model());
  // The rows as tall as the font needs (text at 2 pixels, clipped 1 above the bottom), and
  // the key column as wide as the longest key: the grid's sizes are minimums too.
  const QFontMetrics fm(font());
  PropGridSetUp->SetRowHeight(std::max(PropGridSetUp->model().RowHeight(), fm.height() + 3));
  int keys = PropGridSetUp->model().KeyColWidth();
  for (const SetupGridItem& s : kSetupGridItems)
    keys = std::max(keys, (PropGridSetUp->model().BreakBySection() ? 10 : 0) + 13 + fm.horizontalAdvance(QString::fromUtf8(s.key)) + 2);
  PropGridSetUp->model().SetKeyColWidth(keys);
}

void FillSetupGrid(PropGridModel& m) {
  m.AutoUpdate = true;
  m.BooleanList = {"True", "False"};
  m.YesNoList = {"Yes", "No"};
  m.DropDownCount = 5;
  m.Items().BeginUpdate();
  for (const SetupGridItem& s : kSetupGridItems) {
    PropGridItem& item = m.Items().Add();
    item.SetDisplayName(s.name);
    item.SetSection(s.section);
    item.SetKey(s.key);
    if (s.style == SetupItemStyle::ComboList) {
      item.SetStyle(PropGridStyle::psComboList);
      item.SetPickList(PickListByLetter(s.pickList));
    }
  }
  m.Items().EndUpdate();
  m.SetKeyColWidth(120);
  m.SetBreakBySection(true);
}

UxSpinEdit* TForm2::spin(const char* name) const {
  const int i = SetupSpinIndex(name);
  return i >= 0 ? spins[static_cast<size_t>(i)] : nullptr;
}
QCheckBox* TForm2::check(const char* name) const {
  const int i = SetupCheckIndex(name);
  return i >= 0 ? checks[static_cast<size_t>(i)] : nullptr;
}
ColourCombo* TForm2::colour(const char* name) const {
  const int i = SetupColourIndex(name);
  return i >= 0 ? colourCombos[static_cast<size_t>(i)] : nullptr;
}

void TForm2::set(bool& flag) {
  if (!host_.fillingDialog()) flag = true;
}

void TForm2::clearFlags() { NeedReload = NeedRelayout = NeedReformat = NeedFileListScan = false; }

void TForm2::bindHandlers() {
  for (const char* n : kRelayoutSpins) connect(spin(n), &UxSpinEdit::changed, this, [this] { set(NeedRelayout); });
  for (const char* n : kReformatSpins)
    connect(spin(n), &UxSpinEdit::changed, this, [this] {
      set(NeedRelayout);
      set(NeedReformat);
    });
  auto boxes = [this](const auto& names, bool TForm2::*flag) {
    for (const char* n : names)
      connect(check(n), &QCheckBox::clicked, this, [this, flag] {
        host_.updateSetupDependentControls();
        if (flag) set(this->*flag);
      });
  };
  boxes(kRelayoutChecks, &TForm2::NeedRelayout);
  boxes(kReformatChecks, &TForm2::NeedReformat);
  boxes(kReloadChecks, &TForm2::NeedReload);
  const char* const soundOnly[] = {"CheckBoxUseSound"};
  boxes(soundOnly, static_cast<bool TForm2::*>(nullptr));
  for (size_t i = 0; i < colourCombos.size(); ++i) {
    ColourCombo* box = colourCombos[i];
    const bool client = i >= 2;  // back, paper and shadow colours lay out again
    connect(box, &QComboBox::activated, this, [this, box, client](int index) {
      if (index == box->tag()) return;
      if (client) set(NeedRelayout);
      box->setTag(index);
    });
  }
  for (const char* n : kReformatItems)
    PropGridSetUp->Names(n).OnValueChange = [this](PropGridItem&, const std::string&, const std::string&,
                                                   const std::string&) { set(NeedReformat); };
  PropGridSetUp->Names("ItemBookListExt").OnValueChange =
      [this](PropGridItem&, const std::string&, const std::string&, const std::string&) { set(NeedFileListScan); };

  connect(ComboBoxStyle, &QComboBox::activated, this, [this] { ComboBoxStyleClick(); });
  connect(ButtonStyleSave, &QPushButton::clicked, this, [this] { ButtonStyleSaveClick(); });
  connect(ButtonOK, &QPushButton::clicked, this, [this] { ButtonOKClick(); });
  connect(ButtonCancel, &QPushButton::clicked, this, [this] { ButtonCancelClick(); });
  connect(ButtonApply, &QPushButton::clicked, this, [this] { ButtonApplyClick(); });
  for (UxStaticText* label : pathLabels) {
    connect(label, &UxStaticText::clicked, this, [this, label] { StaticTextClick(label); });
    connect(label, &UxStaticText::entered, this, [label] {
      QPalette p = label->palette();
      p.setColor(QPalette::WindowText, QColor(0, 0, 255));
      label->setPalette(p);
    });
    connect(label, &UxStaticText::exited, this, [label] {
      QPalette p = label->palette();
      p.setColor(QPalette::WindowText, Qt::black);
      label->setPalette(p);
    });
  }
  // Enter applies from every control that takes it.
  std::vector<QObject*> enterTakers;
  for (UxSpinEdit* s : spins) enterTakers.push_back(s);
  for (QCheckBox* c : checks) enterTakers.push_back(c);
  for (ColourCombo* c : colourCombos) enterTakers.push_back(c);
  for (UxStaticText* l : pathLabels) enterTakers.push_back(l);
  for (QComboBox* c : {ComboBoxStyle, ComboBoxFont2ByteName, ComboBoxFont1ByteName}) {
    enterTakers.push_back(c);
    enterTakers.push_back(c->lineEdit());
  }
  for (QObject* o : enterTakers) o->installEventFilter(this);
}

bool TForm2::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(e);
    auto* label = qobject_cast<UxStaticText*>(watched);
    if (label && k->key() == Qt::Key_Space) {
      StaticTextClick(label);
      return true;
    }
    if (IsEnter(k)) {
      ButtonApplyClick();
      return true;
    }
  }
  return QWidget::eventFilter(watched, e);
}

// ---- values ----------------------------------------------------------------------------

void TForm2::setValues(const SetupValues& v) {
  ComboBoxStyle->setEditText(QString::fromStdString(v.styleText));
  for (size_t i = 0; i < checks.size(); ++i) checks[i]->setChecked(v.checks[i]);
  for (size_t i = 0; i < spins.size(); ++i) spins[i]->setValue(v.spins[i]);
  for (size_t i = 0; i < pathLabels.size(); ++i) {
    pathLabels[i]->setFilePath(QString::fromStdString(v.paths[i].filePath));
    pathLabels[i]->setText(QString::fromStdString(v.paths[i].caption));
  }
  ComboBoxFont2ByteName->setEditText(QString::fromStdString(v.font2ByteName));
  ComboBoxFont1ByteName->setEditText(QString::fromStdString(v.font1ByteName));
  for (size_t i = 0; i < colourCombos.size(); ++i) {
    colourCombos[i]->setCurrentIndex(v.colours[i].selected);
    colourCombos[i]->setTag(v.colours[i].tag);
    colourCombos[i]->update();
  }
  shownColours_ = v.colours;
  for (size_t i = 0; i < kSetupGridItems.size(); ++i) PropGridSetUp->Names(kSetupGridItems[i].name).SetValue(v.items[i]);
}

SetupValues TForm2::values() const {
  SetupValues v;
  v.styleText = ComboBoxStyle->currentText().toStdString();
  for (size_t i = 0; i < checks.size(); ++i) v.checks[i] = checks[i]->isChecked();
  for (size_t i = 0; i < spins.size(); ++i) v.spins[i] = spins[i]->value();
  for (size_t i = 0; i < pathLabels.size(); ++i)
    v.paths[i] = {pathLabels[i]->filePath().toStdString(), pathLabels[i]->text().toStdString()};
  v.font2ByteName = ComboBoxFont2ByteName->currentText().toStdString();
  v.font1ByteName = ComboBoxFont1ByteName->currentText().toStdString();
  for (size_t i = 0; i < colourCombos.size(); ++i) {
    SetupColourValue& c = v.colours[i];
    c = shownColours_[i];
    c.selected = colourCombos[i]->currentIndex();
    c.tag = colourCombos[i]->tag();
    c.text = c.selected >= 0 ? colourCombos[i]->itemText(c.selected).toStdString() : std::string();
  }
  for (size_t i = 0; i < kSetupGridItems.size(); ++i) v.items[i] = PropGridSetUp->Names(kSetupGridItems[i].name).Value();
  return v;
}

void TForm2::setControlEnabled(const std::string& name, bool on) {
  if (QWidget* w = findChild<QWidget*>(QString::fromStdString(name))) w->setEnabled(on);
}

void TForm2::colourListsChanged() {
  std::array<int, 5> selected{};
  for (size_t i = 0; i < colourCombos.size(); ++i) selected[i] = colourCombos[i]->currentIndex();
  FillColourModel(*colourCombos[0], colours_);
  for (size_t i = 0; i < colourCombos.size(); ++i) {
    colourCombos[i]->blockSignals(true);
    colourCombos[i]->setCurrentIndex(selected[i] < colourCombos[i]->count() ? selected[i] : -1);
    colourCombos[i]->blockSignals(false);
  }
}

int TForm2::textWidth(const std::string& utf8) const {
  return QFontMetrics(font()).horizontalAdvance(QString::fromStdString(utf8));
}

int TForm2::controlWidth(const std::string& name) const {
  const QWidget* w = findChild<QWidget*>(QString::fromStdString(name));
  return w ? w->width() : 0;
}

void TForm2::setStyleNames(const std::vector<std::string>& names) {
  styleNames_ = names;
  const QString text = ComboBoxStyle->currentText();
  ComboBoxStyle->blockSignals(true);
  ComboBoxStyle->clear();
  for (const std::string& n : names) ComboBoxStyle->addItem(QString::fromStdString(n));
  ComboBoxStyle->setEditText(text);
  ComboBoxStyle->blockSignals(false);
}

// ---- showing and closing -----------------------------------------------------------------

void TForm2::refillFontLists() {
  const FontFamilyLists lists = ListFontFamilies();
  for (QComboBox* box : {ComboBoxFont2ByteName, ComboBoxFont1ByteName}) {
    // Clearing an editable box empties its text: the face shown stays, listed or not.
    const QString shown = box->currentText();
    const bool blocked = box->blockSignals(true);
    box->clear();
    box->addItems(box == ComboBoxFont2ByteName ? lists.vertical : lists.alphanumeric);
    box->setEditText(shown);
    box->blockSignals(blocked);
  }
}

void TForm2::showEvent(QShowEvent* e) {
  const QRect r = ClampToVisibleScreen(QRect(host_.optionWindowPos(), frameGeometry().size()));
  move(r.topLeft());
  refillFontLists();
  setStyleNames(host_.styleNames());
  QWidget::showEvent(e);
  PageControlOption->setCurrentIndex(0);
  ComboBoxStyle->setFocus(Qt::OtherFocusReason);
}

void TForm2::keyPressEvent(QKeyEvent* e) {
  // Esc closes as Cancel does, as a dialog's would.
  if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
    ButtonCancelClick();
    return;
  }
  QWidget::keyPressEvent(e);
}

void TForm2::closeEvent(QCloseEvent* e) {
  host_.optionWindowPos() = pos();
  clearFlags();
  QWidget::closeEvent(e);
}

// ---- buttons ---------------------------------------------------------------------------

void TForm2::ButtonApplyClick() {
  const TYomiraOption before = host_.liveOption();
  host_.applySetupDialog();
  const TYomiraOption& live = host_.liveOption();
  if (NeedFileListScan) {
    const std::string file = host_.currentFileName();
    const std::string folder = ExtractFilePath(file);
    if (!folder.empty()) host_.scanFileList(folder);
  }
  bool reopened = false;
  if (NeedReload) reopened = host_.reopenCurrent(NeedRelayout, -1);
  if (!reopened) {
    if (NeedRelayout || NeedReformat) {
      host_.setMomentaryToggles(live.aut_indent != 0, live.re_wrap != 0, live.toRuby != 0);
      host_.relayout(NeedRelayout, NeedReformat);
    } else if (!(live == before)) {
      // Colours, faces, bold and outlines: redrawn without converting again.
      host_.relayout(false, false);
    }
  }
  host_.showOptionInDialog(host_.liveOption(), nullptr);
  clearFlags();
}

void TForm2::ButtonOKClick() {
  ButtonApplyClick();
  close();
}

void TForm2::ButtonCancelClick() { close(); }

void TForm2::ComboBoxStyleClick() {
  const std::string name = ComboBoxStyle->currentText().toStdString();
  if (!host_.styleExists(name)) return;
  TYomiraOption record;
  if (!host_.loadStyle(name, record)) return;
  // The chosen name stays in the box: Apply makes it the current style.
  host_.showOptionInDialog(record, &name);
  set(NeedRelayout);
  set(NeedReformat);
}

void TForm2::ButtonStyleSaveClick() {
  const std::string name = ComboBoxStyle->currentText().toStdString();
  if (host_.saveStyle(name, values())) setStyleNames(host_.styleNames());
}

void TForm2::StaticTextClick(UxStaticText* label) {
  const bool image = label->objectName() == QLatin1String("StaticTextImagePath");
  const QString filter = QtNameFilters(image ? U("画像ファイル(*.bmp,*.jpg,*.gif,*.png)|*.bmp;*.jpg;*.jpeg;*.gif;*.png")
                                             : U("WAVファイル(*.wav)|*.wav"))
                             .join(QStringLiteral(";;"));
  const std::string current = label->filePath().toStdString();
  label->setFocus(Qt::OtherFocusReason);
  const std::optional<std::string> chosen = pickFile(filter, IsRegularFile(current) ? current : std::string());
  if (!chosen) return;
  label->setFilePath(QString::fromStdString(*chosen));
  label->setText(QString::fromStdString(
      FitParenText(FileNamePart(*chosen), label->width() - 4, [this](const std::string& t) { return textWidth(t); })));
  if (image) set(NeedRelayout);
}

void TForm2::PropGridSetUpItemEditExeNeedValue(std::string& value) {
  const std::optional<std::string> chosen = pickFile(U("実行ファイル (*)"), value);
  if (!chosen) return;
  const QFileInfo info(QString::fromStdString(*chosen));
  const QString self = QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
  const bool program = info.isFile() && info.isExecutable() && info.canonicalFilePath() != self;
  value = program ? *chosen : std::string();
}

}  // namespace yomira
