// kivpack verify checks every HREF and SRC of every page against the package.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

#include "run_tool.h"
#include "support/test_files.h"

namespace kiv {
namespace {

using testing::RunTool;
using testing::TempDir;

TEST(KivpackVerifyLinks, BrokenLinksAndMissingPicturesAreProblemsExternalOnesAreListed) {
  TempDir src, out;
  src.Write("Index.html",
            "<a href=\"topics/Page.HTML#part\">ok</a> <a href=\"C:\\help\\index.html\">ok</a>"
            "<a href=\"#top\">top</a> <a href=\"http://example.com/x.html\">web</a>"
            "<a href=\"mailto:help@example.com\">mail</a> <a href=\"gone.html\">gone</a>"
            "<img src=\"images/Logo.gif\"> <img src=\"logo.gif\"><a href=\"\">empty</a>");
  src.Write("topics/page.html",
            "<map name=m><area href=\"../index.html\" coords=0,0,1,1></map>"
            "<!-- <a href=hidden.html> -->");
  src.Write("images/logo.gif", "GIF89a");
  const std::string pkg = out.File("kivmap.hpm");
  ASSERT_EQ(RunTool("kivpack", {"build", src.Path(), "-o", pkg}).exitCode, 0);

  auto r = RunTool("kivpack", {"verify", pkg});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.out.find("Index.html: broken link HREF \"gone.html\""), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Index.html: missing picture SRC \"logo.gif\""), std::string::npos) << r.out;
  // The area's "../index.html" names the top page as a browser reads it from
  // topics/: the packer wrote the package's name for it.
  EXPECT_EQ(r.out.find("topics/page.html: broken link"), std::string::npos) << r.out;
  EXPECT_NE(RunTool("kivpack", {"extract", pkg, "topics/page.html"})
                .out.find("<area href=\"Index.html\""),
            std::string::npos);
  EXPECT_NE(r.out.find("Index.html: external HREF \"#top\""), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("external HREF \"http://example.com/x.html\""), std::string::npos);
  EXPECT_NE(r.out.find("external HREF \"mailto:help@example.com\""), std::string::npos);
  EXPECT_EQ(r.out.find("hidden.html"), std::string::npos) << "comments hold no links";
  EXPECT_EQ(r.out.find("Page.HTML"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("3 entries, 2 problems"), std::string::npos) << r.out;
}

TEST(KivpackVerifyLinks, APageWithAnOpenCommentIsAProblem) {
  TempDir src, out;
  src.Write("a.html", "<p>text<!-- never closed");
  const std::string pkg = out.File("kivmap.hpm");
  ASSERT_EQ(RunTool("kivpack", {"build", src.Path(), "-o", pkg}).exitCode, 0);
  auto r = RunTool("kivpack", {"verify", pkg});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.out.find("a.html: Open Comment at End of HTML File"), std::string::npos) << r.out;
}

TEST(KivpackVerifyLinks, ScriptsAndTheBaseHoldNoLinksOfTheWindow) {
  TempDir src, out;
  src.Write("a.html",
            "<base href=\"$base_url\"><script src=\"_static/jquery.js\">"
            "document.write(\"<a href='#_footnoteref_\" + n + \"'>\" + n + \"</a>\");"
            "<a href=\"scripted.html\"></a></script><a href=\"b.html\">b</a>");
  src.Write("b.html", "<p>b");
  const std::string pkg = out.File("kivmap.hpm");
  ASSERT_EQ(RunTool("kivpack", {"build", src.Path(), "-o", pkg}).exitCode, 0);
  auto r = RunTool("kivpack", {"verify", pkg});
  EXPECT_EQ(r.exitCode, 0) << r.out;
  EXPECT_NE(r.out.find("2 entries, 0 problems"), std::string::npos) << r.out;

  // A link after the script is still checked.
  src.Write("a.html", "<script>var x = '<a href=gone.html>';</script><a href=\"gone2.html\">");
  ASSERT_EQ(RunTool("kivpack", {"build", src.Path(), "-o", pkg}).exitCode, 0);
  r = RunTool("kivpack", {"verify", pkg});
  EXPECT_NE(r.out.find("a.html: broken link HREF \"gone2.html\""), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("\"gone.html\""), std::string::npos) << r.out;
}

TEST(KivpackVerifyLinks, ATreeOfFoldersLinkedAsABrowserReadsItPacksWithoutBrokenLinks) {
  TempDir src, out;
  src.Write("index.html", "<a href=\"html/index.html\">api</a><a href=\"FAQ.html\">FAQ</a>");
  src.Write("FAQ.html", "<a href=\"faq.html#q\">questions</a>");
  src.Write("faq.html", "<a name=q></a><a href=\"FAQ.html\">up</a>");
  src.Write("html/index.html",
            "<img src=\"up.png\"><a href=\"../index.html\">top</a>"
            "<a href=\"Adding%20a%20Library.html#x\">lib</a><a href=\"../gone.html\">gone</a>");
  src.Write("html/Adding a Library.html", "<a name=x></a><a href=\"index.html\">back</a>");
  // A PNG, converted to a GIF the window shows.
  QImage dot(1, 1, QImage::Format_ARGB32);
  dot.fill(qRgba(255, 0, 0, 255));
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  dot.save(&buffer, "PNG");
  src.Write("html/up.png", png.toStdString());
  const std::string pkg = out.File("kivmap.hpm");
  const auto built = RunTool("kivpack", {"build", src.Path(), "-o", pkg});
  ASSERT_EQ(built.exitCode, 0) << built.err;
  EXPECT_NE(built.err.find("faq.html is packed as faq_2.html"), std::string::npos) << built.err;
  const auto r = RunTool("kivpack", {"verify", pkg});
  // The one link broken in the tree itself stays broken, and is the only problem.
  EXPECT_NE(r.out.find("html/index.html: broken link HREF \"../gone.html\""), std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("6 entries, 1 problems"), std::string::npos) << r.out;
  EXPECT_EQ(RunTool("kivpack", {"extract", pkg, "html/index.html"}).out,
            "<img src=\"html/up.png.gif\"><a href=\"index.html\">top</a>"
            "<a href=\"html/Adding a Library.html#x\">lib</a><a href=\"../gone.html\">gone</a>");
  EXPECT_EQ(RunTool("kivpack", {"extract", pkg, "FAQ.html"}).out,
            "<a href=\"faq_2.html#q\">questions</a>");
}

}  // namespace
}  // namespace kiv
