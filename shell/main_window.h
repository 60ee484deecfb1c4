// The main window, TForm1: it owns the program's state (option record, document lines,
// display lines, history, bookmarks, tools), shows the page picture with the bottom bar,
// and runs the start-up, the close and the destruction in their order.
#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/core/EngineHost.h"
#include "engine/core/display_line.h"
#include "engine/core/engine.h"
#include "engine/core/option.h"
#include "engine/render/EngineStages.h"
#include "engine/render/RenderHost.h"
#include "engine/render/Renderer.h"
#include "platform/single_instance.h"
#include "sources/document_sources.h"
#include "sources/sources_host.h"
#include "sources/start_params.h"
#include "ui/action.h"
#include "shell/main_menu.h"
#include "shell/book_port.h"
#include "shell/page_slider.h"
#include "shell/reader_session.h"
#include "shell/setup_dialog_port.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "shell/style_store.h"
#include "sources/file_item.h"
#include "sources/html_import.h"
#include "sources/tool_item.h"
#include "sources/web_fetch.h"
#include "windows/url_dialog.h"

class QAction;
class QActionGroup;
class QLabel;
class QProgressBar;
class QTimer;
class QSlider;
class QToolButton;

namespace yomira {

class HintWindow;
class KeyDispatcher;
class ShellEnv;
class TOpenDialogEx;

// A plain area that keeps its mouse presses, so they never reach the window's own handler.
class Panel : public QWidget {
 public:
  explicit Panel(QWidget* parent, const char* name);
  void setColor(QColor c);

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
};

// The page image: paints the picture at its top left and hands its presses (the second of
// a double click too) and its mouse moves to the window.
class ImageView : public Panel {
 public:
  explicit ImageView(QWidget* parent);
  void setPicture(const QImage& picture);
  const QImage& picture() const { return picture_; }
  // The page-turn frames paint into the picture in place, then repaint what they changed.
  QImage& picture() { return picture_; }

  std::function<void(Qt::MouseButton, Qt::KeyboardModifiers, QPoint)> onPress;
  std::function<void(QPoint)> onMove;
  std::function<void()> onLeave;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void leaveEvent(QEvent* e) override;

 private:
  QImage picture_;
};

class TForm1 : public QWidget,
               public StartupOps,
               public EngineHost,
               public RenderHost,
               public SourcesHost,
               public PageSliderHost,
               public WebHost,
               public UrlDialogHost {
 public:
  struct Setup {
    ShellEnv* env = nullptr;                      // required
    std::vector<std::string> args;                // command-line arguments (8-bit file names)
    ForwardReceiver* receiver = nullptr;          // frames of other starts; may be null
    std::string dataFolder;                       // settings are loaded from and saved to it
    // Makes the book window; empty: the real one (tests hand in stand-ins).
    std::function<std::unique_ptr<BookWindowPort>(TForm1&)> makeBook;
    // The folder readme.txt is looked for in when the program is not installed; empty: the
    // program's own folder.
    std::string programFolder;
    // The online help address; unset: the one the program was built with. Empty: no help entry.
    std::optional<std::string> helpUrl;
  };
  explicit TForm1(Setup setup);
  ~TForm1() override;

  // False when a start-up URL failed: the window must not be shown.
  bool startedOk() const { return startedOk_; }

  // The reader's state (the option record, the document and display lines, the view): the
  // window shows it and forwards to it; tests set a document's state up through it.
  ReaderSession& session() { return session_; }
  const ReaderSession& session() const { return session_; }

  // --- what the window holds, read-only ---
  const FileItemList& recentFiles() const { return RecentFiles; }  // the current document first
  const FileItemList& bookMarks() const { return BookMarks; }
  const FileItemList& fileList() const { return FileList; }
  const FileItemList& pageLinks() const { return PageLinks; }
  const std::vector<int>& linkList() const { return LinkList; }
  int activeFilter() const { return ActiveFilter; }
  int documentCodePage() const { return DocumentCodePage; }
  bool htmlImported() const { return HtmlImported; }
  bool loading() const { return Loading; }
  // True while the settings dialog is being filled (its change signals are not the user's).
  bool fillingDialog() const { return FillingDialog; }
  const std::string& turnSound() const { return TurnSound; }  // the loaded sound file's bytes
  const std::string& styleName() const { return StyleName; }
  const std::vector<std::string>& styleNames() const { return StyleNames; }
  QRect dialogRect() const { return DialogRect; }
  const QImage& sliderSkin() const { return SliderBitmap; }
  // The page turn: its kind, its frame counter and its frame count; whether it runs.
  int turnKind() const { return TurnKind; }
  int turnStep() const { return TurnStep; }
  int turnFrames() const { return TurnFrames; }
  bool turnRunning() const;

  // Makes a settings model live as the start-up load does: the window places, the checks, the
  // history, the option record, the shortcuts and the tools (menus are not rebuilt).
  void ApplySettings(const SettingsModel& m);

  ActionCatalogue& actions() { return actions_; }
  MainMenu& mainMenu() { return menu_; }
  KeyDispatcher& keys() { return *keys_; }
  BookWindowPort* book() { return book_.get(); }
  ShellEnv& env() { return *env_; }
  // A part of the window by its design name (its object name), for tests and traces that
  // drive it with real input; null when there is none of that name and type.
  template <class W = QWidget>
  W* child(const char* name) const {
    return findChild<W*>(QString::fromLatin1(name));
  }
  // A file of the data folder by its name.
  std::string DataFilePath(const std::string& name) const;

  // --- handlers ---
  void FormShow();
  void FormActivate();
  void FormDeactivate();
  void FormClose();
  void FormDestroy();
  // Writes the settings file and the key file as the close does, without closing (a
  // desktop session's commit-data request).
  void WriteSettingsNow();
  void EnableActions(bool main, bool book);
  bool BookActive();
  void ActionExitExecute(QObject* sender);
  void ActionWindowPopUpExecute(QObject* sender);
  void ActionOptionFullScreenExecute(QObject* sender);
  void ActionBookExecute(QObject* sender);
  void ActionFileRecent0Execute(QObject* sender);
  void SpeedButtonMenuClick();
  void WMCopyData(const std::string& text);

  // --- settings and tools dialogs (shell/setup_action.cpp, shell/tools_command.cpp) ---
  void ActionOptionSetupExecute(QObject* sender);
  void ActionOptionToolsExecute(QObject* sender);
  // The remembered dialog place (shell/dialog_rect.cpp): saved from the frame when a dialog
  // closes, restored only by the first dialog of the run.
  void SaveDialogRect(QWidget* dialog);
  void RestoreDialogRect(QWidget* dialog);

  // --- file, clipboard and help actions (shell/file_actions.cpp, clipboard_document.cpp,
  // help_actions.cpp) ---
  // Sets the open dialog's file types from the built-in ones and the filters.
  void BuildOpenFilter();
  void ActionFileOpenExecute(QObject* sender);
  void ActionURLOpenExecute(QObject* sender);
  void MenuFileReOpenClick(QAction* item);
  void ActionOptionRecentClearExecute(QObject* sender);
  void ActionFileToolEditorExecute(QObject* sender);
  void ActionFileToolDirectoryExecute(QObject* sender);
  void ActionFileClipboardOpenExecute(QObject* sender);
  void ActionFileClipboardAddExecute(QObject* sender);
  void ActionHelpReadmeExecute(QObject* sender);
  void ActionHelpOnlineHelpExecute(QObject* sender);
  // readme.txt of the installed program, else the one in the program's folder.
  std::string ReadmePath() const;
  const std::string& HelpUrl() const { return helpUrl_; }

  // --- window and option actions (shell/window_actions.cpp) ---
  void ActionOptionBookStayOnTopExecute(QObject* sender);
  void ActionWindowAnnotateExecute(QObject* sender);
  void ImageEasterEggClick();
  // The main menu is about to open: hides the hint and greys what cannot run now.
  void PopupMenuMainPopup();

  // --- tools and filters ---
  // Create the missing actions and menu entries (one spare beyond the list) and update all
  // of them from Tools / Filters; the filter of ActiveFilter is checked.
  void BuildToolActions();
  // (BuildFilterActions is under SourcesHost.)
  // Launches tool n on the shown document; nothing for n outside the list.
  void ToolActionExecute(int n);
  // Reopens the current document through filter n; the active filter again: without one.
  void FilterActionExecute(int n);

  // --- page navigation ---
  void ActionPageNextExecute(QObject* sender);
  void ActionPageBackExecute(QObject* sender);
  void ActionPageHomeExecute(QObject* sender);
  void ActionPageEndExecute(QObject* sender);
  void ActionPageGotoPageExecute(QObject* sender);
  void ActionPageGotoLineExecute(QObject* sender);
  void ActionPageFileNextExecute(QObject* sender);
  void ActionPageFileBackExecute(QObject* sender);
  void TimerAnimateTimer();
  // One frame of the running turn; paintNow paints it before returning, else at the next paint.
  void DrawTurnFrame(bool paintNow);
  void ShowPageLabel(int page);
  void SpeedButtonNextClick();
  void SpeedButtonBackClick();
  // The view count of the display lines.
  int ViewCount() const;
  // Loads record's page-turn sound into TurnSound and hands it to the player; a sound that
  // cannot be loaded switches UseSound off in record.
  void LoadTurnSound(TYomiraOption& record);

  // PageSliderHost.
  bool sliderDocumentReady() override { return IsLaidOut(); }
  int sliderCurrentView() override { return CurrentPage; }
  int sliderViewCount() override { return ViewCount(); }
  void sliderShowView(int view) override { GoToView(view); }
  void sliderShowPageLabel(int view) override { ShowPageLabel(view); }
  SliderCodes sliderCodes() override { return {Option.TrackLeft, Option.TrackRight, Option.TrackMiddle}; }
  void WMDropFiles(const std::vector<std::string>& paths);
  DocumentSources& sources() { return *sources_; }
  Renderer& renderer() { return *renderer_; }

  // --- the settings dialog (option_dialog.cpp) ---
  // The settings dialog's port, made on first use (its window later still); tests attach
  // their own.
  SetupDialogPort& setupDialog();
  void attachSetupDialog(std::unique_ptr<SetupDialogPort> dialog);
  // Fills the dialog from record, with styleName (the live StyleName when null) in the style
  // box; FillingDialog is true throughout.
  void ShowOptionInDialog(const TYomiraOption& record, const std::string* styleName = nullptr);
  // Reads the dialog into record (the live Option), validates it and makes it live.
  void ApplySetupDialog(TYomiraOption& record);
  void UpdateSetupDependentControls();
  // The text-revise checks from record, the menu entries' own enabled flags (the actions
  // stay enabled, so their keys keep working).
  void SyncTextReviseMenu(const TYomiraOption& record);
  // The dialog's colour lists from favorite.dat in the data folder.
  void LoadFavoriteColors();
  void AddFavoriteColor(const std::string& combo, TColor colour, const std::string& name);
  // A path label's caption for a file name, measured in the dialog's font.
  std::string FitParenText(const std::string& text, int maxWidth);
  // Rebuilds the style menu from StyleNames.
  void BuildStyleMenu();
  // Styles (shell/style_menu.cpp): the list from the folder, then the menu and the dialog's
  // list; loading one over record (false, with the message and a rescan, when it cannot be
  // read); saving the dialog's values as one.
  void ScanStyles();
  bool EnsureStyleFolder();
  bool LoadStyle(const std::string& name, TYomiraOption& record);
  bool SaveStyle(const std::string& name, const SetupValues& values);
  // Whether name is a listed style whose file is there.
  bool StyleExists(const std::string& name) const;
  void StyleMenuClick(int index);
  std::string StyleFolder() const;
  std::string StylePath(const std::string& name) const;
  // What the last fill showed; untouched values read back from it.
  const SetupValues& lastShownSetup() const { return setupShown_; }

  // The model the settings file and the key file are written from.
  SettingsModel CollectSettings() const;

  // --- input bindings (input_bindings.cpp) ---
  // Runs the click code of the button (left, right, middle; others nothing) with its slot's
  // modifier; x in the page image.
  void MouseClickAction(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x);
  // delta: the vertical wheel delta, 120 a notch; partial deltas add up.
  void WheelAction(int delta, Qt::KeyboardModifiers modifiers);
  void SideButtonAction(int index);
  // The application-wide hook: true when the event was taken.
  bool ApplicationMessage(QObject* watched, QEvent* e);
  void ImageViewMouseMove(int x, int y);

  // --- border drag (window_resize.cpp) ---
  // A step of the drag: the preview of what its end would give.
  void WMSizing(QSize client);
  // The drag ended (the end timer fired): refit the font or the grid, by the Ctrl state
  // of the drag's last step or of the last look at a held button.
  void WMExitSizeMove();
  // Whether a resize to another size now starts a drag: the short while after the
  // program's own fit, in which the window manager answers it, is over.
  bool OwnFitAnswered() const;
  // Whether a drag's end is waited for (its timer runs).
  bool sizeMoveEndPending() const;
  // In place of the live keyboard state and the pointer's button state (tests script them).
  void SetInputStateQueries(std::function<Qt::KeyboardModifiers()> modifiers, std::function<bool()> pointerHeld);

  // --- text revise toggles (text_revise.cpp) ---
  void ActionMomentaryAutoIndentExecute(QObject* sender);
  void ActionMomentaryReWrapExecute(QObject* sender);
  void ActionMomentaryToRubyExecute(QObject* sender);
  void ActionStyleTextReviseUseAozoraExecute(QObject* sender);
  void ActionStyleTextReviseParseHTMLExecute(QObject* sender);
  void ActionStyleTextReviseUseCoverExecute(QObject* sender);
  void ActionStyleTextReviseUseAutoIndentExecute(QObject* sender);
  void ActionStyleTextReviseUseYomiraTagExecute(QObject* sender);
  void ActionStyleTextReviseUseStrictExecute(QObject* sender);
  void ActionStyleTextReviseUseReWrapExecute(QObject* sender);
  void ActionStyleTextReviseUseToRubyExecute(QObject* sender);
  void ActionStyleTextReviseReWrapFixedExecute(QObject* sender);
  void ActionStyleTextReviseReWrapCompelExecute(QObject* sender);
  void MenuStyleClick();

  // --- layout steps (layout_steps.cpp) ---
  void ActionWindowRowUpExecute(QObject* sender);
  void ActionWindowRowDownExecute(QObject* sender);
  void ActionWindowColUpExecute(QObject* sender);
  void ActionWindowColDownExecute(QObject* sender);
  void ActionWindowFontUpExecute(QObject* sender);
  void ActionWindowFontDownExecute(QObject* sender);
  void ActionWindowRubyUpExecute(QObject* sender);
  void ActionWindowRubyDownExecute(QObject* sender);

  // StartupOps (the command line of the first start).
  void ResetStartParams() override;
  int StartFilter() const override;
  int StartCharCode() const override;
  void SetPendingRate(int rate) override { PendingRate = rate; }
  void OpenFileItem(const std::string& path, bool force, int filter, int charCode, bool keepBookSel,
                    bool rebuild) override;
  void OpenDirectory(const std::string& folder, int charCode, int filter) override;
  bool OpenUrl(const std::string& url, int rate) override;
  void ParseParam(const std::string& arg) override;
  bool IsLaidOut() const override { return DocumentLoaded && LaidOut; }
  bool ReopenAtStart() const override;
  void ActionFileRecent0Execute() override { ActionFileRecent0Execute(nullptr); }

  // SourcesHost.
  void ShowMessage(const std::string& text) override;
  void Relayout(bool force, bool rebuild) override;
  // A relayout of the document shown that keeps on screen the text the view began with
  // (where the view has none, or none is laid out: whatever the caller left in
  // PendingRate, else the view number).
  void RelayoutKeepingPlace(bool geometry, bool rebuild);
  void ClearDisplayLines() override;
  void ForceForeground() override;
  bool IsFullScreen() override;
  void ExecuteFullScreen() override;
  void CheckReOpenCharset() override;
  void UpdateRecentMenu() override;
  void SetMomentaryToggles(bool autIndent, bool reWrap, bool toRuby) override;
  void BuildFilterActions() override;
  void LoadTurnSound() override { LoadTurnSound(Option); }
  FileListOrder GetFileListOrder() override;
  void ApplyStyleIndex(int index) override;
  void ApplyStyleName(const std::string& name) override;
  bool BookExists() override { return book_ != nullptr; }
  bool BookVisible() override { return book_ && book_->isVisible(); }
  int BookTabIndex() override { return book_ ? book_->tabIndex() : 0; }
  void ScanFileList(const std::string& folder) override;
  bool LinkListHeld() override {
    const Action* hold = actions_.find("ActionLinkListHold");
    return hold && hold->checked;
  }
  void BuildLinkList() override {
    if (book_) book_->buildLinkList();
  }
  void RefreshBookTab() override;

  // EngineHost (and RenderHost).
  void hideHint() override;
  void hideStartUpPanel() override;
  void enablePageButtons() override;
  void ShowProgressBar(bool show) override;
  void setCaption(const std::string& titleUtf8) override;
  void ApplyParamPosition(int& currentPage) override;
  void StartPageTurn(int kind) override;
  void UpdateSliderRange(int views) override;
  void RecreatePageSlider() override;
  void progress(int pos, int max) override;
  int progressBarWidth() override;

  // RenderHost.
  QImage loadPicture(const std::string& pathUtf8) override;
  QImage loadResourcePicture(const std::string& name, const std::string& type) override;
  std::string dataFolder() override { return dataFolder_; }
  void setBottomBars(const QImage& slider, const QImage& text, const QImage& menu) override;
  void setPageLabelColour(QRgb colour) override;
  void applyPanelLayout(const PanelLayout& layout) override;
  bool isFullScreen() override { return IsFullScreen(); }
  QSize screenSize() override;
  QPoint mapToScreen(QPoint imagePoint) override;
  void updateSliderPosition(int32_t page, int32_t views) override;
  void showPageLabel(int32_t page, int32_t views) override;
  void setHistoryPosition(int32_t rate) override;
  std::string currentFileName() override;
  QSize hintSize(const std::string& textUtf8, int32_t maxWidth) override;
  QSize cursorSize() override;
  void showHint(const std::string& textUtf8, const QRect& rect) override;

  // WebHost and UrlDialogHost (shell/web_window.cpp).
  std::optional<std::string> PromptUrl(const std::string& proposed) override;
  void SetCaption(const std::string& utf8) override;
  void SetInputEnabled(bool enabled) override;
  bool PumpEvents() override;
  std::vector<std::string> HistoryUrls() override;
  bool StartUpPanelVisible() override;
  void ShowEasterEgg() override;
  WebFetch& web() { return *web_; }

 protected:
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void changeEvent(QEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dropEvent(QDropEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  // The hosts of the book window and the settings dialog keep the lists they show.
  friend class MainBookHost;
  friend class SetupDialog;

  void buildWidgets();
  void buildActions();
  bool FormCreate();
  // Moves the window (never resizing it) so that it can be reached on some screen.
  void KeepOnScreen();
  void popupMainAt(QPoint global);
  // The action's handler becomes fn of this window.
  void bindAction(const char* name, void (TForm1::*fn)(QObject*));
  void bindFileActions();
  void bindWindowActions();
  // Writes the clipboard text as the clipboard document and opens it (clipboard_document.cpp).
  void OpenClipboardText(const std::string& text);
  // A click code's action (page image as the sender); x decides code 3.
  void RunClickCode(int code, int x);
  void bindPageActions();
  void bindInputBindings();
  void bindWindowResize();
  void bindTextReviseActions();
  void bindLayoutSteps();
  // A style toggle: field inverted, the check set from it, relayout when laid out.
  void ToggleStyle(const char* actionName, uint8_t TYomiraOption::*field, bool geometry);
  // A momentary switch of the document inverted, its check set from it, relayout.
  void ToggleMomentary(const char* actionName, bool ConvertSwitches::*field);
  void SetReWrapType(int type, bool geometry);
  // A layout step of field by delta up to limit; grid steps keep the reading position.
  void StepLayout(int32_t TYomiraOption::*field, int delta, int limit, bool grid);
  // Page moves need views with a range and a document that is laid out.
  bool PageMovesAllowed() const;
  // Counts relayouts and cleared lines: a go-to box that comes back to another layout
  // (a document opened or the window resized under it) does nothing.
  uint64_t layoutGeneration_ = 0;
  // Sets the view, draws it and shows it at once.
  void GoToView(int view);
  void DrawSpread();
  void PlayTurnSound();
  void OpenNeighbourFile(int direction);
  void BuildRunTimeActions(bool filters);
  // The RunFilter hook of the sources: the external filters with their bounds.
  decltype(DocumentSources::RunFilter) MakeFilterRunner();

  // --- fields (what the program owns) ---
  // The engine's part of the state; the fields below that the engine also reads refer to it.
  EngineState Engine_;
  bool HtmlImported = false;
  int TurnKind = 0;
  int TurnFrames = 0;
  int HintWidth = 0;
  DisplayLines& DisplayLines_ = Engine_.displayLines;
  SourceLines& SourceLines_ = Engine_.sourceLines;
  TPageAnnotation& Annotations = Engine_.annotations;
  TParamOption StartParams;
  std::vector<std::string> StyleNames;
  QPoint NormalPos;
  std::string TurnSound;
  QImage SliderBitmap;
  bool& LaidOut = Engine_.laidOut;
  bool& DocumentLoaded = Engine_.documentLoaded;
  bool Loading = false;
  bool FillingDialog = false;
  int ActiveFilter = -1;
  int& CurrentPage = Engine_.currentPage;
  int& PendingRate = Engine_.pendingRate;
  int DocumentCodePage = 0;
  std::string StyleName;
  QPoint OptionWindowPos;
  QRect DialogRect;  // left, top, right, bottom kept as x, y, width = right, height = bottom
  QRect BookRect;
  bool BookRectSaved = false;  // BookRect came from the settings file
  FileItemList RecentFiles, BookMarks, FileList, PageLinks;
  std::vector<int> LinkList;  // positions in PageLinks, checked at every use
  // Empties LinkList before PageLinks, so nothing refers to a freed entry, then lets the
  // book window repaint its list.
  void ClearPageLinks() {
    LinkList.clear();
    PageLinks.clear();
    RefreshBookTab();
  }
  ToolItemList Tools, Filters;
  TYomiraOption& Option = Engine_.option;
  TOpenDialogEx* OpenDialogExText = nullptr;
  // The page-turn timer: single-shot, 10 ms, restarted by each tick that is not the last.
  QTimer* TimerAnimate = nullptr;
  int TurnStep = 0;  // the frame counter of the running turn
  // Annotation notes and the resize preview.
  HintWindow* HintWindow_ = nullptr;
  // Single-shot, restarted by each step of a drag.
  QTimer* TimerSizeMoveEnd = nullptr;
  // The live keyboard state and whether a pointer button is held.
  std::function<Qt::KeyboardModifiers()> queryKeyboardModifiers;
  std::function<bool()> queryPointerButtonHeld;

  ReaderSession session_{Engine_};
  bool keepingPlace_ = false;  // a relayout of RelayoutKeepingPlace runs
  ShellEnv* env_;
  std::vector<std::string> args_;
  ForwardReceiver* receiver_;
  std::unique_ptr<Renderer> renderer_;
  std::unique_ptr<EngineStages> stages_;
  std::unique_ptr<Engine> engine_;
  std::unique_ptr<DocumentSources> sources_;
  std::unique_ptr<WebFetch> web_;
  // Makes web_ and fills the OpenUrl hook (shell/web_window.cpp).
  void CreateWebFetch();
  std::unique_ptr<HtmlImport> htmlImport_;
  std::string dataFolder_;
  std::function<std::unique_ptr<BookWindowPort>(TForm1&)> makeBook_;
  std::string programFolder_;
  std::string helpUrl_;
  QString lastOpenFolder_;  // where the open dialog was last closed
  ActionCatalogue actions_;
  MainMenu menu_;
  KeyDispatcher* keys_ = nullptr;
  std::unique_ptr<SettingsStore> store_;
  std::unique_ptr<BookWindowPort> book_;
  std::unique_ptr<SetupDialogPort> setup_;
  SetupValues setupShown_;
  std::vector<StyleEntry> StyleEntries_;  // StyleNames with the file each was found under
  std::vector<QAction*> styleItems_;
  QActionGroup* styleGroup_ = nullptr;
  bool setupFilled_ = false;
  SettingsChecks checksKept_;  // check states that have no action of their own yet
  bool startedOk_ = true;
  bool shownOnce_ = false;
  bool closed_ = false;
  bool destroyed_ = false;
  bool maximisePending_ = false;
  int toolActionCount_ = 0;    // tool actions made so far; they live for the run
  int filterActionCount_ = 0;
  QActionGroup* filterGroup_ = nullptr;
  int wheelRest_ = 0;
  bool dragCtrl_ = false;  // Ctrl at the latest step of a border drag
  bool CtrlHeld() const;  // the part of a notch not yet turned into a step
  std::unique_ptr<QObject> appHook_;
  // The program's own fit of the window: while it runs and, for another size, a short while
  // after (the window manager's answer), resize events start no drag.
  bool fitting_ = false;
  QElapsedTimer fitClock_;
  QElapsedTimer progressPainted_;  // since the bar was last painted during a layout
  QSize fitSize_;

  // Components, named as the window's design names them (their object names too).
  Panel* PanelBase = nullptr;
  Panel* PanelView = nullptr;
  ImageView* ImageView_ = nullptr;
  Panel* PanelStartUp = nullptr;
  QLabel* ImageIcon = nullptr;
  QLabel* LabelVersion = nullptr;
  QLabel* ImageEasterEgg = nullptr;
  Panel* PanelBottomBase = nullptr;
  Panel* PanelBottomText = nullptr;
  QLabel* LabelPage = nullptr;
  Panel* PanelBottomCenter = nullptr;
  PageSlider* UxTrackBarPage = nullptr;
  QProgressBar* ProgressBarPage = nullptr;
  Panel* PanelBottomMenu = nullptr;
  QToolButton* SpeedButtonMenu = nullptr;
  QToolButton* SpeedButtonNext = nullptr;
  QToolButton* SpeedButtonBack = nullptr;
};

// The window caption for a document title: "[" + title + "] - yomira".
std::string MainCaption(const std::string& title);

// The files a run leaves in the data folder that go with it: "yomira.html" and the two web
// cache files ("ClipBord.txt" stays).
std::vector<std::string> TemporaryFileNames();

}  // namespace yomira
