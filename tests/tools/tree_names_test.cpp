// The names of a folder tree's files as its pages write them, turned into
// the names the help window looks up.
#include "kivpack/tree_names.h"

#include <gtest/gtest.h>

namespace kiv {
namespace {

PackageFile Page(const std::string& name, const std::string& bytes) {
  return {name, "/nowhere/" + name, true, bytes};
}

const std::string& BytesOf(const std::vector<PackageFile>& files, const std::string& name) {
  for (const PackageFile& f : files)
    if (f.name == name) return f.bytes;
  static const std::string none = "(no such file)";
  return none;
}

TEST(TreeNames, ReferencesAreReadRelativeToThePagesFolder) {
  TreeNames names;
  for (const char* n : {"index.html", "html/index.html", "html/up.png", "html/sub/deep.html",
                        "Adding a Library.html", "caf\xE9.html", "Mixed.HTML"})
    names.Add(n, n);
  EXPECT_EQ(names.Resolve("html/", "up.png"), "html/up.png");
  EXPECT_EQ(names.Resolve("html/", "./up.png"), "html/up.png");
  EXPECT_EQ(names.Resolve("html/", "../index.html"), "index.html");
  EXPECT_EQ(names.Resolve("html/sub/", "../../index.html"), "index.html");
  EXPECT_EQ(names.Resolve("html/sub/", "..//up.png"), "html/up.png");
  EXPECT_EQ(names.Resolve("", "html/sub/deep.html"), "html/sub/deep.html");
  EXPECT_EQ(names.Resolve("", "Adding%20a%20Library.html"), "Adding a Library.html");
  EXPECT_EQ(names.Resolve("", "caf%C3%A9.html"), "caf\xE9.html");  // escaped UTF-8
  EXPECT_EQ(names.Resolve("html/", "../mixed.html"), "Mixed.HTML");  // case as a last resort
  // Names that reach no file of the tree.
  EXPECT_EQ(names.Resolve("html/", "../../index.html"), "");  // above its top
  EXPECT_EQ(names.Resolve("html/", "index.html/"), "");       // a folder
  EXPECT_EQ(names.Resolve("html/", "/index.html"), "");
  EXPECT_EQ(names.Resolve("html/", "http://x/index.html"), "");
  EXPECT_EQ(names.Resolve("html/", "C:\\help\\index.html"), "");
  EXPECT_EQ(names.Resolve("html/", "gone.html"), "");
  EXPECT_EQ(names.Resolve("", "caf%FF.html"), "");  // no UTF-8
  EXPECT_EQ(names.Resolve("", "100%.html"), "");    // a stray "%" stays: no such file
}

TEST(TreeNames, PagesInFoldersNameThePackagesEntries) {
  std::vector<PackageFile> files = {
      Page("html/index.html",
           "<body background=\"bg.gif\"><a href=\"page.html#Top\">1</a>"
           "<img src=up.png><a href=\"../index.html\">2</a><a href=\"#here\">3</a>"
           "<a href=\"html/page.html\">4</a><a href=\"gone.html\">5</a>"
           "<a href=\"Page%20Two.html?x=1#a&amp;b\">6</a><a href=Page%20Two.html>7</a>"
           "<a href=\"mailto:x@y\">8</a>"),
      Page("html/page.html", "<p>page"),
      Page("html/Page Two.html", "<p>two"),
      {"html/up.png", "/nowhere/up.png", false, {}},
      {"html/bg.gif", "/nowhere/bg.gif", false, {}},
      Page("index.html", "<a href=\"html/index.html\">in</a><img src=\"html/up.png\">"),
  };
  std::vector<std::string> notes;
  const TreeNamesOutcome outcome = ResolveTreeNames(files, notes);
  EXPECT_EQ(outcome.renamed, 0);
  EXPECT_EQ(outcome.referencesRewritten, 6);
  EXPECT_EQ(BytesOf(files, "html/index.html"),
            "<body background=\"html/bg.gif\"><a href=\"html/page.html#Top\">1</a>"
            "<img src=html/up.png><a href=\"index.html\">2</a><a href=\"#here\">3</a>"
            // Already the package's name (there is no html/html/page.html): kept.
            "<a href=\"html/page.html\">4</a><a href=\"gone.html\">5</a>"
            "<a href=\"html/Page Two.html#a&amp;b\">6</a><a href=\"html/Page Two.html\">7</a>"
            "<a href=\"mailto:x@y\">8</a>");
  // A page at the top that names package entries already is left alone.
  EXPECT_EQ(BytesOf(files, "index.html"),
            "<a href=\"html/index.html\">in</a><img src=\"html/up.png\">");
  EXPECT_TRUE(notes.empty());
}

TEST(TreeNames, NamesEqualIgnoringCaseGetNamesOfTheirOwn) {
  // In the package's order: sorted ignoring case.
  std::vector<PackageFile> files = {
      Page("FAQ.html", "<a href=\"faq.html#q1\">long</a><a href=\"FAQ.html\">self</a>"),
      Page("faq.html", "<a href=\"FAQ.html\">up</a><a href=\"faq.html#q2\">self</a>"),
      Page("faq_2.html", "<p>taken"),
      Page("tech.html", "<a href=\"faq.html\">faq</a><a href=\"Faq.html\">either</a>"),
  };
  std::vector<std::string> notes;
  const TreeNamesOutcome outcome = ResolveTreeNames(files, notes);
  EXPECT_EQ(outcome.renamed, 1);
  ASSERT_EQ(files[1].name, "faq_3.html");
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_EQ(notes[0],
            "FAQ.html and faq.html differ only in case, which the help window does not tell "
            "apart: faq.html is packed as faq_3.html");
  EXPECT_EQ(files[0].bytes, "<a href=\"faq_3.html#q1\">long</a><a href=\"FAQ.html\">self</a>");
  EXPECT_EQ(files[1].bytes, "<a href=\"FAQ.html\">up</a><a href=\"faq_3.html#q2\">self</a>");
  EXPECT_EQ(files[2].bytes, "<p>taken");
  // "Faq.html" names neither exactly: the first of the name, as the window
  // would find it.
  EXPECT_EQ(files[3].bytes, "<a href=\"faq_3.html\">faq</a><a href=\"Faq.html\">either</a>");
}

}  // namespace
}  // namespace kiv
