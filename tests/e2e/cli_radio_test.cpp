// SPDX-License-Identifier: GPL-3.0-or-later
// kestra-cli against kestra-virtual-radio on a real pseudo-terminal: whole transfers through the
// real serial port code, checked byte for byte on both sides.

#include <gtest/gtest.h>

#include <fstream>

#include "e2e/radio_fixtures.hpp"

namespace kestra::test {
namespace {

TEST(CliRadio, ReadSavesTheRadiosMemoryInTheReadRanges) {
    TempDir dir;
    const MemoryImage radioMemory = PatternImage(1);
    ASSERT_TRUE(SaveDocumentFile(dir / "radio.dat", radioMemory).ok);
    RadioProcess radio({"--baud", "0", "--memory", (dir / "radio.dat").string()});
    ASSERT_FALSE(radio.device().empty());

    const ProgramResult read = RunCli({"read", "--port", radio.device(), "-o", dir / "read.dat"});
    ASSERT_EQ(read.exitCode, 0) << read.err;
    const MemoryImage got = Load(dir / "read.dat");
    for (std::size_t a = 0; a < kImageSize; ++a) {
        // Outside the read ranges the fresh image keeps its erased bytes.
        const std::uint8_t expected = InReadRanges(a) ? radioMemory[a] : 0xFF;
        ASSERT_EQ(got[a], expected) << "offset " << a;
    }
    EXPECT_EQ(radio.Stop(), 0);
}

TEST(CliRadio, WriteSendsThePreparedDocumentAndReadBringsItBack) {
    TempDir dir;
    const MemoryImage before = PatternImage(2);
    ASSERT_TRUE(SaveDocumentFile(dir / "radio.dat", before).ok);
    const MemoryImage document = DocumentWithChannel();
    ASSERT_TRUE(SaveDocumentFile(dir / "doc.dat", document).ok);
    RadioProcess radio({"--baud", "0", "--memory", (dir / "radio.dat").string(), "--save",
                        (dir / "after.dat").string()});

    const ProgramResult write = RunCli({"write", "--port", radio.device(), dir / "doc.dat"});
    ASSERT_EQ(write.exitCode, 0) << write.err;
    ASSERT_TRUE(WaitForFile(dir / "after.dat", kImageSize));
    const MemoryImage sent = PreparedForWrite(document);
    const MemoryImage after = Load(dir / "after.dat");
    for (std::size_t a = 0; a < kImageSize; ++a) {
        // A Write never touches the squelch table, the model limits or anything from 0x3000 on.
        ASSERT_EQ(after[a], InWriteRanges(a) ? sent[a] : before[a]) << "offset " << a;
    }
    EXPECT_EQ(Load(dir / "doc.dat"), document) << "the document file must not change";

    // The same line opened again by the next client.
    const ProgramResult read = RunCli({"read", "--port", radio.device(), "-o", dir / "back.dat"});
    ASSERT_EQ(read.exitCode, 0) << read.err;
    const MemoryImage back = Load(dir / "back.dat");
    for (std::size_t a = 0; a < kImageSize; ++a) {
        ASSERT_EQ(back[a], InReadRanges(a) ? after[a] : 0xFF) << "offset " << a;
    }
}

TEST(CliRadio, FailedReadReportsItAndLeavesTheOutputFileAlone) {
    TempDir dir;
    RadioProcess radio({"--baud", "0", "--no-ack-after", "10"});
    { std::ofstream(dir / "keep.dat") << "earlier contents"; }
    const ProgramResult read = RunCli({"read", "--port", radio.device(), "-o", dir / "keep.dat"});
    EXPECT_NE(read.exitCode, 0);
    EXPECT_NE(read.err.find("Communication error"), std::string::npos) << read.err;
    EXPECT_EQ(ReadText(dir / "keep.dat"), "earlier contents");

    const ProgramResult fresh = RunCli({"read", "--port", radio.device(), "-o", dir / "new.dat"});
    EXPECT_NE(fresh.exitCode, 0);
    EXPECT_FALSE(std::filesystem::exists(dir / "new.dat"));
}

TEST(CliRadio, ReadRefusesAnOutputItCouldNotSaveBeforeWakingTheRadio) {
    TempDir dir;
    RadioProcess radio({"--baud", "0", "--silent"});
    for (const std::string& output : {dir.path().string(), (dir / "no-folder/read.dat").string()}) {
        const ProgramResult read = RunCli({"read", "--port", radio.device(), "-o", output});
        EXPECT_EQ(read.exitCode, 1);
        // The file's problem, not the silent radio's "Communication error" after four attempts.
        EXPECT_EQ(read.err.rfind("kestra-cli: Cannot save \"" + output + "\"", 0), 0u) << read.err;
    }
}

TEST(CliRadio, BrokenWriteFailsAndTheRadioSeesNoEndOfWrite) {
    TempDir dir;
    ASSERT_TRUE(SaveDocumentFile(dir / "doc.dat", DocumentWithChannel()).ok);
    RadioProcess radio(
        {"--baud", "0", "--disconnect-after", "5", "--save", (dir / "after.dat").string()});
    const ProgramResult write = RunCli({"write", "--port", radio.device(), dir / "doc.dat"});
    EXPECT_EQ(write.exitCode, 1);
    // The radio now holds some new blocks and some old ones: the user must hear it.
    EXPECT_TRUE(SaysPartlyWritten(write.err)) << write.err;
    EXPECT_NE(write.err.find(": missing acknowledge at block 6 of 351 (address 0x00A0)."),
              std::string::npos)
        << write.err;
    EXPECT_EQ(radio.Stop(), 0);
    EXPECT_FALSE(std::filesystem::exists(dir / "after.dat"));
}

TEST(CliRadio, InfoReportsAShortOrMissingIdentificationReplyAsAFailure) {
    // 10 bytes of the 32, or none at all after the wake-up (the line went dead).
    for (const std::string sent : {"10", "0"}) {
        RadioProcess radio({"--baud", "0", "--short-ident", sent});
        const ProgramResult info = RunCli({"info", "--port", radio.device()});
        EXPECT_EQ(info.exitCode, 1) << sent;
        EXPECT_EQ(info.out, "") << "no made-up limits: " << info.out;
        EXPECT_EQ(info.err.rfind("Communication error\n", 0), 0u) << info.err;
        EXPECT_NE(info.err.find("identification reply arrived incomplete"), std::string::npos)
            << info.err;
    }
}

TEST(CliRadio, CtrlCStopsAWriteBetweenBlocksAndSaysWhatItLeft) {
    TempDir dir;
    ASSERT_TRUE(SaveDocumentFile(dir / "doc.dat", DocumentWithChannel()).ok);
    RadioProcess radio({"--baud", "9600", "--verbose"}, dir / "frames.txt");
    const ProgramResult write = Interrupted({"write", "--port", radio.device(), dir / "doc.dat"},
                                            {dir / "frames.txt"}, "W 00 60 20");
    EXPECT_EQ(write.exitCode, 130);
    EXPECT_TRUE(SaysPartlyWritten(write.err)) << write.err;
    EXPECT_NE(write.err.find("kestra-cli: interrupted"), std::string::npos) << write.err;
    EXPECT_EQ(ReadText(dir / "frames.txt").find("ENDW"), std::string::npos);

    // The line was given back in order: the radio answers the next program at once.
    const ProgramResult again = RunCli({"info", "--port", radio.device()});
    EXPECT_EQ(again.exitCode, 0) << again.err;
}

TEST(CliRadio, CtrlCStopsAReadWithoutWritingTheFile) {
    TempDir dir;
    RadioProcess radio({"--baud", "9600", "--verbose"}, dir / "frames.txt");
    const ProgramResult read = Interrupted({"read", "--port", radio.device(), "-o", dir / "r.dat"},
                                           {dir / "frames.txt"}, "R 00 60 20");
    EXPECT_EQ(read.exitCode, 130);
    EXPECT_NE(read.err.find("Communication error\n"), std::string::npos) << read.err;
    EXPECT_EQ(read.err.find("partly written"), std::string::npos) << read.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "r.dat"));
}

TEST(CliRadio, TheDemoRadioAnswersOnlyAnExplicitPortDemo) {
    TempDir dir;
    const std::string home = "KESTRA_HOME=" + dir.path().string();
    const ProgramResult demo = RunCli({"info", "--port", "demo"}, {home});
    EXPECT_EQ(demo.exitCode, 0) << demo.err;
    EXPECT_NE(demo.err.find("built-in demo radio"), std::string::npos) << demo.err;
    EXPECT_NE(demo.out.find("A Section: 136 --- 174"), std::string::npos) << demo.out;

    // Stored by an older version: not a way to reach the demo radio any more.
    std::ofstream(dir / "Program.ini") << "[Setup]\nDevice=demo\n";
    const ProgramResult stored = RunCli({"info"}, {home});
    EXPECT_EQ(stored.exitCode, 1);
    EXPECT_EQ(stored.out, "");
    EXPECT_NE(stored.err.find("Device=demo"), std::string::npos) << stored.err;
    EXPECT_NE(stored.err.find("Open port fail"), std::string::npos) << stored.err;
}

TEST(CliRadio, ChannelsOutsideTheRadiosBandsAreRefusedUnlessInServiceMode) {
    TempDir dir;
    ASSERT_TRUE(SaveDocumentFile(dir / "doc.dat", DocumentWithChannel()).ok);
    RadioProcess radio(
        {"--baud", "0", "--limits", "400,480,400,480", "--save", (dir / "after.dat").string()});

    const ProgramResult refused = RunCli({"write", "--port", radio.device(), dir / "doc.dat"});
    EXPECT_NE(refused.exitCode, 0);
    // The desktop program's message, second line included.
    // Refused before anything was sent: no backup line either.
    EXPECT_EQ(refused.err.rfind("Data is invalid, please verify data\nA001 (146.52000 MHz)", 0), 0u)
        << refused.err;
    EXPECT_NE(refused.err.find("outside the bands the radio reported, 400-480 MHz."),
              std::string::npos)
        << refused.err;

    const ProgramResult service =
        RunCli({"write", "--service", "--port", radio.device(), dir / "doc.dat"});
    EXPECT_EQ(service.exitCode, 0) << service.err;
    EXPECT_TRUE(WaitForFile(dir / "after.dat", kImageSize));
}

TEST(CliRadio, InfoPrintsWhatRadioInformationShows) {
    // Paced at the real line speed: the identify exchange is short.
    RadioProcess radio({"--baud", "9600", "--limits", "144,148,430,440", "--firmware", "1.2.7",
                        "--model", "HT-9", "--k472"});
    const ProgramResult info = RunCli({"info", "--port", radio.device()});
    ASSERT_EQ(info.exitCode, 0) << info.err;
    EXPECT_EQ(info.out,
              "Model: HT-9-K472\n"
              "MCU version: v1.2.7\n"
              "PC Version: v2.5.1\n"
              "A Section: 144 --- 148\n"
              "B Section: 430 --- 440\n");
    EXPECT_EQ(info.err, "");
}

TEST(CliRadio, PortIsTakenFromTheOptionOrFromProgramIni) {
    TempDir dir;
    RadioProcess radio({"--baud", "0"});
    const std::string home = "KESTRA_HOME=" + dir.path().string();

    // Nothing chosen anywhere: the message says so and where to choose, and creates no file.
    const ProgramResult unset = RunCli({"info"}, {home});
    EXPECT_NE(unset.exitCode, 0);
    EXPECT_EQ(unset.err.rfind("Open port fail (no port chosen: COM0 is not one of COM1-COM16;", 0),
              0u)
        << unset.err;
    EXPECT_NE(unset.err.find((dir / "Program.ini").string()), std::string::npos) << unset.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "Program.ini"));

    std::ofstream(dir / "Program.ini") << "[Setup]\nCOM=3\nDevice=" << radio.device() << "\n";
    const ProgramResult viaDevice = RunCli({"info"}, {home});
    EXPECT_EQ(viaDevice.exitCode, 0) << viaDevice.err;
    EXPECT_NE(viaDevice.out.find("A Section: 136 --- 174"), std::string::npos);

    // Without a device path, COM3 is the third USB serial adapter.
    std::ofstream(dir / "Program.ini", std::ios::trunc) << "[setup]\ncom=3\n";
    const ProgramResult viaCom = RunCli({"info"}, {home});
    if (!std::filesystem::exists("/dev/ttyUSB2")) {
        EXPECT_NE(viaCom.exitCode, 0);
        EXPECT_NE(
            viaCom.err.find("Open port fail\nCould not open /dev/ttyUSB2 (no such device). Run "
                            "kestra-cli doctor"),
            std::string::npos)
            << viaCom.err;
    }
    // --port wins over Program.ini, and takes COM names as well as device paths.
    if (!std::filesystem::exists("/dev/ttyACM3")) {
        const ProgramResult viaOption = RunCli({"info", "--port", "\\\\.\\COM12"}, {home});
        EXPECT_NE(viaOption.err.find("Open port fail\nCould not open /dev/ttyACM3"),
                  std::string::npos)
            << viaOption.err;
    }
    std::ofstream(dir / "Program.ini", std::ios::trunc) << "[Setup]\nDevice=/dev/null/none\n";
    const ProgramResult viaPath = RunCli({"info", "--port", radio.device()}, {home});
    EXPECT_EQ(viaPath.exitCode, 0) << viaPath.err;
}

TEST(VirtualRadioTool, RefusesBadOptionsAndMissingMemoryFiles) {
    const ProgramResult limits = RunProgram("kestra-virtual-radio", {"--limits", "136,174"});
    EXPECT_EQ(limits.exitCode, 2);
    EXPECT_EQ(limits.err.find('\n'), limits.err.size() - 1) << "one line: " << limits.err;
    // A --save that could never be written is refused at once, not after the first write.
    TempDir dir;
    for (const std::string& save : {dir.path().string(), (dir / "no-folder/radio.dat").string()}) {
        const ProgramResult refused = RunProgram("kestra-virtual-radio", {"--save", save});
        EXPECT_EQ(refused.exitCode, 2) << save;
        EXPECT_NE(refused.err.find("Cannot save"), std::string::npos) << refused.err;
        EXPECT_EQ(refused.out, "") << "no device may be announced";
    }
    EXPECT_EQ(RunProgram("kestra-virtual-radio", {"--baud"}).exitCode, 2);
    // 1000 MHz does not fit the reply's eight BCD digits; the missing memory file makes the
    // program end even if the limit were taken.
    EXPECT_EQ(RunProgram("kestra-virtual-radio",
                         {"--limits", "136,174,400,1000", "--memory", "/nonexistent/radio.dat"})
                  .exitCode,
              2);
    const ProgramResult missing =
        RunProgram("kestra-virtual-radio", {"--memory", "/nonexistent/radio.dat"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.out, "") << "no device may be announced";
}

}  // namespace
}  // namespace kestra::test
