// SPDX-License-Identifier: GPL-3.0-or-later
// kestra-cli run as a program: new, channels and save-as on real files in a temporary program
// directory, and the failures that must leave no output file behind.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "channels/channel_document.hpp"
#include "channels/image_preparation.hpp"
#include "model/document_file.hpp"
#include "support/temp_dir.hpp"

namespace kestra {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    int code = -1;
    std::string out;
    std::string err;
};

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class KestraCli : public ::testing::Test {
protected:
    // Runs kestra-cli with KESTRA_HOME = dir; arguments are passed single-quoted.
    Outcome Run(const std::vector<std::string>& args) {
        std::string command =
            "KESTRA_HOME='" + dir.string() + "' '" KESTRA_BINARY_DIR "/kestra-cli'";
        for (const auto& arg : args) {
            command += " '" + arg + "'";
        }
        command += " >'" + (dir / "stdout").string() + "' 2>'" + (dir / "stderr").string() + "'";
        const int status = std::system(command.c_str());
        Outcome outcome;
        outcome.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        outcome.out = Slurp(dir / "stdout");
        outcome.err = Slurp(dir / "stderr");
        return outcome;
    }
    std::string Path(const char* name) const { return (dir / name).string(); }

    test::TempDir temp{"kestra-cli"};
    const fs::path dir = temp.path();
};

MemoryImage SampleImage() {
    MemoryImage image = BuiltInDocumentImage();
    image.write(
        0, std::vector<std::uint8_t>{0x00, 0x25, 0x65, 0x14, 0xFF, 0xFF, 0xFF, 0xFF, 0x23, 0x80});
    image.write(RecordOffset(130),
                std::vector<std::uint8_t>{0x00, 0x00, 0x60, 0x44, 0x00, 0x00, 0x00, 0x44});
    image[0x2E90] = 0x55;  // changed by an encode
    return image;
}

TEST_F(KestraCli, NewWritesTheNewDocumentImage) {
    const Outcome made = Run({"new", "-o", Path("new.dat")});
    ASSERT_EQ(made.code, 0) << made.err;
    EXPECT_EQ(Slurp(Path("new.dat")).size(), kImageSize);
    MemoryImage loaded;
    ASSERT_TRUE(LoadDocumentFile(Path("new.dat"), loaded));
    EXPECT_EQ(loaded, BuiltInDocumentImage());

    // A Default.dat in the program directory is the template.
    std::ofstream(Path("Default.dat"), std::ios::binary) << std::string(100, '\x42');
    ASSERT_EQ(Run({"new", "-o", Path("fromdefault.dat")}).code, 0);
    const std::string bytes = Slurp(Path("fromdefault.dat"));
    EXPECT_EQ(bytes, std::string(100, '\x42') + std::string(kImageSize - 100, '\xFF'));
}

TEST_F(KestraCli, ChannelsPrintsOneLinePerRow) {
    ASSERT_TRUE(SaveDocumentFile(Path("in.dat"), SampleImage()));
    const Outcome listed = Run({"channels", Path("in.dat")});
    ASSERT_EQ(listed.code, 0) << listed.err;
    std::istringstream lines(listed.out);
    std::vector<std::string> rows;
    for (std::string line; std::getline(lines, line);) {
        rows.push_back(line);
    }
    ASSERT_EQ(rows.size(), 258u);
    EXPECT_EQ(rows[0], "A 001\t146.52500\t\tD023N\tNone\tHigh\tAdd\tWide\tOff");
    EXPECT_EQ(rows[1], "A 002\t\t\t\t\t\t\t\t");
    EXPECT_EQ(rows[130], "B 003\t446.00000\t440.00000\tNone\tNone\tHigh\tAdd\tWide\tOff");
    EXPECT_EQ(rows[257], "B VFO\t\t\t\t\t\t\t\t");
}

TEST_F(KestraCli, SaveAsEncodesLikeTheProgramAndIsIdempotent) {
    const MemoryImage sample = SampleImage();
    ASSERT_TRUE(SaveDocumentFile(Path("in.dat"), sample));
    const Outcome saved = Run({"save-as", Path("in.dat"), Path("out.dat")});
    ASSERT_EQ(saved.code, 0) << saved.err;

    MemoryImage expected = sample;
    SectionLimits limits;
    ChannelDocument(expected, limits).StoreGridToImage();
    MemoryImage out;
    ASSERT_TRUE(LoadDocumentFile(Path("out.dat"), out));
    EXPECT_EQ(out, expected);
    EXPECT_EQ(out[0x2F01], 0xB0);  // 6120E

    ASSERT_EQ(Run({"save-as", Path("out.dat"), Path("again.dat")}).code, 0);
    EXPECT_EQ(Slurp(Path("again.dat")), Slurp(Path("out.dat")));

    // A document saved for another model keeps that model's block, as the program keeps it.
    MemoryImage forHe = sample;
    WriteModelBlock(forHe, 0);
    ASSERT_TRUE(SaveDocumentFile(Path("he.dat"), forHe));
    ASSERT_EQ(Run({"save-as", Path("he.dat"), Path("he-out.dat")}).code, 0);
    MemoryImage heOut;
    ASSERT_TRUE(LoadDocumentFile(Path("he-out.dat"), heOut));
    EXPECT_EQ(ModelIndexOfImage(heOut), 0);
}

TEST_F(KestraCli, ModelOptionPicksTheBlockASaveWrites) {
    MemoryImage forHe = SampleImage();
    WriteModelBlock(forHe, 0);
    ASSERT_TRUE(SaveDocumentFile(Path("he.dat"), forHe));
    ASSERT_TRUE(SaveDocumentFile(Path("plain.dat"), SampleImage()));
    for (const char* in : {"he.dat", "plain.dat"}) {
        const Outcome saved = Run({"save-as", "--model", "6120N", Path(in), Path("n.dat")});
        ASSERT_EQ(saved.code, 0) << saved.err;
        MemoryImage out;
        ASSERT_TRUE(LoadDocumentFile(Path("n.dat"), out));
        EXPECT_EQ(ModelIndexOfImage(out), 1) << in;
    }
    // Only the three model names; nothing is written for another.
    const Outcome refused = Run({"save-as", "--model=6120X", Path("plain.dat"), Path("x.dat")});
    EXPECT_EQ(refused.code, 2);
    EXPECT_NE(refused.err.find("unknown model 6120X"), std::string::npos) << refused.err;
    EXPECT_FALSE(fs::exists(Path("x.dat")));
}

TEST_F(KestraCli, FailuresExitNonZeroWithOneLineAndNoFile) {
    std::ofstream(Path("short.dat"), std::ios::binary) << std::string(100, '\0');
    const std::vector<std::vector<std::string>> failing{
        {},
        {"frobnicate"},
        {"new"},
        {"new", "-x", Path("out.dat")},
        {"channels"},
        {"channels", Path("missing.dat")},
        {"save-as", Path("missing.dat"), Path("out.dat")},
        {"save-as", Path("short.dat"), Path("out.dat")},
        {"save-as", Path("short.dat")},
        {"new", "-o", Path("no-such-dir/out.dat")},
        {"new", "-o", Path("out.dat"), "-o", Path("out.dat")},
        {"channels", "-x", Path("short.dat")},
        {"save-as", "--force", Path("short.dat"), Path("out.dat")},
        {"save-as", "--model", Path("short.dat"), Path("out.dat")},
        {"save-as", "--model", "6120E", "--model", "6120E", Path("short.dat"), Path("out.dat")},
        {"write", "--port", "demo", "--model", "6120", Path("short.dat")},
        // The radio commands refuse their arguments before any port is opened.
        {"read", "--port", "-o", Path("out.dat")},
        {"read", "-o", Path("out.dat"), "--port"},
        {"read", "--port", "demo", "-o", Path("out.dat"), "-o", Path("out.dat")},
        {"read", "--port", "demo", "--port", "demo", "-o", Path("out.dat")},
        {"read", "--port", "demo", "-o", Path("out.dat"), "extra"},
        {"read", "--port", "demo", "-o", dir.string()},
        {"read", "--port", "demo", "-o", Path("no-such-dir/out.dat")},
        {"write", "--port", "demo", "-o", Path("out.dat"), Path("short.dat")},
        {"write", "--port", "demo", Path("short.dat")},
        {"info", "--service", "--port", "demo"},
        {"ports", "--all"},
        {"export", Path("short.dat"), "-o", Path("out.dat")},
        {"export", Path("short.dat")},
        {"import", Path("short.dat"), Path("list.csv"), "-o", Path("out.dat")},
        {"import", Path("short.dat"), Path("list.csv"), "-o", Path("out.dat"), "--append=yes"},
        {"diff", Path("short.dat")},
        {"backups", "extra"},
    };
    for (const auto& args : failing) {
        const Outcome outcome = Run(args);
        const std::string shown = args.empty() ? "(none)" : args.front();
        EXPECT_NE(outcome.code, 0) << shown;
        EXPECT_FALSE(outcome.err.empty()) << shown;
        EXPECT_FALSE(fs::exists(Path("out.dat"))) << shown;
        if (!args.empty()) {
            EXPECT_EQ(outcome.err.find('\n'), outcome.err.size() - 1) << outcome.err;
        }
    }
    EXPECT_EQ(Run({"help"}).code, 0);
}

TEST_F(KestraCli, HelpOfACommandIsItsUsageOnStandardOutput) {
    for (const char* command : {"new", "channels", "save-as", "ports", "info", "read", "write",
                                "export", "import", "diff", "backups", "service"}) {
        for (const char* option : {"--help", "-h"}) {
            const Outcome help = Run({command, option});
            EXPECT_EQ(help.code, 0) << command << " " << option << ": " << help.err;
            const std::string usage = std::string("usage: kestra-cli ") + command;
            EXPECT_TRUE(help.out.starts_with(usage + " ") || help.out.starts_with(usage + "\n"))
                << help.out;
            EXPECT_EQ(help.err, "");
        }
    }
    // The usage names every option the command takes.
    EXPECT_NE(Run({"write", "--help"}).out.find("[--service]"), std::string::npos);
    EXPECT_NE(Run({"write", "--help"}).out.find("[--model NAME]"), std::string::npos);
    EXPECT_NE(Run({"save-as", "--help"}).out.find("[--model NAME]"), std::string::npos);
    EXPECT_NE(Run({"read", "--help"}).out.find("-o FILE"), std::string::npos);
    EXPECT_NE(Run({"import", "--help"}).out.find("[--append]"), std::string::npos);
    const std::string service = Run({"service", "--help"}).out;
    for (const char* part : {"read|write", "--area AREA", "--password TEXT", "[--force]"}) {
        EXPECT_NE(service.find(part), std::string::npos) << part << " in " << service;
    }
    EXPECT_NE(Run({"help"}).out.find("\n  service read|write"), std::string::npos);
}

}  // namespace
}  // namespace kestra
