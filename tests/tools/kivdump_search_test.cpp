// kivdump search: the help window's search seen from outside, one JSON
// object per result, with the texts of pages in any code page in UTF-8.
#include <gtest/gtest.h>
#include <QJsonDocument>
#include <QJsonObject>

#include <sstream>
#include <string>
#include <vector>

#include "platform/code_page.h"
#include "run_tool.h"
#include "support/test_files.h"

namespace kiv {
namespace {

using testing::RunTool;
using testing::TempDir;

TEST(KivdumpSearch, RanksPagesOfEveryCodePageAndPrintsTheirTextsInUtf8) {
  TempDir dir;
  const auto cyrillic = [](const std::string& utf8) {
    return Utf8ToCodePage(CodePage::Windows1251, utf8);
  };
  const std::string path = dir.Write(
      "kivmap.hpm",
      testing::MakePackage({{"ru.html", "<META CHARSET=windows-1251><TITLE>" + cyrillic("Справка") +
                               "</TITLE><DIV ID=\"lang\"><H2>" + cyrillic("Язык запросов") +
                               "</H2></DIV><P>" + cyrillic("ЯЗЫК и язык") + "</P>"},
               {"fr.html", "<TITLE>\xC9t\xE9</TITLE><H2>\xC9t\xE9</H2><P>l'\xE9t\xE9 \xFF</P>"}}));
  auto r = RunTool("kivdump", {"search", path, "язык"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  auto found = testing::JsonLines(r.out);
  ASSERT_EQ(found.size(), 1u) << r.out;
  EXPECT_EQ(found[0]["rank"].toInt(), 1);
  EXPECT_EQ(found[0]["page"].toString(), "ru.html");
  EXPECT_EQ(found[0]["anchor"].toString(), "lang");
  EXPECT_EQ(found[0]["title"].toString(), QString::fromUtf8("Справка"));
  EXPECT_EQ(found[0]["heading"].toString(), QString::fromUtf8("Язык запросов"));
  EXPECT_GT(found[0]["score"].toDouble(), 0);

  // The same byte in Windows-1252 is another letter; accented capitals fold.
  r = RunTool("kivdump", {"search", path, "ÿ"});
  found = testing::JsonLines(r.out);
  ASSERT_EQ(found.size(), 1u) << r.out;
  EXPECT_EQ(found[0]["page"].toString(), "fr.html");
  r = RunTool("kivdump", {"search", path, "ÉTÉ"});
  found = testing::JsonLines(r.out);
  ASSERT_EQ(found.size(), 1u) << r.out;
  EXPECT_EQ(found[0]["title"].toString(), QString::fromUtf8("Été"));
  EXPECT_EQ(found[0]["heading"].toString(), QString::fromUtf8("Été"));

  // A character no page can hold, punctuation alone: nothing, and success.
  for (const std::string q : {"язык 中", "\"", "!?"}) {
    r = RunTool("kivdump", {"search", path, q});
    EXPECT_EQ(r.exitCode, 0) << q;
    EXPECT_TRUE(r.out.empty()) << q << ": " << r.out;
  }
}

}  // namespace
}  // namespace kiv
