// kivdump tokens: the tokenizer seen from outside, one JSON object per symbol.
#include <gtest/gtest.h>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <sstream>

#include "run_tool.h"
#include "support/test_files.h"

namespace kiv {
namespace {

using testing::RunTool;
using testing::TempDir;

TEST(KivdumpTokens, OneObjectPerSymbolWithLevelsAttributesAndLatin1Text) {
  TempDir dir;
  const std::string page =
      dir.Write("p.htm",
                "<H2 Align=Right>Caf\xE9 &copy;</h2>\r\n<img src=a.gif border width=\"50%\">"
                "<li type=x>&#300;>\x01");
  auto r = RunTool("kivdump", {"tokens", page});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  auto objects = testing::JsonLines(r.out);
  ASSERT_EQ(objects.size(), 11u) << r.out;

  EXPECT_EQ(objects[0]["sym"].toString(), "H");
  EXPECT_EQ(objects[0]["level"].toInt(), 2);
  QJsonArray attrs = objects[0]["attrs"].toArray();
  ASSERT_EQ(attrs.size(), 1);
  EXPECT_EQ(attrs[0].toObject()["id"].toString(), "ALIGN");
  EXPECT_EQ(attrs[0].toObject()["text"].toString(), "Right");
  EXPECT_EQ(attrs[0].toObject()["value"].toInt(), 0);

  EXPECT_EQ(objects[1]["sym"].toString(), "Text");
  EXPECT_EQ(objects[1]["token"].toString(), QString::fromUtf8("Café "));
  EXPECT_EQ(objects[2]["token"].toString(), QString(QChar(0xA9)));
  EXPECT_EQ(objects[3]["sym"].toString(), "/H");
  EXPECT_EQ(objects[3]["level"].toInt(), 2);
  EXPECT_FALSE(objects[3].contains("attrs"));
  EXPECT_EQ(objects[4]["token"].toString(), " ");

  EXPECT_EQ(objects[5]["sym"].toString(), "IMG");
  attrs = objects[5]["attrs"].toArray();
  ASSERT_EQ(attrs.size(), 3);
  EXPECT_EQ(attrs[2].toObject()["value"].toInt(), 50);
  EXPECT_EQ(objects[6]["sym"].toString(), "LI");  // takes no attributes
  EXPECT_FALSE(objects[6].contains("attrs"));
  EXPECT_FALSE(objects[6].contains("level"));
  EXPECT_EQ(objects[7]["token"].toString(), "&#300;");
  EXPECT_EQ(objects[8]["sym"].toString(), "StrayChar");
  EXPECT_EQ(objects[9]["token"].toString(), QString(QChar(1)));
  EXPECT_EQ(objects[10]["sym"].toString(), "EndOfInput");
}

TEST(KivdumpTokens, SourcesAgreeAndAnOpenCommentIsReported) {
  TempDir dir;
  std::string text = "<p>";
  // Ends in a line end, as a string list gives every line one.
  for (int i = 0; i < 400; ++i) text += "line " + std::to_string(i) + "\r\n<b>x</b>\r\n";
  const std::string page = dir.Write("long.htm", text);
  auto buffer = RunTool("kivdump", {"tokens", page});
  ASSERT_EQ(buffer.exitCode, 0);
  for (const char* source : {"file", "stream", "strings"}) {
    auto other = RunTool("kivdump", {"tokens", page, "--source", source});
    EXPECT_EQ(other.exitCode, 0) << source;
    EXPECT_TRUE(other.out == buffer.out) << source;
  }

  auto open = RunTool("kivdump", {"tokens", dir.Write("open.htm", "<b>x</b><!-- never closed")});
  EXPECT_EQ(open.exitCode, 1);
  auto objects = testing::JsonLines(open.out);
  // Reading past the ">" of "</b>" already meets the comment: no "/B" arrives.
  ASSERT_EQ(objects.size(), 3u) << open.out;
  EXPECT_EQ(objects[1]["token"].toString(), "x");
  EXPECT_EQ(objects[2]["error"].toString(), "Open Comment at End of HTML File");

  EXPECT_EQ(RunTool("kivdump", {"tokens", dir.File("missing.htm")}).exitCode, 1);
  EXPECT_EQ(RunTool("kivdump", {"tokens", page, "--source", "bogus"}).exitCode, 2);
}

}  // namespace
}  // namespace kiv
