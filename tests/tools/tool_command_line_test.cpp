// The command line kivpack and kivdump share: --version and --help on the
// tool and on every command, and one-line errors naming the option or file,
// with exit code 2 for wrong usage and 1 for a failure.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <sstream>
#include <string>
#include <vector>

#include "run_tool.h"
#include "support/test_files.h"

namespace kiv {
namespace {

using testing::RunTool;
using testing::TempDir;
using testing::ToolResult;

int Lines(const std::string& text) {
  int n = 0;
  for (char c : text) n += c == '\n';
  return n;
}

// One line on standard error that names what was wrong, nothing on standard output.
void ExpectOneLineError(const ToolResult& r, int code, const std::string& named) {
  EXPECT_EQ(r.exitCode, code) << r.err;
  EXPECT_EQ(Lines(r.err), 1) << r.err;
  EXPECT_NE(r.err.find(named), std::string::npos) << "should name " << named << ": " << r.err;
  EXPECT_EQ(r.out, "");
}

// The commands kivdump --help lists, one "  NAME  summary" line each.
std::vector<std::string> DumpCommands() {
  const ToolResult help = RunTool("kivdump", {"--help"});
  std::vector<std::string> names;
  std::istringstream lines(help.out.substr(help.out.find("Commands")));
  std::string line;
  std::getline(lines, line);
  while (std::getline(lines, line) && line.rfind("  ", 0) == 0) {
    std::istringstream words(line);
    names.emplace_back();
    words >> names.back();
  }
  return names;
}

TEST(ToolCommandLine, VersionIsOneLineOfTheBuildsVersion) {
  const ToolResult pack = RunTool("kivpack", {"--version"});
  const ToolResult dump = RunTool("kivdump", {"--version"});
  ASSERT_EQ(pack.exitCode, 0);
  ASSERT_EQ(dump.exitCode, 0);
  ASSERT_EQ(pack.out.rfind("kivpack (KivHelp) ", 0), 0u) << pack.out;
  ASSERT_EQ(dump.out.rfind("kivdump (KivHelp) ", 0), 0u) << dump.out;
  const std::string version = pack.out.substr(18);
  EXPECT_EQ(dump.out.substr(18), version);
  EXPECT_EQ(Lines(pack.out), 1);
  // The project's version first, digits and dots.
  EXPECT_TRUE(version.size() > 2 && std::isdigit(static_cast<unsigned char>(version[0])))
      << version;
  for (const std::string& command : DumpCommands())
    EXPECT_EQ(RunTool("kivdump", {command, "--version"}).out, dump.out) << command;
}

TEST(ToolCommandLine, HelpGoesToStandardOutputAndNamesTheInvocation) {
  const ToolResult pack = RunTool("kivpack", {"--help"});
  EXPECT_EQ(pack.exitCode, 0);
  EXPECT_EQ(pack.out.rfind("Usage: kivpack ", 0), 0u) << pack.out;
  EXPECT_NE(pack.out.find("--output"), std::string::npos);
  EXPECT_EQ(RunTool("kivpack", {"-h"}).out, pack.out);

  const std::vector<std::string> commands = DumpCommands();
  for (const char* expected : {"render", "print", "sections", "tokens", "image"})
    EXPECT_NE(std::find(commands.begin(), commands.end(), expected), commands.end()) << expected;
  for (const std::string& command : commands) {
    const ToolResult help = RunTool("kivdump", {command, "--help"});
    EXPECT_EQ(help.exitCode, 0) << command;
    EXPECT_EQ(help.out.rfind("Usage: kivdump " + command + " ", 0), 0u) << help.out;
    // The toolkit's --help-all lists options the tools do not take.
    EXPECT_EQ(help.out.find("--help-all"), std::string::npos) << command;
  }
}

TEST(ToolCommandLine, UnknownOptionsAndMissingValuesAreUsageErrors) {
  ExpectOneLineError(RunTool("kivpack", {"--frobnicate"}), 2, "frobnicate");
  ExpectOneLineError(RunTool("kivpack", {"build", "somewhere", "-o"}), 2, "-o");
  ExpectOneLineError(RunTool("kivpack", {"frobnicate"}), 2, "frobnicate");
  ExpectOneLineError(RunTool("kivpack", {}), 2, "usage");
  ExpectOneLineError(RunTool("kivpack", {"build", "somewhere"}), 2, "usage: kivpack build");
  ExpectOneLineError(RunTool("kivpack", {"lookup", "kivmap.hpm"}), 2, "usage: kivpack lookup");
  ExpectOneLineError(RunTool("kivdump", {"--frobnicate"}), 2, "frobnicate");
  ExpectOneLineError(RunTool("kivdump", {"frobnicate"}), 2, "frobnicate");
  ExpectOneLineError(RunTool("kivdump", {}), 2, "usage");
  for (const std::string& command : DumpCommands()) {
    SCOPED_TRACE(command);
    ExpectOneLineError(RunTool("kivdump", {command, "page.html", "--frobnicate"}), 2, "frobnicate");
    ExpectOneLineError(RunTool("kivdump", {command}), 2, "usage: kivdump " + command);
  }
  ExpectOneLineError(RunTool("kivdump", {"render", "page.html", "--out"}), 2, "--out");
  ExpectOneLineError(RunTool("kivdump", {"tokens", "page.html", "--source", "x"}), 2, "--source");
}

TEST(ToolCommandLine, FoldersGivenAsFilesAreNamedFailures) {
  TempDir dir;
  const std::string page = dir.Write("help/page.html", "<p>page");
  const std::string folder = dir.File("help");
  const std::string pkg = dir.File("kivmap.hpm");
  ASSERT_EQ(RunTool("kivpack", {"build", folder, "-o", pkg}).exitCode, 0);

  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"list", folder}, {"lookup", folder, "page.html"},
        {"extract", folder, "page.html"}, {"verify", folder}}) {
    SCOPED_TRACE(args[0]);
    ExpectOneLineError(RunTool("kivpack", args), 1, folder + " is a folder");
  }
  ExpectOneLineError(RunTool("kivpack", {"build", folder, "-o", dir.Path()}), 1,
                     dir.Path() + ": it is a folder");
  ExpectOneLineError(RunTool("kivpack", {"extract", pkg, "page.html", "-o", folder}), 1,
                     folder + ": it is a folder");

  ExpectOneLineError(RunTool("kivdump", {"tokens", folder}), 1, folder + " is a folder");
  ExpectOneLineError(RunTool("kivdump", {"sections", folder}), 1, folder);
  ExpectOneLineError(RunTool("kivdump", {"render", folder, "--out", dir.File("p.png")}), 1, folder);
  ExpectOneLineError(RunTool("kivdump", {"render", page, "--out", folder}), 1, folder);
  ExpectOneLineError(
      RunTool("kivdump", {"render", page, "--out", dir.File("p.png"), "--package", folder}), 1,
      folder + " is a folder");
  ExpectOneLineError(
      RunTool("kivdump", {"print", page, "--out", dir.File("p.pdf"), "--package", folder}), 1,
      folder + " is a folder");
  // image reports in JSON on standard output, as for every picture it cannot read.
  const ToolResult image = RunTool("kivdump", {"image", folder});
  EXPECT_EQ(image.exitCode, 1);
  EXPECT_NE(image.out.find(folder + " is a folder"), std::string::npos) << image.out;
}

}  // namespace
}  // namespace kiv
