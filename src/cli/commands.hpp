// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The subcommands of kestra-cli. Each lives in its own cmd_*.cpp file; KESTRA_CLI_COMMANDS is the
// one list main() builds its dispatch table and usage text from, so a new subcommand is its
// file, its CMake source line and one line here.

#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace kestra {
class ChannelDocument;
class MemoryImage;
class ChannelTable;
}  // namespace kestra

namespace kestra::cli {

// What every subcommand gets: its arguments (after the subcommand name), the program's argv[0]
// for finding the program directory, and where to print. A subcommand returns the exit code;
// on failure it prints one line to err.
struct Context {
    std::span<const std::string> args;
    const char* argv0 = nullptr;
    std::ostream& out;
    std::ostream& err;
};

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
// A transfer stopped by Ctrl+C or SIGTERM (128 + SIGINT, as shells report it).
inline constexpr int kExitInterrupted = 130;

// X(name, function, arguments, description)
#define KESTRA_CLI_COMMANDS(X)                                                                 \
    X("new", RunNew, "-o FILE", "write a new document (Default.dat or built-in defaults)")     \
    X("channels", RunChannels, "FILE", "list the 258 channel rows as the grid shows them")     \
    X("channel", RunChannel, "FILE CH [-o OUT CAPTION=VALUE...]",                              \
      "print channel CH as Channel Edit shows it, or edit it and save as OUT")                 \
    X("batch", RunBatch, "FILE -o OUT [OPTION...]",                                            \
      "generate a range of channels as Batch Generate does and save as OUT")                   \
    X("sort", RunSort, "FILE -o OUT --by rx|tx|name [--desc] [--section a|b|both]",            \
      "sort the channels of each section (empty slots last) and save as OUT")                  \
    X("move", RunMove, "FILE -o OUT FROM[-TO] AT",                                             \
      "move channels FROM-TO to start at AT, the others shifting, and save as OUT")            \
    X("insert", RunInsert, "FILE -o OUT AT [--count N]",                                       \
      "insert N empty channels at AT, the following shifting down, and save as OUT")           \
    X("remove", RunRemove, "FILE -o OUT FROM[-TO]",                                            \
      "remove channels FROM-TO, the following shifting up, and save as OUT")                   \
    X("find", RunFind, "FILE TEXT",                                                            \
      "list the channels whose name contains TEXT or whose frequency starts with it")          \
    X("save-as", RunSaveAs, "[--model NAME] IN OUT",                                           \
      "open IN, encode it as a save does and write it to OUT")                                 \
    X("settings", RunSettings, "FILE [-o OUT [--apply SETTINGS.ini]]",                         \
      "print the settings dialogs' fields, or apply a settings file and save as OUT")          \
    X("ports", RunPorts, "", "list COM1-COM16 with their devices, and other serial devices")   \
    X("info", RunInfo, "[--port P]", "identify the radio: model, versions, section limits")    \
    X("doctor", RunDoctor, "[--port P]",                                                       \
      "find out why the cable does not work, and test the radio on the port")                  \
    X("read", RunRead, "[--port P] [--service] -o FILE", "read the radio's memory into FILE")  \
    X("write", RunWrite, "[--port P] [--service] [--model NAME] [--verify] FILE",              \
      "write FILE to the radio as Program, Write does; --verify reads it back")                \
    X("fleet", RunFleetCommand,                                                                \
      "write FILE --port P1 --port P2... [--verify] [--model NAME] [--own-id-start N] "        \
      "[--report OUT.json] | read --port P1 --port P2... -o DIR [--report OUT.json]",          \
      "write FILE to several radios at once, or read them all; a table and a JSON report")     \
    X("clone", RunClone, "--from P1 --to P2 [--verify]",                                       \
      "read one radio and write its memory to another with the same bands")                    \
    X("calibration", RunCalibration, "FILE [-o OUT [--apply CAL.ini]]",                        \
      "print the service editors' values, or set them and save as OUT")                        \
    X("service", RunService,                                                                   \
      "read|write --area AREA --password TEXT [--port P] FILE [-o OUT] [--force]",             \
      "read a service dialog's area (parameter-adjust, dtmf-initialization, sql-adjust) into " \
      "FILE saved as OUT, or write FILE's area after backing up the radio's values")           \
    X("export", RunExport, "FILE -o OUT.csv", "write the channels as CSV for other tools")     \
    X("import", RunImport, "FILE IN.csv -o OUT [--append]",                                    \
      "put a CSV channel list into FILE's channels and save as OUT")                           \
    X("diff", RunDiff, "A B",                                                                  \
      "list what differs between two documents in the editors' words (exit 1 when they do)")   \
    X("backups", RunBackups, "", "list the automatic backups of radio transfers")

#define KESTRA_CLI_DECLARE(name, function, arguments, description) int function(const Context&);
KESTRA_CLI_COMMANDS(KESTRA_CLI_DECLARE)
#undef KESTRA_CLI_DECLARE

// "usage: kestra-cli <command> <arguments>" from the command list.
std::string Usage(std::string_view command);

// The lines `<command> --help` adds after the description (each ending in a line feed); empty
// for most commands.
std::string_view CommandNotes(std::string_view command);

// One line "kestra-cli: <text>" on ctx.err; returns code.
int Fail(const Context& ctx, const std::string& text, int code = kExitFailure);

// Opens a document the way the desktop program does (ChannelDocument::Open): the file's 16384
// bytes, the limits pairs it holds, its grid and its model block. False after printing one line
// when the file cannot be opened.
bool OpenDocument(const Context& ctx, const std::string& path, ChannelDocument& document);

// What --model means for save-as and write: the radio model whose block the document is saved or
// written with, as if picked in the "Radio" box after opening. Without it the document keeps
// the model its block names, and one without a block gets the start-up model "6120E" (what a
// freshly started desktop program shows).
void ApplyModelOption(const std::optional<int>& model, ChannelDocument& document);

// Opens the document at path and encodes it as Program, Write does before it sends anything: the
// grid stored back with the model block of --model (else the document's own model) and every
// summary area the radio needs. The image about to be sent lands in image; the file is not
// changed. False after printing one line when the file cannot be opened.
bool PrepareForWrite(const Context& ctx, const std::string& path, const std::optional<int>& model,
                     MemoryImage& image);

// One row of the channel grid as kestra-cli channels prints it: the row label, then the eight
// cell texts, separated by tabs, and a line end.
std::string ChannelRowLine(const ChannelTable& table, int record);

// Saves an opened document to path the way Save As does (ChannelDocument::Save: the grid encoded
// back with the document's model block and every summary area, then the 16384 bytes written
// atomically). kExitOk, or kExitFailure after printing one line.
int SaveDocument(const Context& ctx, ChannelDocument& document, const std::string& path);

}  // namespace kestra::cli
