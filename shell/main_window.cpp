#include "shell/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QWindowStateChangeEvent>

#include <cstdio>

#include "platform/datafolder.h"
#include "platform/file/file_ops.h"
#include "platform/shell_env.h"
#include "resources/ui/ui_glyphs.h"
#include "shell/help_location.h"
#include "ui/key_dispatcher.h"
#include "ui/menu_proxy.h"
#include "ui/guard.h"
#include "sources/codepage.h"
#include "sources/history.h"
#include "sources/picture.h"
#include "windows/controls/window_util.h"
#include "windows/controls/hint_window.h"
#include "platform/path/path_parts.h"
#include "platform/qt_text.h"

namespace yomira {
namespace {

constexpr int kBaseWidth = 209;
constexpr int kBaseHeight = 113;
constexpr int kBarHeight = 20;
constexpr QRgb kFaceColour = 0xF0F0F0;


void SetBackground(QWidget* w, QColor c) {
  QPalette pal = w->palette();
  pal.setColor(QPalette::Window, c);
  w->setPalette(pal);
  w->setAutoFillBackground(true);
}

QToolButton* MakeButton(QWidget* parent, const char* name, int x, ButtonGlyph glyph) {
  auto* b = new QToolButton(parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setAutoRaise(true);
  b->setFocusPolicy(Qt::NoFocus);
  b->setGeometry(x, 1, 18, 18);
  QIcon icon;
  icon.addPixmap(QPixmap::fromImage(ButtonGlyphImage(glyph, true)), QIcon::Normal);
  icon.addPixmap(QPixmap::fromImage(ButtonGlyphImage(glyph, false)), QIcon::Disabled);
  b->setIcon(icon);
  b->setIconSize(QSize(12, 12));
  return b;
}

}  // namespace

std::string MainCaption(const std::string& title) { return "[" + title + "] - yomira"; }

std::vector<std::string> TemporaryFileNames() { return {"yomira.html", "yomira_web.html", "yomira_web.txt"}; }

// ---------------------------------------------------------------- panels

Panel::Panel(QWidget* parent, const char* name) : QWidget(parent) { setObjectName(QString::fromLatin1(name)); }

void Panel::setColor(QColor c) { SetBackground(this, c); }

void Panel::mousePressEvent(QMouseEvent* e) { e->accept(); }
void Panel::mouseDoubleClickEvent(QMouseEvent* e) { e->accept(); }

ImageView::ImageView(QWidget* parent) : Panel(parent, "ImageView") {}

void ImageView::setPicture(const QImage& picture) {
  picture_ = picture;
  update();
}

void ImageView::paintEvent(QPaintEvent*) {
  if (picture_.isNull()) return;
  QPainter p(this);
  p.drawImage(0, 0, picture_);
}

// One binding per press: the second press of a quick pair is a press of its own.
void ImageView::mousePressEvent(QMouseEvent* e) {
  e->accept();
  if (onPress) onPress(e->button(), e->modifiers(), e->position().toPoint());
}
void ImageView::mouseDoubleClickEvent(QMouseEvent* e) { mousePressEvent(e); }

void ImageView::mouseMoveEvent(QMouseEvent* e) {
  if (onMove) onMove(e->position().toPoint());
}

void ImageView::leaveEvent(QEvent*) {
  if (onLeave) onLeave();
}

// ---------------------------------------------------------------- creation

TForm1::TForm1(Setup setup)
    : env_(setup.env),
      args_(std::move(setup.args)),
      receiver_(setup.receiver),
      dataFolder_(std::move(setup.dataFolder)),
      makeBook_(std::move(setup.makeBook)),
      programFolder_(std::move(setup.programFolder)),
      helpUrl_(setup.helpUrl ? *setup.helpUrl : OnlineHelpAddress(YOMIRA_HELP_URL, ReadmePath())) {
  setObjectName(QStringLiteral("Form1"));
  setAttribute(Qt::WA_DeleteOnClose, false);
  buildWidgets();
  buildActions();
  renderer_ = std::make_unique<Renderer>(Engine_.option, static_cast<RenderHost&>(*this));
  stages_ = std::make_unique<EngineStages>(Engine_, *renderer_);
  engine_ = std::make_unique<Engine>(Engine_, static_cast<EngineHost&>(*this), *stages_);
  sources_ = std::make_unique<DocumentSources>(
      SourcesFields{SourceLines_, RecentFiles, Filters, ActiveFilter, PendingRate, DocumentCodePage, HtmlImported,
                    LaidOut, DocumentLoaded, Loading, StartParams, Option},
      static_cast<SourcesHost&>(*this));
  sources_->RunFilter = MakeFilterRunner();
  CreateWebFetch();
  htmlImport_ = std::make_unique<HtmlImport>(PageLinks, [this] { ClearPageLinks(); }, Option,
                                             static_cast<SourcesHost&>(*this));
  sources_->ImportHtml = [this](std::vector<std::string>& lines, TFileItem& item, bool parse, bool collectLinks) {
    htmlImport_->ImportHtml(lines, item, parse, collectLinks);
  };
  startedOk_ = FormCreate();
}

TForm1::~TForm1() { FormDestroy(); }

std::string TForm1::DataFilePath(const std::string& name) const {
  return dataFolder_.empty() ? name : dataFolder_ + "/" + name;
}

void TForm1::buildWidgets() {
  QFont font(QStringLiteral("IPAexGothic"));
  font.setPixelSize(12);
  setFont(font);
  QPalette pal = palette();
  pal.setColor(QPalette::WindowText, Qt::black);
  setPalette(pal);

  PanelBase = new Panel(this, "PanelBase");
  PanelBase->setGeometry(0, 0, kBaseWidth, kBaseHeight);
  PanelBase->setColor(Qt::white);

  PanelView = new Panel(PanelBase, "PanelView");
  PanelView->setGeometry(0, 0, kBaseWidth, kBaseHeight - kBarHeight);
  ImageView_ = new ImageView(PanelView);
  ImageView_->setGeometry(PanelView->rect());

  PanelStartUp = new Panel(PanelView, "PanelStartUp");
  PanelStartUp->setGeometry(PanelView->rect());
  PanelStartUp->setColor(QColor(kFaceColour));
  ImageIcon = new QLabel(PanelStartUp);
  ImageIcon->setObjectName(QStringLiteral("ImageIcon"));
  ImageIcon->setPixmap(QPixmap::fromImage(AppIconImage()));
  ImageIcon->setAttribute(Qt::WA_TransparentForMouseEvents);
  ImageEasterEgg = new QLabel(PanelStartUp);
  ImageEasterEgg->setObjectName(QStringLiteral("ImageEasterEgg"));
  ImageEasterEgg->setPixmap(QPixmap::fromImage(AppIconImage().mirrored(true, false)));
  ImageEasterEgg->setToolTip(QStringLiteral("yomira"));
  ImageEasterEgg->hide();
  LabelVersion = new QLabel(QStringLiteral("yomira 1.62"), PanelStartUp);
  LabelVersion->setObjectName(QStringLiteral("LabelVersion"));
  LabelVersion->setAttribute(Qt::WA_TransparentForMouseEvents);
  LabelVersion->setAlignment(Qt::AlignCenter);

  PanelBottomBase = new Panel(PanelBase, "PanelBottomBase");
  PanelBottomBase->setGeometry(0, kBaseHeight - kBarHeight, kBaseWidth, kBarHeight);
  PanelBottomBase->setColor(QColor(kFaceColour));
  PanelBottomText = new Panel(PanelBottomBase, "PanelBottomText");
  PanelBottomText->setGeometry(0, 0, 70, kBarHeight);
  LabelPage = new QLabel(PanelBottomText);
  LabelPage->setObjectName(QStringLiteral("LabelPage"));
  LabelPage->setAlignment(Qt::AlignCenter);
  LabelPage->setGeometry(0, 0, 70, kBarHeight);
  LabelPage->setAttribute(Qt::WA_TransparentForMouseEvents);
  PanelBottomCenter = new Panel(PanelBottomBase, "PanelBottomCenter");
  PanelBottomCenter->setGeometry(70, 0, kBaseWidth - 140, kBarHeight);
  UxTrackBarPage = new PageSlider(*this, actions_, PanelBottomCenter);
  UxTrackBarPage->setGeometry(PanelBottomCenter->rect());
  ProgressBarPage = new QProgressBar(PanelBottomCenter);
  ProgressBarPage->setObjectName(QStringLiteral("ProgressBarPage"));
  ProgressBarPage->setRange(0, 100);
  ProgressBarPage->setTextVisible(false);
  ProgressBarPage->setGeometry(PanelBottomCenter->rect());
  ProgressBarPage->hide();
  PanelBottomMenu = new Panel(PanelBottomBase, "PanelBottomMenu");
  PanelBottomMenu->setGeometry(kBaseWidth - 70, 0, 70, kBarHeight);
  SpeedButtonMenu = MakeButton(PanelBottomMenu, "SpeedButtonMenu", 1, ButtonGlyph::Menu);
  SpeedButtonNext = MakeButton(PanelBottomMenu, "SpeedButtonNext", 21, ButtonGlyph::Next);
  SpeedButtonBack = MakeButton(PanelBottomMenu, "SpeedButtonBack", 41, ButtonGlyph::Back);
  SpeedButtonNext->setEnabled(false);
  SpeedButtonBack->setEnabled(false);

  for (Panel* p : {PanelStartUp, PanelBottomText, PanelBottomMenu}) {
    p->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(p, &QWidget::customContextMenuRequested, this, [this] { popupMainAt(QCursor::pos()); });
  }
  connect(SpeedButtonMenu, &QToolButton::clicked, this, [this] { guarded([this] { SpeedButtonMenuClick(); }); });
  setAcceptDrops(true);
}

void TForm1::bindAction(const char* name, void (TForm1::*fn)(QObject*)) {
  actions_.at(name).handler = [this, fn](QObject* sender) { (this->*fn)(sender); };
}

void TForm1::buildActions() {
  bindAction("ActionExit", &TForm1::ActionExitExecute);
  bindAction("ActionWindowPopUp", &TForm1::ActionWindowPopUpExecute);
  bindAction("ActionOptionFullScreen", &TForm1::ActionOptionFullScreenExecute);
  bindAction("ActionBook", &TForm1::ActionBookExecute);
  bindAction("ActionFileRecent0", static_cast<void (TForm1::*)(QObject*)>(&TForm1::ActionFileRecent0Execute));
  bindAction("ActionOptionSetup", &TForm1::ActionOptionSetupExecute);
  bindAction("ActionOptionTools", &TForm1::ActionOptionToolsExecute);
  bindPageActions();
  bindInputBindings();
  bindWindowResize();
  bindLayoutSteps();
  // The start-up and book toggles only invert their check.
  for (const char* name : {"ActionOptionCreateFileOpen", "ActionOptionCreateBook", "ActionOptionBookAutoOpen",
                           "ActionOptionBookAutoClose"}) {
    Action* a = &actions_.at(name);
    a->handler = [a](QObject*) { a->checked = !a->checked; };
  }
  keys_ = new KeyDispatcher(this, actions_, {kListMain, kListTool});
  actions_.onCodesChanged = [this] {
    keys_->rebuild();
    menu_.mirrorAll();
    if (book_) book_->rebuildKeys();
  };
  menu_ = BuildMainMenu(actions_, this);
  bindTextReviseActions();
  bindFileActions();
  bindWindowActions();
  // Without an address there is no online help entry.
  actions_.at("ActionHelpOnlineHelp").visible = !helpUrl_.empty();
  static_cast<MenuProxy*>(menu_.items.at("MenuHelpOnlineHelp"))->setCaptionOverride(QStringLiteral("&online Help"));
  connect(menu_.recent[0], &QAction::triggered, this,
          [this] { guarded([this] { ActionFileRecent0Execute(menu_.recent[0]); }); });
  for (int i = 1; i < kRecentMenuCount; ++i)
    connect(menu_.recent[i], &QAction::triggered, this, [this, i] { guarded([this, i] { sources_->RecentMenuClick(i); }); });
}

bool TForm1::FormCreate() {
  // 1. Fields and the hint window (an info-coloured box of its own).
  HintWidth = kBaseWidth;
  HintWindow_ = new HintWindow(this);
  // 2. Settings.
  store_ = std::make_unique<SettingsStore>(dataFolder_, dataFolder_);
  SettingsStore::Loaded loaded = store_->load();
  ApplySettings(loaded.model);
  LoadTurnSound(Option);
  SyncTextReviseMenu(Option);
  UpdateRecentMenu();
  BuildOpenFilter();
  BuildToolActions();
  BuildFilterActions();
  ScanStyles();
  for (const std::string& m : loaded.messages) ShowMessage(m);
  // 3. Caption, colour, the fixed size until the first layout.
  setWindowTitle(QStringLiteral("yomira"));
  SetBackground(this, Qt::black);
  setFixedSize(kBaseWidth, kBaseHeight);
  KeepOnScreen();  // a saved position may lie off every screen
  // 4. The start-up panel: icon and version centred.
  ImageIcon->adjustSize();
  const int iconLeft = (PanelView->width() - ImageIcon->width()) / 2;
  ImageIcon->move(iconLeft, 18);
  ImageEasterEgg->setGeometry(ImageIcon->geometry());
  LabelVersion->adjustSize();
  LabelVersion->move((PanelView->width() - LabelVersion->width()) / 2, ImageIcon->geometry().bottom() + 8);
  // 5. The application-wide hook (side buttons).
  qApp->installEventFilter(appHook_.get());
  // 6. The command line, once.
  bool ok = true;
  if (!session_.startupArgumentsDone) {
    session_.startupArgumentsDone = true;
    // An exception in the start-up open is shown; the window still starts.
    guarded([&] { ok = RunStartupArguments(args_, *this); });
  }
  // 7. The book window exists only after the start-up open.
  if (makeBook_) book_ = makeBook_(*this);
  if (!book_) book_ = MakeBookWindow(*this);
  return ok;
}

void TForm1::ApplySettings(const SettingsModel& m) {
  NormalPos = QPoint(m.mainPos.x, m.mainPos.y);
  move(NormalPos);
  StyleName = m.styleName;
  BookRect = QRect(m.bookRect.x, m.bookRect.y, m.bookRect.w, m.bookRect.h);
  BookRectSaved = m.bookRectSaved;
  DialogRect = QRect(m.dialogRect.x, m.dialogRect.y, m.dialogRect.w, m.dialogRect.h);
  OptionWindowPos = QPoint(m.optionWindowPos.x, m.optionWindowPos.y);
  const SettingsChecks& c = m.checks;
  checksKept_ = c;
  auto check = [this](const char* name, bool on) { actions_.at(name).checked = on; };
  check("ActionOptionCreateFileOpen", c.restart);
  check("ActionOptionCreateBook", c.aut_open);
  check("ActionOptionBookAutoOpen", c.auto_file);
  check("ActionOptionBookStayOnTop", c.topmost);
  check("ActionOptionBookAutoClose", c.aut_close);
  check("ActionBookTextIndex", c.list_text);
  check("ActionFileListOrderUp", c.OrderUp);
  check("ActionFileListOrderDown", c.OrderDown);
  check("ActionFileListOrderName", c.OrderName);
  check("ActionFileListOrderExt", c.OrderExt);
  check("ActionFileListOrderTime", c.OrderTime);
  check("ActionLinkListSameDomain", c.SameDomain);
  RecentFiles.clear();
  for (const auto& e : m.history) RecentFiles.push_back(std::make_unique<TFileItem>(*e));
  Option = m.option;
  Tools = m.tools;
  Filters = m.filters;
  actions_.applyShortcuts(m.shortcuts);
}

SettingsModel TForm1::CollectSettings() const {
  SettingsModel m = SettingsModel::Initial();
  m.mainPos = {NormalPos.x(), NormalPos.y()};
  m.styleName = StyleName;
  m.bookRect = {BookRect.x(), BookRect.y(), BookRect.width(), BookRect.height()};
  m.dialogRect = {DialogRect.x(), DialogRect.y(), DialogRect.width(), DialogRect.height()};
  m.optionWindowPos = {OptionWindowPos.x(), OptionWindowPos.y()};
  SettingsChecks c = checksKept_;
  auto checked = [this](const char* name) { return actions_.find(name)->checked; };
  c.restart = checked("ActionOptionCreateFileOpen");
  c.aut_open = checked("ActionOptionCreateBook");
  c.auto_file = checked("ActionOptionBookAutoOpen");
  c.topmost = checked("ActionOptionBookStayOnTop");
  c.aut_close = checked("ActionOptionBookAutoClose");
  c.list_text = checked("ActionBookTextIndex");
  c.OrderUp = checked("ActionFileListOrderUp");
  c.OrderDown = checked("ActionFileListOrderDown");
  c.OrderName = checked("ActionFileListOrderName");
  c.OrderExt = checked("ActionFileListOrderExt");
  c.OrderTime = checked("ActionFileListOrderTime");
  c.SameDomain = checked("ActionLinkListSameDomain");
  m.checks = c;
  for (const auto& e : RecentFiles) m.history.push_back(std::make_unique<TFileItem>(*e));
  m.option = Option;
  m.shortcuts = actions_.shortcuts();
  m.tools = Tools;
  m.filters = Filters;
  return m;
}

// ---------------------------------------------------------------- life cycle

void TForm1::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  if (e->spontaneous()) return;
  guarded([this] { FormShow(); });
}

void TForm1::FormShow() {
  const bool first = !shownOnce_;
  shownOnce_ = true;
  if (!first) return;
  // Frames of other starts wait until the window is there.
  if (receiver_) receiver_->release();
  if (actions_.at("ActionOptionCreateBook").checked) ActionBookExecute(this);
}

void TForm1::changeEvent(QEvent* e) {
  QWidget::changeEvent(e);
  if (e->type() == QEvent::ActivationChange) {
    if (isActiveWindow()) FormActivate();
    else FormDeactivate();
  } else if (e->type() == QEvent::WindowStateChange) {
    // D9: the window has no maximised state; a maximise request toggles full screen.
    if (windowState() & Qt::WindowMaximized) {
      setWindowState(windowState() & ~Qt::WindowMaximized);
      showNormal();
      // The platform may echo the request while we revert it: one request, one toggle.
      if (!maximisePending_) {
        maximisePending_ = true;
        QTimer::singleShot(50, this, [this] {
          maximisePending_ = false;
          guarded([this] { ActionOptionFullScreenExecute(this); });
        });
      }
    }
  }
}

// Either window's activation computes both scopes, so the order of the two events between
// the main and the book window does not matter.
void TForm1::FormActivate() { EnableActions(isActiveWindow(), BookActive()); }

void TForm1::FormDeactivate() {
  hideHint();
  EnableActions(isActiveWindow(), BookActive());
}

bool TForm1::BookActive() {
  QWidget* w = book_ ? book_->widget() : nullptr;
  return w && w->isActiveWindow();
}

void TForm1::EnableActions(bool main, bool book) { actions_.EnableActions(main, book); }

void TForm1::closeEvent(QCloseEvent* e) {
  guarded([this] { FormClose(); });
  e->accept();
  QApplication::quit();
}

void TForm1::FormClose() {
  if (closed_) return;
  closed_ = true;
  if (book_) book_->close();
  WriteSettingsNow();
  // A play may still read the bytes: stop it before they go.
  env_->stopSound();
  TurnSound.clear();
  env_->setTurnSound({});
}

void TForm1::WriteSettingsNow() {
  if (!isFullScreen()) NormalPos = pos();
  // Both files are attempted and what failed is said; a close goes on all the same.
  std::vector<std::string> messages;
  guarded([&] { messages = store_->save(CollectSettings()); });
  for (const std::string& m : messages) ShowMessage(m);
}

void TForm1::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  if (appHook_) qApp->removeEventFilter(appHook_.get());
  // The book window works on our lists: it goes first.
  book_.reset();
  for (const std::string& name : TemporaryFileNames()) {
    QFile::remove(QFile::decodeName(QByteArray::fromStdString(DataFilePath(name))));
  }
  yomira::ClearDisplayLines(DisplayLines_);
  LinkList.clear();
  PageLinks.clear();
  RecentFiles.clear();
  BookMarks.clear();
  FileList.clear();
  Tools.clear();
  Filters.clear();
}

// ---------------------------------------------------------------- input

void TForm1::mousePressEvent(QMouseEvent* e) {
  // Only presses aimed at the window itself: the panels keep theirs.
  if (e->button() == Qt::RightButton) guarded([this] { ActionWindowPopUpExecute(this); });
  e->accept();
}

void TForm1::mouseDoubleClickEvent(QMouseEvent* e) {
  guarded([this] { ActionOptionFullScreenExecute(this); });
  e->accept();
}

void TForm1::dragEnterEvent(QDragEnterEvent* e) {
  if (e->mimeData()->hasUrls()) e->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* e) {
  std::vector<std::string> paths;
  for (const QUrl& u : e->mimeData()->urls())
    if (u.isLocalFile()) paths.push_back(QFile::encodeName(u.toLocalFile()).toStdString());
  e->acceptProposedAction();
  guarded([&] { WMDropFiles(paths); });
}

void TForm1::popupMainAt(QPoint global) {
  guarded([&] { menu_.menu->popup(global); });
}

void TForm1::SpeedButtonMenuClick() { popupMainAt(SpeedButtonMenu->mapToGlobal(QPoint(SpeedButtonMenu->width(), 0))); }

void TForm1::ActionExitExecute(QObject*) { close(); }

void TForm1::ActionWindowPopUpExecute(QObject*) { popupMainAt(QCursor::pos()); }

void TForm1::ActionBookExecute(QObject*) {
  if (!book_) return;
  // The book window lists the current document's folder.
  const std::string folder = ExtractFilePath(GetCurrentFileName(RecentFiles));
  if (IsExistingDirectory(folder)) book_->scanFileList(folder, true, true);
  book_->show();
}

void TForm1::UpdateRecentMenu() {
  const auto items = RecentMenuItems(RecentFiles);
  for (int i = 0; i < kRecentMenuCount && i < static_cast<int>(items.size()); ++i) {
    if (i > 0) menu_.recent[i]->setText(Q(items[i].caption));
    else menu_.recent[0]->setText(items[0].visible ? Q(items[0].caption)
                                                   : Q(actions_.at("ActionFileRecent0").caption));
    menu_.recent[i]->setVisible(i == 0 || items[i].visible);
  }
}

// ---------------------------------------------------------------- documents

void TForm1::ActionFileRecent0Execute(QObject*) {
  if (RecentFiles.empty() || !RecentFiles.front()) return;
  if (GetCurrentFileName(RecentFiles).empty()) return;
  const bool laidOut = IsLaidOut();
  PendingRate = laidOut ? -2 : -1;
  // A copy: opening moves history entries around and frees them.
  const TFileItem entry = *RecentFiles.front();
  if (entry.Kind == fkWeb) {
    OpenUrl(entry.GetLocation(), entry.Rate);
  } else if (entry.Kind == fkLocalFile) {
    // A reload keeps the code page the document was opened with, a code page chosen by
    // "開き直す" too, rather than detecting it again: deliberate, a code page forced by hand
    // is the one the reader wants again when the file is re-read.
    const int charCode = laidOut ? static_cast<int>(CharCodeFromCodePage(DocumentCodePage)) : 0;
    sources_->OpenFileItem(entry, false, -1, charCode, true, true);
  } else {
    return;
  }
  if (book_ && book_->everShown() && actions_.at("ActionBookTextIndex").checked) book_->makeTextIndex();
  if (book_ && book_->isVisible()) book_->tabControlBookChange();
}

void TForm1::ResetStartParams() { StartParams.Reset(); }
int TForm1::StartFilter() const { return StartParams.StartFilter; }
int TForm1::StartCharCode() const { return StartParams.StartCharCode; }
bool TForm1::ReopenAtStart() const {
  const Action* reopen = actions_.find("ActionOptionCreateFileOpen");
  return reopen && reopen->checked;
}

void TForm1::OpenFileItem(const std::string& path, bool force, int filter, int charCode, bool keepBookSel,
                          bool rebuild) {
  TFileItem entry;
  entry.Kind = fkLocalFile;
  entry.Path = path;
  sources_->OpenFileItem(entry, force, filter, charCode, keepBookSel, rebuild);
}

void TForm1::OpenDirectory(const std::string& folder, int charCode, int filter) {
  sources_->OpenDirectory(folder, charCode, filter);
}

// The web fetch comes later: until then no page opens.
bool TForm1::OpenUrl(const std::string& url, int rate) { return sources_->OpenUrl && sources_->OpenUrl(url, rate); }

void TForm1::ParseParam(const std::string& arg) { sources_->ParseParam(arg); }

void TForm1::WMCopyData(const std::string& text) { sources_->WMCopyData(text); }

void TForm1::WMDropFiles(const std::vector<std::string>& paths) { sources_->WMDropFiles(paths); }

// ---------------------------------------------------------------- hosts

void TForm1::ShowMessage(const std::string& text) { env_->showMessage(this, text); }

void TForm1::Relayout(bool force, bool rebuild) {
  // The caption of a text without a title block is its file name.
  const std::string current = GetCurrentFileName(RecentFiles);
  Engine_.documentName = FileNamePart(current);
  Engine_.switches.htmlImported = HtmlImported;
  ++layoutGeneration_;
  // Only the relayouts that keep the place hand one on.
  if (!keepingPlace_) session_.ForgetPlace();
  engine_->Relayout(force, rebuild);
}

void TForm1::RelayoutKeepingPlace(bool geometry, bool rebuild) {
  const std::optional<SourcePlace> place = session_.PlaceToKeep();
  if (place) {
    Engine_.pendingPlace = place;
    PendingRate = -1;
  }
  struct Scope {
    TForm1& f;
    ~Scope() {
      f.keepingPlace_ = false;
      f.Engine_.pendingPlace.reset();
    }
  } scope{*this};
  keepingPlace_ = true;
  Relayout(geometry, rebuild);
  if (place && IsLaidOut()) session_.KeepPlace(*place);
}

void TForm1::ClearDisplayLines() {
  ++layoutGeneration_;
  session_.ForgetPlace();
  yomira::ClearDisplayLines(DisplayLines_);
}

void TForm1::ForceForeground() {
  raise();
  activateWindow();
}

bool TForm1::IsFullScreen() { return session_.fullScreen; }

void TForm1::ExecuteFullScreen() { ActionOptionFullScreenExecute(this); }

void TForm1::SetMomentaryToggles(bool autIndent, bool reWrap, bool toRuby) {
  // The switches are the document's; the checks show them.
  Engine_.switches.autoIndent = autIndent;
  Engine_.switches.reWrap = reWrap;
  Engine_.switches.toRuby = toRuby;
  actions_.at("ActionMomentaryAutoIndent").checked = autIndent;
  actions_.at("ActionMomentaryReWrap").checked = reWrap;
  actions_.at("ActionMomentaryToRuby").checked = toRuby;
  menu_.mirrorAll();
}

FileListOrder TForm1::GetFileListOrder() {
  FileListOrder o;
  o.OrderUp = actions_.at("ActionFileListOrderUp").checked;
  o.OrderName = actions_.at("ActionFileListOrderName").checked;
  o.OrderExt = actions_.at("ActionFileListOrderExt").checked;
  o.OrderTime = actions_.at("ActionFileListOrderTime").checked;
  return o;
}

void TForm1::ScanFileList(const std::string& folder) {
  if (book_) book_->scanFileList(folder, false);
}

void TForm1::RefreshBookTab() {
  if (book_) book_->tabControlBookChange();
}

void TForm1::hideStartUpPanel() { PanelStartUp->hide(); }

void TForm1::enablePageButtons() {
  SpeedButtonNext->setEnabled(true);
  SpeedButtonBack->setEnabled(true);
}

void TForm1::setCaption(const std::string& titleUtf8) { setWindowTitle(Q(MainCaption(titleUtf8))); }

void TForm1::ApplyParamPosition(int& currentPage) {
  sources_->ApplyParamPosition(currentPage, DisplayLines_);
  StartParams.Reset();
}

QImage TForm1::loadPicture(const std::string& pathUtf8) {
  QImage img;
  if (!LoadPicture(pathUtf8, img)) return QImage();
  return img;
}

QImage TForm1::loadResourcePicture(const std::string& name, const std::string& type) {
  QImage img;
  if (!LoadResourcePicture(name, type, img)) return QImage();
  return img;
}

void TForm1::setBottomBars(const QImage& slider, const QImage& text, const QImage& menu) {
  auto paint = [](QWidget* w, const QImage& img) {
    if (img.isNull()) return;
    QPalette pal = w->palette();
    pal.setBrush(QPalette::Window, QBrush(img));
    w->setPalette(pal);
    w->setAutoFillBackground(true);
  };
  SliderBitmap = slider;
  paint(PanelBottomCenter, slider);
  paint(PanelBottomText, text);
  paint(PanelBottomMenu, menu);
  paint(PanelBottomBase, text);
}

void TForm1::setPageLabelColour(QRgb colour) {
  QPalette pal = LabelPage->palette();
  pal.setColor(QPalette::WindowText, QColor(colour));
  LabelPage->setPalette(pal);
}

void TForm1::applyPanelLayout(const PanelLayout& l) {
  if (l.clearConstraints) {
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  }
  const int w = static_cast<int>(std::min<int64_t>(l.baseWidth, QWIDGETSIZE_MAX));
  const int h = static_cast<int>(std::min<int64_t>(l.baseHeight, QWIDGETSIZE_MAX));
  const int bar = PanelLayout::kBottomBarHeight;
  PanelBase->setGeometry(static_cast<int>(l.baseLeft), static_cast<int>(l.baseTop), w, h);
  PanelView->setGeometry(0, 0, w, std::max(0, h - bar));
  ImageView_->setGeometry(PanelView->rect());
  PanelStartUp->setGeometry(PanelView->rect());
  PanelBottomBase->setGeometry(0, std::max(0, h - bar), w, bar);
  PanelBottomText->setGeometry(0, 0, static_cast<int>(l.bottomTextWidth), bar);
  const int center = static_cast<int>(std::min<int64_t>(l.bottomCenterWidth, QWIDGETSIZE_MAX));
  PanelBottomCenter->setGeometry(static_cast<int>(l.bottomTextWidth), 0, center, bar);
  UxTrackBarPage->setGeometry(PanelBottomCenter->rect());
  ProgressBarPage->setGeometry(PanelBottomCenter->rect());
  PanelBottomMenu->setGeometry(std::max(0, w - static_cast<int>(l.bottomMenuWidth)), 0,
                               static_cast<int>(l.bottomMenuWidth), bar);
  HintWidth = l.HintWidth;
  if (l.setClientSize) {
    fitSize_ = QSize(static_cast<int>(std::min<int64_t>(l.clientWidth, QWIDGETSIZE_MAX)),
                     static_cast<int>(std::min<int64_t>(l.clientHeight, QWIDGETSIZE_MAX)));
    fitting_ = true;
    resize(fitSize_);
    fitting_ = false;
    fitClock_.start();
    KeepOnScreen();  // a larger layout may reach past the screen's edge
  }
}

void TForm1::KeepOnScreen() {
  if (IsFullScreen() || (windowState() & Qt::WindowFullScreen)) return;
  // pos() is the frame's corner; the frame's size counts once the window manager framed it.
  const QRect frame(pos(), frameGeometry().size());
  const QPoint to = ClampToVisibleScreen(frame).topLeft();
  if (to != pos()) move(to);
}

QSize TForm1::screenSize() {
  const QScreen* s = screen();
  return s ? s->size() : QSize(1280, 1024);
}

QPoint TForm1::mapToScreen(QPoint imagePoint) { return ImageView_->mapToGlobal(imagePoint); }

void TForm1::setHistoryPosition(int32_t rate) { SetHistoryPosition(RecentFiles, 0, rate); }

std::string TForm1::currentFileName() { return GetCurrentFileName(RecentFiles); }

}  // namespace yomira
