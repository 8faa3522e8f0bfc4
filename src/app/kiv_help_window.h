// TKivHelpWindow: the help viewer's only window. It shows one help page at a
// time in a THTMLViewer fed from the help package, with a toolbar (Contents,
// Back, Forward, Print, font size, Copy) for ordinary help, or a bottom bar
// ("Do not Show this Message Again", OK) for the start-up kinds, whose state
// it writes to kivmap.ini for the host application. It keeps its own history
// of the link targets shown. Closing it ends the program.
#pragma once

#include <QWidget>

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/help_package.h"
#include "app/help_search.h"
#include "app/single_instance.h"
#include "imaging/read_stream.h"
#include "platform/bitmap.h"
#include "platform/color.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSpinBox;
class QTimer;
class QToolButton;

namespace kiv {

class LocalChannelServer;
class TFindBar;
class THTMLViewer;
class TPrintPreviewWindow;
class TSearchIndexer;

// The font-size box's range.
constexpr int MinHelpFontSize = 8;
constexpr int MaxHelpFontSize = 16;
// A "Help Font Size" beyond this (a hand-edited settings file) is taken as
// this: larger type serves no reader and only strains layout.
constexpr int LargestHelpFontSize = 36;
// The size Ctrl+0 returns to.
constexpr int DefaultHelpFontSize = 12;
// Longest PageKind and ImageSource kept.
constexpr std::size_t MaxPageKindLength = 10;
// Longest anchor part (with its "#") of a link target.
constexpr std::size_t MaxTargetAnchorLength = 250;

class TKivHelpWindow : public QWidget, public THelpRequestTarget {
 public:
  // args: command-line arguments 1 to 3 (kind, file name, anchor), read when
  // the window is first shown. packagePath: the help package (beside the
  // executable unless a test says otherwise).
  explicit TKivHelpWindow(std::vector<std::string> args,
                          std::string packagePath = DefaultPackagePath());
  ~TKivHelpWindow() override;

  // Show requests and link targets.
  void ShowHelpPage(const std::string& kind, const std::string& fileName, bool printEnabled,
                    const std::string& anchor) override;
  void BringToFront(const std::string& activationToken) override;
  void NavigateTo(const std::string& target);

  // Handlers.
  void FormCreate();
  void FormShow();
  void FormClose();
  void FormKeyPress(char key);
  void bContentsClick();
  void ForwardBackClick(QWidget* sender);
  void bPrintClick();
  void spinFontSizeChange();
  void bCopyClick();
  void CheckBox1Click();
  void bOKClick();
  void ViewerHotSpotClick(THTMLViewer* sender, const std::string& SRC, bool& Handled);
  void ViewerHistoryChange(THTMLViewer* sender);
  void ViewerBitmapRequest(THTMLViewer* sender, const std::string& SRC,
                           std::unique_ptr<Bitmap>& bitmap, TColor& color);

  // Reader features beyond the toolbar.
  // Zoom: the font-size box one step up or down (within 8..16), or back to
  // 12; the box's change event passes the size on as if typed.
  void ZoomBy(int steps);
  void ZoomReset();
  // The page's context menu at a point of the viewer (keyboard: at the
  // selection or the view's corner), shown without waiting for it.
  void ShowPageMenu(const QPoint& viewerPos, bool fromKeyboard);
  // The link under a point of the viewer, empty when none.
  std::string LinkAtViewerPoint(const QPoint& viewerPos) const;
  // The print preview window (made on first use), shown with the page.
  void ShowPrintPreview();
  // Enter in the search box: the first result of its text opened (the
  // results page stays in history before it).
  void SearchHelp();
  // Searches the whole help for query (UTF-8) and shows the results page.
  void SearchHelp(const std::string& query);
  // The results of the search box's text, shown as it is typed (after a
  // short pause): the results page replaces one shown while typing.
  void SearchAsTyped();

  // The font-size box's value: its text as a number within 8..16, 8 when
  // the text is not a number.
  int SpinValue() const;

  // State, for the owner and for tests.
  THTMLViewer* Viewer() const { return viewer_; }
  QWidget* TopBar() const { return panel1_; }
  QWidget* BottomBar() const { return panel2_; }
  QToolButton* ContentsButton() const { return bContents_; }
  QToolButton* BackButton() const { return bBack_; }
  QToolButton* ForwardButton() const { return bForward_; }
  QToolButton* PrintButton() const { return bPrint_; }
  QToolButton* CopyButton() const { return bCopy_; }
  QSpinBox* FontSizeBox() const { return spinFontSize_; }
  QCheckBox* CheckBox() const { return checkBox1_; }
  TFindBar* FindBar() const { return findBar_; }
  QLineEdit* SearchBox() const { return searchBox_; }
  QMenu* PageMenu() const { return pageMenu_; }
  TSearchIndexer* SearchIndexer() const { return indexer_; }
  const HelpSearchResults& SearchResults() const { return searchResults_; }
  int ResultCursor() const { return resultCursor_; }
  TPrintPreviewWindow* PrintPreview() const { return preview_; }
  QPushButton* OKButton() const { return bOK_; }
  const std::vector<std::string>& History() const { return history_; }
  int HistoryIndex() const { return historyIndex_; }
  const std::string& PageKind() const { return pageKind_; }
  const std::string& ImageSource() const { return imageSource_; }
  const THelpPackage& Package() const { return *package_; }
  // Page images supplied so far (bitmaps handed to the viewer).
  int ImagesSupplied() const { return imagesSupplied_; }
  // Pictures looked up in the package so far.
  int ImageLookups() const { return imageLookups_; }
  int PaintCount() const { return paintCount_; }
  // The activation token of the last hand-off (empty when it came without
  // one), and whether it was presented to the desktop.
  const std::string& LastActivationToken() const { return lastActivationToken_; }
  bool ActivationTokenPresented() const { return activationTokenPresented_; }

  // Writes a snapshot of the window's state as JSON to path after every
  // change (window tests watch it); empty turns it off.
  void SetStateFile(const std::string& path);

 protected:
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void CreateControls();
  // LoadPage on the package, taking its ImageSource even when it fails.
  // Only a show request may read a start-up file from disk.
  void LoadPage(const std::string& fileName, bool showRequest = false);
  void LoadBuffer();
  // A new page is shown: the find bar and an open preview follow it.
  void DocumentChanged();
  void UpdateButtons();
  void SetCaptionFromTitle();
  // Text of the page (its title, its selection) for the window system.
  QString PageQString(const std::string& text) const;
  void ShowHistoryLabels();
  void FocusViewer();
  // Moved to a screen of another device pixel ratio, the window keeps its
  // size in logical pixels, so the page is painted again without a layout.
  void KeepLogicalSize();
  // Back or Forward from the keyboard or the mouse's side buttons: as a
  // click on the button, when it is enabled and the toolbar shown.
  void StepHistory(QToolButton* button);
  std::string SettingsPath() const;
  void ReportState();
  void WriteState();
  void CreateReaderControls();
  void PlaceSearchBox();
  bool PrintAllowed() const;
  // Prints the page: asks for the printer first unless a file was given
  // for unattended runs.
  void PrintPage();
  // Shows the results page of the last search without touching history.
  void ShowSearchResults(const std::string& query);
  // After a result of the search was followed: its words found on the page
  // through the find bar, the best hit selected.
  void SelectSearchHit(const std::string& target);
  // The search box's text, UTF-8.
  std::string SearchBoxQuery() const;
  // Shows query's results page as the current history entry: a new one, or
  // in place of the results page shown now when replace.
  bool ShowResultsEntry(const std::string& query, bool replace);
  bool ShowingResults() const;
  // Keys of the search box and of the results page: Down moves into the
  // results, Up and Down step through them, Enter opens one.
  bool SearchKey(QObject* watched, QKeyEvent* key);
  void MoveResultCursor(int index);

  std::vector<std::string> args_;
  std::unique_ptr<THelpPackage> package_;
  std::unique_ptr<FileReadStream> packageStream_;
  std::unique_ptr<LocalChannelServer> channel_;
  std::string pageKind_;
  std::string imageSource_;
  std::vector<std::string> history_;
  int historyIndex_ = 0;
  bool shown_ = false;
  bool closed_ = false;
  int imagesSupplied_ = 0;
  int imageLookups_ = 0;
  // Pictures of this page load that could not be had (upper case).
  std::set<std::string> noImages_;
  int paintCount_ = 0;
  std::string lastActivationToken_;
  bool activationTokenPresented_ = false;
  std::string stateFile_;
  bool statePending_ = false;

  // Child controls, owned through their parents.
  QWidget* panel1_ = nullptr;
  QToolButton* bContents_ = nullptr;
  QToolButton* bBack_ = nullptr;
  QToolButton* bForward_ = nullptr;
  QToolButton* bPrint_ = nullptr;
  QLabel* label3_ = nullptr;
  QSpinBox* spinFontSize_ = nullptr;
  QToolButton* bCopy_ = nullptr;
  QLabel* label1_ = nullptr;
  QLabel* label2_ = nullptr;
  THTMLViewer* viewer_ = nullptr;
  QWidget* panel2_ = nullptr;
  QCheckBox* checkBox1_ = nullptr;
  QPushButton* bOK_ = nullptr;
  TFindBar* findBar_ = nullptr;
  QLineEdit* searchBox_ = nullptr;
  QMenu* pageMenu_ = nullptr;  // while the page's context menu is open
  QMenu* printMenu_ = nullptr;
  TPrintPreviewWindow* preview_ = nullptr;  // a window of its own, owned here
  int wheelZoom_ = 0;                       // Ctrl+wheel angle not yet used
  // The last search of the whole help: its query (UTF-8) and what it found.
  std::string searchQuery_;
  HelpSearchResults searchResults_;
  TSearchIndexer* indexer_ = nullptr;  // owned as a child
  QTimer* searchTimer_ = nullptr;      // the pause after typing
  bool openWhenIndexed_ = false;       // Enter came before the index
  int resultCursor_ = -1;              // the result Up and Down stand on
  // Printing into this PDF file instead of asking (KIVHELP_PRINT_FILE).
  std::string printFile_;
};

}  // namespace kiv
