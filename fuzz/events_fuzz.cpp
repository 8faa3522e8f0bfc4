// Fuzz target: the viewer control driven by a user: a sequence of mouse,
// wheel, key, resize, load, selection and font-size events decoded from the
// input, sent to an offscreen viewer as the toolkit would send them. The
// first byte is the number of events (four bytes each); the rest of the
// input after them is a page that a load event may show.
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "fuzz_support.h"
#include "layout/section_list.h"
#include "platform/bitmap.h"
#include "platform/clipboard.h"
#include "reader/sel_text.h"
#include "reader/tokenizer.h"
#include "viewer/html_viewer.h"
#include "viewer/paint_panel.h"

namespace {

using namespace kiv;

void SupplyImage(THTMLViewer*, const std::string& name, std::unique_ptr<Bitmap>& bitmap,
                 TColor& transparent) {
  if (name.empty() || name[0] < 'a' || name[0] > 'f') return;
  bitmap = Bitmap::CreateIndexed(20 + (name[0] - 'a') * 9, 12, {clRed, clWhite, clBlue});
  transparent = clWhite;
}

std::string LongPage() {
  std::string page = "<title>Long</title><a name=\"top\"></a>";
  for (int i = 0; i < 120; ++i) {
    page += "<p>Paragraph " + std::to_string(i) + " with <a href=\"p" + std::to_string(i) +
            ".html#x\">a link</a> and <b>bold</b> words.";
    if (i % 10 == 0) page += "<a name=\"a" + std::to_string(i) + "\"></a><img src=\"b.gif\">";
  }
  return page;
}

// Pages a load event can show besides the input's own.
const std::array<std::string, 5>& Pages() {
  static const std::array<std::string, 5> pages = {
      LongPage(),
      "<table border=2 cellpadding=3><caption>C</caption><tr><td>one<td rowspan=2>two "
      "<img src=\"c.gif\" align=right><tr><td colspan=3><a href=\"#top\">top</a></table>"
      "<pre>\tfixed   text\nsecond line</pre><ul><li>a<li>b<ol><li>c</ol></ul>",
      "<form action=\"go\" method=post><input name=t value=\"text\"><input type=password "
      "name=p><input type=checkbox name=c checked><input type=radio name=r value=1>"
      "<input type=radio name=r value=2 checked><select name=s size=3><option>x<option "
      "selected>y</select><select name=d><option>1<option>2</select><textarea name=a "
      "rows=3 cols=20>area\ntext</textarea><input type=submit value=Go><input type=reset>"
      "<input type=hidden name=h value=v></form>",
      "<body background=\"a.gif\" bgcolor=navy text=yellow link=lime><h1>Title</h1>"
      "<img src=\"d.gif\" usemap=\"#m\" ismap><map name=m><area shape=rect coords=0,0,9,9 "
      "href=\"in.html\"></map><hr width=50%><font size=7>big</font>",
      "",
  };
  return pages;
}

constexpr std::array<int, 14> kKeys = {
    Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home,  Qt::Key_End, Qt::Key_Up,
    Qt::Key_Down,   Qt::Key_Left,     Qt::Key_Right, Qt::Key_Tab, Qt::Key_Space,
    Qt::Key_Return, Qt::Key_Escape,   Qt::Key_A,     Qt::Key_C};

THTMLViewer& Viewer() {
  static THTMLViewer* viewer = [] {
    auto* v = new THTMLViewer;
    v->SetDefBackground(clWhite);
    v->SetViewImages(true);
    v->SetHistoryMaxCount(10);
    v->OnBitmapRequest = SupplyImage;
    v->OnHotSpotClick = [](THTMLViewer*, const std::string&, bool& handled) { handled = true; };
    v->OnFormSubmit = [](THTMLViewer*, const std::string&, const std::string&,
                         const std::vector<std::string>&) {};
    v->resize(320, 240);
    v->show();
    return v;
  }();
  return *viewer;
}

void SendMouse(THTMLViewer& viewer, QEvent::Type type, int x, int y, Qt::MouseButton button,
               Qt::MouseButtons held, Qt::KeyboardModifiers mods) {
  QWidget* panel = viewer.PaintPanel();
  const QPointF local(x, y);
  QMouseEvent e(type, local, panel->mapToGlobal(local), button, held, mods);
  QCoreApplication::sendEvent(panel, &e);
}

}  // namespace

// fontconfig keeps a cache block that it never frees and no pointer of the
// process reaches at exit; it is the font library's, not ours.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::StartToolkit();
  Viewer();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  THTMLViewer& viewer = Viewer();
  fuzz::ByteReader in(data, size);
  const int count = in.Byte() % 64;
  std::array<std::uint8_t, 64 * 4> events{};
  for (int i = 0; i < count * 4; ++i) events[i] = in.Byte();
  const std::string ownPage = in.Rest();

  viewer.resize(320, 240);
  viewer.LoadDocumentBuffer(Pages()[0].data(), Pages()[0].size());
  bool held = false;
  for (int i = 0; i < count; ++i) {
    const std::uint8_t* e = &events[i * 4];
    const Qt::KeyboardModifiers mods = (e[1] & 0x80 ? Qt::ShiftModifier : Qt::NoModifier) |
                                       (e[1] & 0x40 ? Qt::ControlModifier : Qt::NoModifier);
    // Points reach a little beyond the panel on every side.
    const int x = e[2] * (viewer.width() + 40) / 256 - 20;
    const int y = e[3] * (viewer.height() + 40) / 256 - 20;
    switch (e[0] % 12) {
      case 0:
        SendMouse(viewer, QEvent::MouseButtonPress, x, y,
                  e[1] & 1 ? Qt::RightButton : Qt::LeftButton,
                  e[1] & 1 ? Qt::RightButton : Qt::LeftButton, mods);
        held = !(e[1] & 1);
        break;
      case 1:
        SendMouse(viewer, QEvent::MouseMove, x, y, Qt::NoButton,
                  held ? Qt::LeftButton : Qt::NoButton, mods);
        break;
      case 2:
        SendMouse(viewer, QEvent::MouseButtonRelease, x, y, Qt::LeftButton, Qt::NoButton, mods);
        held = false;
        break;
      case 3:
        SendMouse(viewer, QEvent::MouseButtonDblClick, x, y, Qt::LeftButton, Qt::LeftButton, mods);
        break;
      case 4: {
        const QPointF at(x, y);
        QWheelEvent wheel(at, viewer.mapToGlobal(at), QPoint(),
                          QPoint(0, (e[1] & 1 ? -120 : 120) * (1 + (e[1] >> 5))), Qt::NoButton,
                          mods, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(viewer.PaintPanel(), &wheel);
        break;
      }
      case 5:
      case 6: {
        const int key = kKeys[e[2] % kKeys.size()];
        const QEvent::Type type = e[0] % 12 == 5 ? QEvent::KeyPress : QEvent::KeyRelease;
        QKeyEvent k(type, key, mods);
        QWidget* focus = QApplication::focusWidget();
        QCoreApplication::sendEvent((e[1] & 2) && focus ? focus : &viewer, &k);
        break;
      }
      case 7:
        viewer.resize(e[2] * 4, e[3] * 4);
        break;
      case 8: {
        const std::size_t which = e[1] % (Pages().size() + 1);
        const std::string& page = which < Pages().size() ? Pages()[which] : ownPage;
        try {
          viewer.LoadDocumentBuffer(page.data(), page.size());
        } catch (const EParseError&) {
          // The page ended inside a comment; what was read before is shown
          // and the events go on with it.
        }
        if (e[2] & 1) viewer.ScrollToAnchor(std::string("a").append(std::to_string(e[3] % 130)));
        break;
      }
      case 9:
        viewer.SelectAllText();
        viewer.CopySelection();
        if (ClipboardText().size() > static_cast<std::size_t>(ClipBufferSize - 1)) __builtin_trap();
        break;
      case 10:
        viewer.SetDefFontSize(e[2] % 40);
        break;
      case 11:
        // Let posted work run: paints, deferred submissions, auto-scroll.
        QCoreApplication::processEvents();
        break;
    }
    const TSectionList& doc = viewer.Document();
    if (doc.ScrollY < 0 || viewer.DocHeight() < 0) __builtin_trap();
  }
  if (held) SendMouse(viewer, QEvent::MouseButtonRelease, 0, 0, Qt::LeftButton, Qt::NoButton, {});
  QCoreApplication::processEvents();
  return 0;
}
