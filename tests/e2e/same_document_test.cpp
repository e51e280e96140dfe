// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop program and kestra-cli save the same document to the same bytes: the same file
// opened and saved in a freshly started desktop program and by kestra-cli save-as, with and
// without a model block, and with a radio model picked in the "Radio" box or given as --model.
// kestra-cli write sends the model block the same rule picks.

#include <QComboBox>

#include <gtest/gtest.h>

#include "app/application.hpp"
#include "app/main_window.hpp"
#include "channels/image_preparation.hpp"
#include "channels/ui/program_view.hpp"
#include "e2e/processes.hpp"
#include "model/channel_record.hpp"
#include "model/document_file.hpp"
#include "model/image_map.hpp"
#include "ui/ui_test_support.hpp"

namespace kestra::test {
namespace {

namespace fs = std::filesystem;

// A document a user might bring: channels in both sections, its own 130-174 MHz A section with
// a channel below 136 MHz, and a B124 whose Tx lies outside both sections.
MemoryImage UsersDocument() {
    MemoryImage image = BuiltInDocumentImage();
    image.write(map::ModelLimitsOf(0), Bcd8Encode(13000000));
    image.write(map::ModelLimitsOf(0) + 4, Bcd8Encode(17400000));
    ChannelRecord a001(image, 0);
    a001.SetRxFrequency(13250000);
    a001.SetTxFrequency(13250000);
    ChannelRecord b001(image, 128);
    b001.SetRxFrequency(44600000);
    b001.SetTxFrequency(44100000);
    ChannelRecord b124(image, 251);
    b124.SetRxFrequency(44600000);
    b124.SetTxFrequency(30000000);
    return image;
}

class SameDocumentTest : public ShellTest {
protected:
    // Opens in a freshly started desktop program, picks model in the "Radio" box as a user does
    // (none when -1) and saves to out.
    void DesktopSave(const fs::path& in, const fs::path& out, int model) {
        KestraApplication program(&messenger_, &prompts_);
        program.Start({});
        CMainFrame* frame = program.mainFrame();
        ASSERT_TRUE(frame->documents()->OpenPath(QString::fromStdString(in.string())));
        if (model >= 0) {
            QComboBox* box = frame->view()->modelCombo();
            box->setCurrentIndex(model);
            emit box->activated(model);
        }
        prompts_.savePath = QString::fromStdString(out.string());
        ASSERT_TRUE(frame->documents()->SaveAs());
        EXPECT_TRUE(messenger_.messages.empty());
    }

    MemoryImage Load(const fs::path& path) {
        MemoryImage image;
        EXPECT_TRUE(LoadDocumentFile(path, image)) << path;
        return image;
    }
};

TEST_F(SameDocumentTest, DesktopAndCommandLineSaveADocumentToTheSameBytes) {
    MemoryImage withBlock = UsersDocument();
    WriteModelBlock(withBlock, 0);
    ASSERT_TRUE(SaveDocumentFile(Home() / "plain.dat", UsersDocument()));
    ASSERT_TRUE(SaveDocumentFile(Home() / "he.dat", withBlock));

    struct Case {
        const char* file;
        int picked;    // the model picked in the box and given as --model, or -1
        int expected;  // the model whose block the saved file holds
    };
    for (const Case& c : {Case{"plain.dat", -1, kDefaultModelIndex}, Case{"he.dat", -1, 0},
                          Case{"plain.dat", 1, 1}, Case{"he.dat", 1, 1}}) {
        const std::string name = std::string(c.file) + " model " + std::to_string(c.picked);
        const fs::path desktop = Home() / "desktop.dat";
        const fs::path cli = Home() / "cli.dat";
        DesktopSave(Home() / c.file, desktop, c.picked);
        std::vector<std::string> args{"save-as"};
        if (c.picked >= 0) {
            args.insert(args.end(), {"--model", std::string(kModelNames[c.picked])});
        }
        args.insert(args.end(), {(Home() / c.file).string(), cli.string()});
        const ProgramResult saved = RunCli(args);
        ASSERT_EQ(saved.exitCode, 0) << name << ": " << saved.err;

        ASSERT_EQ(ReadText(desktop), ReadText(cli)) << name;
        const MemoryImage image = Load(cli);
        EXPECT_EQ(ModelIndexOfImage(image), c.expected) << name;
        // Nothing the user entered was lost on the way.
        EXPECT_EQ(ConstChannelRecord(image, 0).RxFrequency(), 13250000) << name;
        EXPECT_EQ(ConstChannelRecord(image, 251).TxFrequency(), 30000000) << name;
    }
}

TEST_F(SameDocumentTest, WriteSendsTheModelBlockTheOptionNames) {
    // A document the radio's bands take: one channel at 146.52 MHz, no model block.
    TempDir dir;
    MemoryImage document = BuiltInDocumentImage();
    ChannelRecord(document, 0).SetRxFrequency(14652000);
    ASSERT_TRUE(SaveDocumentFile(dir / "doc.dat", document));
    RadioProcess radio({"--baud", "0", "--save", (dir / "after.dat").string()});
    ASSERT_FALSE(radio.device().empty());

    const ProgramResult write =
        RunCli({"write", "--port", radio.device(), "--model", "6120HE", dir / "doc.dat"});
    ASSERT_EQ(write.exitCode, 0) << write.err;
    ASSERT_TRUE(WaitForFile(dir / "after.dat", kImageSize));
    const MemoryImage after = Load(dir / "after.dat");
    EXPECT_EQ(ModelIndexOfImage(after), 0);
    EXPECT_EQ(ConstChannelRecord(after, 0).RxFrequency(), 14652000);
}

}  // namespace
}  // namespace kestra::test
