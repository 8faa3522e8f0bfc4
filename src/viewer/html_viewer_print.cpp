// THTMLViewer's printing: the shown document is printed through a copy, so
// the view, its layout and its scroll position stay as they are.
#include "viewer/document_printer.h"
#include "viewer/html_viewer.h"

namespace kiv {

void THTMLViewer::PrintRange(int FromPage, int ToPage) {
  if (Processing()) return;
  TPrintMargins margins;
  margins.Left = PrintMarginLeft();
  margins.Right = PrintMarginRight();
  margins.Top = PrintMarginTop();
  margins.Bottom = PrintMarginBottom();
  PrintDocumentRange(Document(), margins, FromPage, ToPage);
}

}  // namespace kiv
