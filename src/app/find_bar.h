// TFindBar: the slim bar under the page for finding text in it: a text box,
// previous and next buttons, "Match case", the count of matches ("3 of 12")
// and a note when the search went round the end of the page. Matches are
// found by the document's own search and shown as the viewer's selection.
#pragma once

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

#include "app/page_finder.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace kiv {

class THTMLViewer;

class TFindBar : public QWidget {
 public:
  // viewer: the page searched (not owned; it outlives the bar).
  TFindBar(THTMLViewer* viewer, QWidget* parent);

  // Shows the bar with the box focused and its text selected; a text already
  // in the box is counted again on the page shown now.
  void Open();
  // Hides the bar; the selection stays.
  void Close();
  // Open with text in the box, and select its first match at or after
  // fromIndex.
  void FindText(const std::string& pageText, int fromIndex = 0);
  // Open with any of several words (in the page's code page), as a search of the whole
  // help found them on the page, and select the match of that ordinal (0:
  // the first). Editing the box goes back to finding its text.
  void FindWords(const std::vector<std::string>& pageWords, int ordinal);
  // The next and the previous match (F3, Shift+F3); with an empty box they
  // open the bar instead.
  void FindNext();
  void FindPrevious();
  // The page changed: what was found belongs to the old page.
  void DocumentChanged();

  // State, for the window's snapshot and tests.
  QLineEdit* Edit() const { return edit_; }
  QCheckBox* MatchCaseBox() const { return matchCase_; }
  QString CountText() const;
  QString Message() const;
  const TPageFinder& Finder() const { return finder_; }
  // Called after every change the window should report.
  std::function<void()> OnChange;

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  // Takes the box's text and case into the finder; false when the text
  // cannot occur on a page (characters outside the page's code page or
  // control characters).
  bool TakeQuery();
  // Searches again from the current match's start (typing extends the match
  // in place) or from the selection.
  void Refind();
  // The next (forward) or previous match; an empty box opens the bar.
  void Step(bool forward);
  void ShowStep(const TFindStep& step);
  void UpdateLabels();
  void Changed();

  THTMLViewer* viewer_;
  TPageFinder finder_;
  bool unmatchable_ = false;
  // Set by FindWords: the box's text stands for any of these words.
  std::vector<std::string> words_;
  QString wordsText_;
  QLabel* label_ = nullptr;
  QLineEdit* edit_ = nullptr;
  QToolButton* previous_ = nullptr;
  QToolButton* next_ = nullptr;
  QCheckBox* matchCase_ = nullptr;
  QLabel* count_ = nullptr;
  QLabel* message_ = nullptr;
  QToolButton* close_ = nullptr;
};

}  // namespace kiv
