// SPDX-License-Identifier: GPL-3.0-or-later
// Settings as text: what a print of an image holds, applying a file as a user would type it,
// refusing lines that name nothing or give a list a text it lacks, and the round trip.

#include <gtest/gtest.h>

#include <random>

#include "model/document_file.hpp"
#include "settings/settings_text.hpp"

namespace kestra {
namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

// What opening and closing every dialog leaves.
MemoryImage OpenedAndClosed(MemoryImage image) {
    std::string callId = "100";
    SettingsForms forms(callId);
    forms.LoadFromImage(image);
    forms.StoreToImage(image);
    return image;
}

TEST(SettingsTextTest, PrintHoldsEverySectionAndFieldInTableOrder) {
    std::string callId = "100";
    SettingsForms forms(callId);
    forms.LoadFromImage(BuiltInDocumentImage());
    const auto lines = Lines(PrintSettings(forms));

    std::vector<std::string> sections;
    for (const std::string& line : lines) {
        if (!line.empty() && line.front() == '[') {
            sections.push_back(line);
        }
    }
    EXPECT_EQ(sections, (std::vector<std::string>{"[Optional Features]", "[DTMF Encode]",
                                                  "[DTMF Decode]", "[DTMF Auto Dial]", "[Radio]"}));
    // 33 + 9 + 8 + 12 + 22 fields, five headers and four blank lines between sections.
    EXPECT_EQ(lines.size(), 84u + 5u + 4u);
    EXPECT_EQ(lines[1], "TOT (s)=30");
    EXPECT_EQ(lines[33], "Dual Wait Time=2.55");
    const auto has = [&lines](const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    };
    EXPECT_TRUE(has("DW Reset Time=Off"));
    EXPECT_TRUE(has("First Digit TIme (ms)=100"));
    EXPECT_TRUE(has("Kill Type=Off"));
    EXPECT_TRUE(has("Code 0=100*100"));
    EXPECT_TRUE(has("Code 9="));
    EXPECT_TRUE(has("Current CH=1"));
    EXPECT_TRUE(has("CH 20="));
    EXPECT_EQ(lines.back(), "CH 20=");
    for (const std::string& line : lines) {
        EXPECT_FALSE(line.starts_with("Call ID")) << "the Call ID is not in the image";
    }
}

TEST(SettingsTextTest, ApplyingAPrintBackChangesNothing) {
    MemoryImage image = BuiltInDocumentImage();
    image.write(0x2060, std::vector<std::uint8_t>{' ', 'H', 'I', '"', 0xFF, 0xFF, 0xFF});
    image[0x20B1] = 11;  // an Own ID "1B" that could not be typed
    image[0x20DA] = 123;
    image.write(0x2F80, std::vector<std::uint8_t>{0x00, 0x75, 0x08});
    const MemoryImage closed = OpenedAndClosed(image);

    std::string callId = "100";
    SettingsForms forms(callId);
    forms.LoadFromImage(image);
    const std::string printed = PrintSettings(forms);
    EXPECT_NE(printed.find("Power on Message=\" HI\"\"\n"), std::string::npos) << printed;
    EXPECT_NE(printed.find("Own ID=1B0\n"), std::string::npos);

    SettingsForms applied(callId);
    MemoryImage target = image;
    applied.LoadFromImage(target);
    ASSERT_EQ(ApplySettingsText(printed, applied), std::nullopt);
    applied.StoreToImage(target);
    EXPECT_EQ(target, closed);
}

TEST(SettingsTextTest, AppliedValuesAreTypedAndNormalised) {
    MemoryImage image = BuiltInDocumentImage();
    std::string callId = "100";
    SettingsForms forms(callId);
    forms.LoadFromImage(image);
    const auto error = ApplySettingsText(
        "\xEF\xBB\xBF; kept radio settings\r\n"
        "[DTMF Encode]\r\n"
        "  First Digit Delay Time (ms) = 250  \r\n"
        "PTT ID BOT=12ab\n"
        "\n"
        "[Radio]\n"
        "CH 3=120\n"
        "[DTMF Auto Dial]\n"
        "Delimiter=#\n"
        "[Optional Features]\n"
        "Power on Message=\"  hi  \"\n"
        "Tail Mode=120\n",
        forms);
    ASSERT_EQ(error, std::nullopt) << error->line << ": " << error->message;
    forms.StoreToImage(image);
    EXPECT_EQ(image[0x2081], 4);
    EXPECT_EQ(image[0x2088], 1);
    EXPECT_EQ(image[0x208B], 11);
    EXPECT_EQ(image[0x2F90], 0x00);
    EXPECT_EQ(image[0x2F92], 0x07);  // 76000 kHz
    EXPECT_EQ(image[0x20DD], 15);
    EXPECT_EQ(image[0x20E3], 15) << "the code ending followed the delimiter";
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&image[0x2060]), 7), "  hi   ");
    EXPECT_EQ(image[0x204E] & 0x30, 0x10);
}

TEST(SettingsTextTest, RefusedLinesNameTheirLineAndWhatIsWrong) {
    struct Case {
        const char* text;
        int line;
        const char* says;
    };
    for (const Case& c : {
             Case{"[Radio]\nCurrent CH=21\n", 2, "Current CH takes one of 1, 2,"},
             Case{"[Radio]\nCurrent CH=1\n[DTMF]\n", 3, "no section [DTMF]"},
             Case{"\n\n[Optional Features]\nTOT=30\n", 4, "has no field 'TOT'"},
             Case{"[DTMF Auto Dial]\nCall ID=123\n", 2, "has no field 'Call ID'"},
             Case{"TOT (s)=30\n", 1, "before any [section]"},
             Case{"[Radio\n", 1, "ends with ']'"},
             Case{"[Optional Features]\nBeep\n", 2, "expected Caption=value"},
             Case{"[Optional Features]\nBeep=on\n", 2, "Beep takes one of Off, On, not 'on'"},
             Case{"[DTMF Decode]\nAlarm Code=12X\n", 2, "'X' cannot be typed into Alarm Code"},
             Case{"[DTMF Encode]\nPTT ID EOT=12345678901234567\n", 2, "at most 16"},
             // Given twice, whichever would win: both lines are named.
             Case{"[Optional Features]\nTOT (s)=30\n; later\nTOT (s)=60\n", 4,
                  "'TOT (s)' is given twice (first on line 2)"},
             Case{"[Radio]\nCurrent CH=1\n[Optional Features]\n[Radio]\n", 4,
                  "[Radio] is given twice (first on line 1)"},
         }) {
        std::string callId = "100";
        SettingsForms forms(callId);
        forms.LoadFromImage(BuiltInDocumentImage());
        const auto error = ApplySettingsText(c.text, forms);
        ASSERT_TRUE(error) << c.text;
        EXPECT_EQ(error->line, c.line) << c.text;
        EXPECT_NE(error->message.find(c.says), std::string::npos) << error->message;
        EXPECT_EQ(error->message.find('\n'), std::string::npos);
    }
}

TEST(SettingsTextTest, RandomImagesSurviveTheRoundTrip) {
    // Whatever the settings blocks hold, the print of an image applies back to it unchanged.
    std::mt19937 random(20240607);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int run = 0; run < 200; ++run) {
        MemoryImage image;
        for (std::size_t i = 0x2040; i < 0x2180; ++i) {
            image[i] = static_cast<std::uint8_t>(run % 2 == 0 ? byte(random) : byte(random) % 16);
        }
        for (std::size_t i = 0x2F80; i < 0x2FD8; ++i) {
            image[i] = static_cast<std::uint8_t>(byte(random) % 0xA0);
        }
        // An Own ID a user could type: digits, at least one (leaving it empty keeps the old one).
        for (std::size_t i = 0x20B0; i < 0x20B7; ++i) {
            const int digit = byte(random) % 11;
            image[i] = static_cast<std::uint8_t>(digit == 10 && i > 0x20B0 ? 0xFF : digit % 10);
        }
        std::string callId = "100";
        SettingsForms printedForms(callId);
        printedForms.LoadFromImage(image);
        SettingsForms applied(callId);
        MemoryImage target = image;
        applied.LoadFromImage(target);
        const auto error = ApplySettingsText(PrintSettings(printedForms), applied);
        ASSERT_EQ(error, std::nullopt)
            << "run " << run << " line " << error->line << ": " << error->message;
        applied.StoreToImage(target);
        ASSERT_EQ(target, OpenedAndClosed(image)) << "run " << run;

        // Applied to another radio, the print gives it the same settings.
        MemoryImage other = BuiltInDocumentImage();
        SettingsForms onOther(callId);
        onOther.LoadFromImage(other);
        ASSERT_EQ(ApplySettingsText(PrintSettings(printedForms), onOther), std::nullopt);
        onOther.StoreToImage(other);
        SettingsForms reread(callId);
        reread.LoadFromImage(other);
        SettingsForms closed(callId);
        closed.LoadFromImage(target);
        ASSERT_EQ(PrintSettings(reread), PrintSettings(closed)) << "run " << run;
    }
}

}  // namespace
}  // namespace kestra
