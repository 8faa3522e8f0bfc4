// The command line every KivHelp tool shares: -h/--help and --version on the
// tool and on each of its commands, and one-line errors with the exit codes
// scripts rely on (0 done, 1 failure, 2 usage).
#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <string>

namespace kiv::tool {

inline constexpr int ExitFailure = 1;
inline constexpr int ExitUsage = 2;
// ParseCommandLine's answer when the command should go on.
inline constexpr int Proceed = -1;

// "kivpack (KivHelp) 0.1+g41592b9": the tool's name and the build's version.
std::string VersionLine(const std::string& tool);

// Adds -h/--help and --version to a parser.
void AddStandardOptions(QCommandLineParser& parser);

// The parser's help with its usage line naming the invocation ("kivdump
// render") instead of the executable's path.
std::string HelpText(const QCommandLineParser& parser, const std::string& invocation);

// Parses args (the program first, then the arguments). --help prints the help
// and --version the version line to standard output (0); an unknown option or
// a missing value prints one line naming it to standard error (2). Proceed
// when the command should run.
int ParseCommandLine(QCommandLineParser& parser, const QStringList& args,
                     const std::string& invocation, const std::string& tool);

// Prints "invocation: message" to standard error and returns code.
int Complain(const std::string& invocation, const std::string& message, int code);

// True when path names a folder: the tools refuse one by name where they want
// a file, for reading or writing.
bool IsFolder(const QString& path);

}  // namespace kiv::tool
