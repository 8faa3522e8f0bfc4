// TPrintPreviewWindow: a window of its own showing the shown page as it
// would be printed. Its pages are painted by the viewer's printing itself
// (PrintRange on the preview's printer), so they are the printed pages; it
// pages through them and prints from there. It never waits for the user.
#pragma once

#include <QWidget>

#include <functional>
#include <memory>

class QLabel;
class QPrintPreviewWidget;
class QPrinter;
class QToolButton;

namespace kiv {

class THTMLViewer;

class TPrintPreviewWindow : public QWidget {
 public:
  // viewer: the page previewed (not owned; it outlives the window). print:
  // what the window's Print button does (the help window's printing).
  TPrintPreviewWindow(THTMLViewer* viewer, std::function<void()> print);
  ~TPrintPreviewWindow() override;

  // Paints the pages again from the page shown now, and shows the window.
  void ShowPreview();
  // The page or its size changed: an open preview shows it as it now
  // prints, so that its Print button prints what it shows.
  void Refresh();
  // The pages printed, and the one shown (from 1; 0 when there is none).
  int PageCount() const;
  int CurrentPage() const;
  void GoToPage(int page);
  // A message of the last failed preview (no printer, say), else empty.
  const QString& Error() const { return error_; }
  // Called after every change the help window should report.
  std::function<void()> OnChange;

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  void PaintPages(QPrinter* printer);
  // Makes the pages again from the viewer's page.
  void Generate();
  void UpdateLabels();

  THTMLViewer* viewer_;
  std::function<void()> print_;
  std::unique_ptr<QPrinter> printer_;
  QPrintPreviewWidget* pages_ = nullptr;
  QToolButton* previous_ = nullptr;
  QToolButton* next_ = nullptr;
  QLabel* pageLabel_ = nullptr;
  QString error_;
};

}  // namespace kiv
