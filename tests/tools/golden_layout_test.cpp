// Golden layout tests: every page in tests/data/layout is built and laid out
// with fixed metrics by kivdump, and the dump must equal the expectation
// beside it. tests/data/layout/regenerate.sh rewrites the expectations.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "run_tool.h"
#include "support/test_files.h"

namespace kiv {
namespace {

using testing::ReadFile;
using testing::RunTool;

QString LayoutDir() { return QString(KIV_SOURCE_DIR) + "/tests/data/layout"; }

// A readable account of how two dumps differ.
std::string Diff(const std::string& expected, const std::string& actual) {
  QTemporaryDir dir;
  QFile a(dir.filePath("expected")), b(dir.filePath("actual"));
  if (!a.open(QIODevice::WriteOnly) || !b.open(QIODevice::WriteOnly)) return "(no diff)";
  a.write(expected.data(), static_cast<qint64>(expected.size()));
  b.write(actual.data(), static_cast<qint64>(actual.size()));
  a.close();
  b.close();
  QProcess diff;
  diff.start("diff", {"-u", a.fileName(), b.fileName()});
  diff.waitForFinished();
  return diff.readAllStandardOutput().toStdString();
}

TEST(GoldenLayoutTest, EveryPageLaysOutAsExpected) {
  const QStringList pages = QDir(LayoutDir()).entryList({"*.html"}, QDir::Files, QDir::Name);
  ASSERT_GE(pages.size(), 30);
  for (const QString& page : pages) {
    const std::string path = (LayoutDir() + "/" + page).toStdString();
    const std::string expectedPath = path.substr(0, path.size() - 5) + ".expected.jsonl";
    auto result = RunTool("kivdump", {"sections", path, "--metrics", "fixed"});
    ASSERT_EQ(result.exitCode, 0) << page.toStdString() << ": " << result.err;
    const std::string expected = ReadFile(expectedPath);
    ASSERT_FALSE(expected.empty()) << "no expectation for " << page.toStdString()
                                   << "; run tests/data/layout/regenerate.sh";
    EXPECT_EQ(result.out, expected) << page.toStdString() << ":\n" << Diff(expected, result.out);
  }
}

}  // namespace
}  // namespace kiv
