// kivpack verify checks every HREF and SRC of every page against the package.
#include <gtest/gtest.h>

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
  // The area's file part "../index.html" is no package name either.
  EXPECT_NE(r.out.find("topics/page.html: broken link HREF \"../index.html\""), std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("Index.html: external HREF \"#top\""), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("external HREF \"http://example.com/x.html\""), std::string::npos);
  EXPECT_NE(r.out.find("external HREF \"mailto:help@example.com\""), std::string::npos);
  EXPECT_EQ(r.out.find("hidden.html"), std::string::npos) << "comments hold no links";
  EXPECT_EQ(r.out.find("Page.HTML"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("3 entries, 3 problems"), std::string::npos) << r.out;
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

}  // namespace
}  // namespace kiv
