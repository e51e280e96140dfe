// SPDX-License-Identifier: GPL-3.0-or-later
// kestra-cli fleet and clone against several kestra-virtual-radios on real pseudo-terminals:
// every radio written at once, each checked byte for byte; a silent radio failing alone; Own IDs
// numbered; the report telling what the table tells; Ctrl+C stopping every radio.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <memory>
#include <regex>
#include <sstream>

#include "e2e/radio_fixtures.hpp"
#include "settings/settings_text.hpp"

namespace kestra::test {
namespace {

// The "Own ID=" line the settings print shows for an image.
std::string OwnIdOf(const MemoryImage& image) {
    std::string callId = "100";
    SettingsForms forms(callId);
    forms.LoadFromImage(image);
    const std::string text = PrintSettings(forms);
    const std::size_t at = text.find("\nOwn ID=");
    return at == std::string::npos ? "" : text.substr(at + 8, text.find('\n', at + 1) - at - 8);
}

// The table at the end of stdout: one vector of cells per line (cells are two spaces apart).
std::vector<std::vector<std::string>> TableOf(const std::string& out) {
    const std::size_t start = out.find("\nPort ");
    std::vector<std::vector<std::string>> rows;
    if (start == std::string::npos) {
        return rows;
    }
    std::istringstream lines(out.substr(start + 1));
    static const std::regex gap(" {2,}");
    for (std::string line; std::getline(lines, line);) {
        rows.emplace_back(std::sregex_token_iterator(line.begin(), line.end(), gap, -1),
                          std::sregex_token_iterator());
    }
    return rows;
}

QJsonObject LoadReport(const std::filesystem::path& path) {
    QJsonParseError error{};
    const QJsonDocument json =
        QJsonDocument::fromJson(QByteArray::fromStdString(ReadText(path)), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    return json.object();
}

// Radios on their own pseudo-terminals, each saving its memory after a write.
struct Radios {
    Radios(const TempDir& dir, const std::vector<std::vector<std::string>>& options) {
        for (std::size_t i = 0; i < options.size(); ++i) {
            const std::string n = std::to_string(i + 1);
            std::vector<std::string> args{"--save", (dir / ("after" + n + ".dat")).string()};
            args.insert(args.end(), options[i].begin(), options[i].end());
            saved.push_back(dir / ("after" + n + ".dat"));
            frames.push_back(dir / ("frames" + n + ".txt"));
            radios.push_back(std::make_unique<RadioProcess>(args, frames.back().string()));
        }
    }
    const std::string& device(std::size_t i) const { return radios[i]->device(); }
    // --port for every radio, in order.
    std::vector<std::string> Ports() const {
        std::vector<std::string> ports;
        for (const auto& radio : radios) {
            ports.insert(ports.end(), {"--port", radio->device()});
        }
        return ports;
    }

    std::vector<std::unique_ptr<RadioProcess>> radios;
    std::vector<std::filesystem::path> saved;
    std::vector<std::filesystem::path> frames;
};

std::vector<std::string> Joined(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class CliFleet : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SaveDocumentFile(dir_ / "doc.dat", document_).ok); }

    TempDir dir_;
    const MemoryImage document_ = DocumentWithChannel();
    const MemoryImage sent_ = PreparedForWrite(document_);
};

TEST_F(CliFleet, EveryRadioIsVerifiedWithItsOwnIdAndTheReportTellsWhatTheTableTells) {
    const std::vector<std::string> fast{"--baud", "0", "--verbose"};
    Radios radios(dir_, {fast, fast, fast});
    const ProgramResult run =
        RunCli(Joined({"fleet", "write", dir_ / "doc.dat", "--verify", "--own-id-start", "101",
                       "--report", dir_ / "report.json"},
                      radios.Ports()));
    ASSERT_EQ(run.exitCode, 0) << run.err << run.out;

    const QJsonObject report = LoadReport(dir_ / "report.json");
    EXPECT_EQ(report["command"].toString(), "fleet write");
    EXPECT_TRUE(report["ok"].toBool());
    const QJsonArray entries = report["radios"].toArray();
    const auto table = TableOf(run.out);
    ASSERT_EQ(entries.size(), 3);
    ASSERT_EQ(table.size(), 4u) << run.out;
    EXPECT_EQ(table[0], (std::vector<std::string>{"Port", "Model", "Firmware", "Own ID", "Result",
                                                  "Seconds"}));
    for (std::size_t i = 0; i < 3; ++i) {
        const std::string ownId = "10" + std::to_string(i + 1);
        ASSERT_TRUE(WaitForFile(radios.saved[i], kImageSize));
        const MemoryImage after = Load(radios.saved[i]);
        EXPECT_EQ(OwnIdOf(after), ownId);
        const QJsonObject entry = entries[static_cast<int>(i)].toObject();
        char seconds[16];
        std::snprintf(seconds, sizeof seconds, "%.1f", entry["seconds"].toDouble());
        EXPECT_EQ(table[i + 1],
                  (std::vector<std::string>{entry["port"].toString().toStdString(),
                                            entry["model"].toString().toStdString(),
                                            entry["firmware"].toString().toStdString(),
                                            entry["own_id"].toString().toStdString(),
                                            entry["result"].toString().toStdString(), seconds}));
        EXPECT_EQ(entry["port"].toString().toStdString(), radios.device(i));
        EXPECT_EQ(entry["own_id"].toString().toStdString(), ownId);
        EXPECT_EQ(entry["result"].toString(), "verified");
        EXPECT_TRUE(entry["verified"].toBool());
        EXPECT_EQ(entry["bands"].toArray()[1].toObject()["upper_mhz"].toInt(), 520);
        EXPECT_TRUE(entry["error"].isNull());
        // The backup is the image this radio got, its Own ID included.
        EXPECT_EQ(OwnIdOf(Load(entry["backup"].toString().toStdString())), ownId);
        EXPECT_NE(run.out.find(radios.device(i) + ": verified in "), std::string::npos);
        EXPECT_NE(ReadText(radios.frames[i]).find("ENDR"), std::string::npos) << "read back";
    }
    // What `write` sends, but for the Own ID and the code that dials it: one digit each.
    const auto differing = [](const MemoryImage& a, const MemoryImage& b) {
        int count = 0;
        for (std::size_t address = 0; address < kImageSize; ++address) {
            count += InWriteRanges(address) && a[address] != b[address] ? 1 : 0;
        }
        return count;
    };
    EXPECT_EQ(differing(Load(radios.saved[0]), sent_), 2);
    EXPECT_EQ(differing(Load(radios.saved[0]), Load(radios.saved[2])), 2);
}

TEST_F(CliFleet, ASilentRadioFailsAloneAndTheOthersAreVerified) {
    const std::vector<std::string> fast{"--baud", "0"};
    Radios radios(dir_, {fast, {"--baud", "0", "--silent"}, fast});
    const ProgramResult run =
        RunCli(Joined({"fleet", "write", dir_ / "doc.dat", "--verify"}, radios.Ports()));
    EXPECT_EQ(run.exitCode, 1) << run.err;
    for (std::size_t i : {0u, 2u}) {
        EXPECT_NE(run.out.find(radios.device(i) + ": verified in "), std::string::npos) << run.out;
        ASSERT_TRUE(WaitForFile(radios.saved[i], kImageSize));
    }
    EXPECT_NE(run.out.find(radios.device(1) + ": failed: Communication error in "),
              std::string::npos)
        << run.out;
    // The whole message, every line naming its radio; nothing was sent, so no partly-written
    // warning and no backup.
    EXPECT_NE(run.err.find("\n" + radios.device(1) + ": no answer to the wake-up"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(run.err.find(kPartlyWrittenHint), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find(radios.device(1) + ": backup"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(radios.saved[1]));
    const auto table = TableOf(run.out);
    ASSERT_EQ(table.size(), 4u);
    EXPECT_EQ(table[2][1], "-") << "a silent radio has no model";
    EXPECT_EQ(table[2][3], "failed: Communication error");
}

TEST_F(CliFleet, CtrlCStopsEveryRadioAndWarnsForEachThatHadStarted) {
    const std::vector<std::string> paced{"--baud", "9600", "--verbose"};
    // The fourth radio never answers: it is still waking when Ctrl+C comes, nothing was sent.
    Radios radios(dir_, {paced, paced, paced, {"--baud", "9600", "--silent"}});
    const std::vector<std::filesystem::path> started(radios.frames.begin(),
                                                     radios.frames.begin() + 3);
    const ProgramResult run =
        Interrupted(Joined({"fleet", "write", (dir_ / "doc.dat").string()}, radios.Ports()),
                    started, "W 00 60 20");
    EXPECT_EQ(run.exitCode, 130) << run.err;
    EXPECT_NE(run.err.find("kestra-cli: interrupted"), std::string::npos) << run.err;
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_NE(run.err.find(radios.device(i) + ": " + std::string(kPartlyWrittenHint)),
                  std::string::npos)
            << run.err;
        EXPECT_EQ(ReadText(radios.frames[i]).find("ENDW"), std::string::npos);
    }
    EXPECT_NE(run.out.find(radios.device(3) + ": failed: "), std::string::npos) << run.out;
    EXPECT_EQ(run.err.find(radios.device(3) + ": " + std::string(kPartlyWrittenHint)),
              std::string::npos)
        << run.err;
    EXPECT_EQ(TableOf(run.out).size(), 5u) << "every radio in the table: " << run.out;
}

TEST_F(CliFleet, AWrongCommandLineSendsNothing) {
    Radios radios(dir_, {{"--baud", "0", "--verbose"}, {"--baud", "0", "--verbose"}});
    const std::string doc = dir_ / "doc.dat";
    const std::string one = radios.device(0);
    const std::string two = radios.device(1);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"fleet", "write", doc, "--port", one, "--port", one},
          {"fleet", "write", doc, "--port", one, "--port", two, "--own-id-start", "9999999"},
          {"fleet", "write", doc, "--port", one, "--own-id-start", "12a"},
          {"fleet", "write", doc},
          {"fleet", "write", doc, "--port", one, "--report"},
          {"fleet", "erase", "--port", one},
          {"fleet", "write", doc, "--port", one, "--port", "COM17"},
          {"fleet", "read", "--port", one},
          {"clone", "--from", one, "--to", one},
          {"clone", "--from", one}}) {
        const ProgramResult run = RunCli(args);
        EXPECT_EQ(run.exitCode, 2) << args[1] << " " << run.err;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "one line: " << run.err;
    }
    // An option of the command's own is never taken for the value of the one before it.
    const ProgramResult missing = RunCli({"clone", "--from", "--to", two});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_NE(missing.err.find("--from needs a value (for the value --to write --from=--to)"),
              std::string::npos)
        << missing.err;
    EXPECT_EQ(ReadText(radios.frames[0]).find("PROGRAM"), std::string::npos);
    EXPECT_EQ(ReadText(radios.frames[1]).find("PROGRAM"), std::string::npos);
}

TEST_F(CliFleet, FleetReadSavesEveryRadioUnderItsPortsName) {
    std::vector<std::vector<std::string>> options;
    for (int seed : {1, 2}) {
        const auto memory = dir_ / ("memory" + std::to_string(seed) + ".dat");
        ASSERT_TRUE(SaveDocumentFile(memory, PatternImage(seed)).ok);
        options.push_back({"--baud", "0", "--memory", memory.string()});
    }
    Radios radios(dir_, options);
    const ProgramResult run = RunCli(Joined(
        {"fleet", "read", "-o", dir_ / "radios", "--report", dir_ / "read.json"}, radios.Ports()));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const QJsonArray entries = LoadReport(dir_ / "read.json")["radios"].toArray();
    ASSERT_EQ(entries.size(), 2);
    for (std::size_t i = 0; i < 2; ++i) {
        // "/dev/pts/7" is saved as "pts_7.dat".
        const std::string name = radios.device(i).substr(5);
        const auto file =
            dir_ / "radios" / (std::regex_replace(name, std::regex("/"), "_") + ".dat");
        EXPECT_EQ(entries[static_cast<int>(i)].toObject()["file"].toString().toStdString(),
                  file.string());
        const MemoryImage got = Load(file);
        const MemoryImage memory = PatternImage(static_cast<int>(i) + 1);
        for (std::size_t a = 0; a < kImageSize; ++a) {
            ASSERT_EQ(got[a], InReadRanges(a) ? memory[a] : 0xFF) << "offset " << a;
        }
    }
}

TEST_F(CliFleet, CloneCopiesARadioOnlyToOneWithTheSameBands) {
    ASSERT_TRUE(SaveDocumentFile(dir_ / "source.dat", sent_).ok);
    Radios radios(dir_, {{"--baud", "0", "--memory", (dir_ / "source.dat").string()},
                         {"--baud", "0", "--verbose"},
                         {"--baud", "0", "--verbose", "--limits", "144,148,430,440"}});
    const ProgramResult copy =
        RunCli({"clone", "--from", radios.device(0), "--to", radios.device(1), "--verify"});
    ASSERT_EQ(copy.exitCode, 0) << copy.err;
    ASSERT_TRUE(WaitForFile(radios.saved[1], kImageSize));
    const MemoryImage after = Load(radios.saved[1]);
    for (std::size_t a = 0; a < kImageSize; ++a) {
        if (InWriteRanges(a)) {
            ASSERT_EQ(after[a], sent_[a]) << "offset " << a;
        }
    }
    EXPECT_NE(copy.out.find(radios.device(1) + ": verified in "), std::string::npos) << copy.out;

    const ProgramResult refused =
        RunCli({"clone", "--from", radios.device(0), "--to", radios.device(2)});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("reports 136-174 MHz and 400-520 MHz, " + radios.device(2) +
                               " reports 144-148 MHz and 430-440 MHz"),
              std::string::npos)
        << refused.err;
    // The target was read for its backup, never written.
    EXPECT_NE(ReadText(radios.frames[2]).find("ENDR"), std::string::npos);
    EXPECT_EQ(ReadText(radios.frames[2]).find("W 00 00"), std::string::npos);
}

}  // namespace
}  // namespace kestra::test
