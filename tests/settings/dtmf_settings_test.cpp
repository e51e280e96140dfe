// SPDX-License-Identifier: GPL-3.0-or-later
// The three DTMF pages on real images: code fields and the kill code's end mark, the timing
// rules and their spins, fallbacks, the shared 0x20D9 byte, and the Auto Dial suffix rewrite.

#include <gtest/gtest.h>

#include "model/document_file.hpp"
#include "settings/dtmf_settings.hpp"
#include "settings/optional_features.hpp"

namespace kestra {
namespace {

std::vector<std::uint8_t> Bytes(const MemoryImage& image, std::size_t offset, std::size_t n) {
    const auto span = image.span(offset, n);
    return {span.begin(), span.end()};
}

std::vector<std::uint8_t> Padded(std::vector<std::uint8_t> bytes, std::size_t n) {
    bytes.resize(n, 0xFF);
    return bytes;
}

class DtmfPagesTest : public ::testing::Test {
protected:
    std::size_t Field(const SettingsForm& page, std::string_view caption) {
        const auto field = page.Find(caption);
        EXPECT_TRUE(field) << caption;
        return field.value_or(0);
    }
    // Types (or chooses) the text and leaves the field.
    void Enter(SettingsForm& page, std::string_view caption, std::string_view text) {
        EXPECT_EQ(page.Enter(Field(page, caption), text), std::nullopt) << caption;
    }
    std::string Shown(const SettingsForm& page, std::string_view caption) {
        return page.Text(Field(page, caption));
    }

    MemoryImage image_ = BuiltInDocumentImage();
    std::string callId_ = "100";
};

TEST_F(DtmfPagesTest, KillCodeKeepsItsEndMarkApartFromATypedHash) {
    DtmfDecodePage page;
    page.LoadFromImage(image_);
    Enter(page, "Kill Code", "12#");
    page.StoreToImage(image_);
    EXPECT_EQ(Bytes(image_, 0x20C0, 16), Padded({1, 2, 15, 15}, 16));
    page.LoadFromImage(image_);
    EXPECT_EQ(Shown(page, "Kill Code"), "12#");

    // A full-length code puts its end mark into the last byte and still reads back whole.
    Enter(page, "Kill Code", "1234567890ABCD#");
    page.StoreToImage(image_);
    EXPECT_EQ(image_[0x20CE], 15);
    EXPECT_EQ(image_[0x20CF], 15);
    page.LoadFromImage(image_);
    EXPECT_EQ(Shown(page, "Kill Code"), "1234567890ABCD#");

    Enter(page, "Kill Code", "");
    page.StoreToImage(image_);
    EXPECT_EQ(Bytes(image_, 0x20C0, 16), Padded({}, 16));
    EXPECT_NE(page.Enter(Field(page, "Kill Code"), "1234567890123456"), std::nullopt);
}

TEST_F(DtmfPagesTest, CodeFieldsFillTheirWidthAndTakeOnlyDtmfCharacters) {
    DtmfEncodePage page;
    page.LoadFromImage(image_);
    Enter(page, "PTT ID BOT", "0123456789abcd*#");
    Enter(page, "PTT ID EOT", "12A");
    page.StoreToImage(image_);
    EXPECT_EQ(Bytes(image_, 0x2088, 16),
              (std::vector<std::uint8_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
    EXPECT_EQ(Bytes(image_, 0x2098, 16), Padded({1, 2, 10}, 16));
    EXPECT_EQ(image_[0x20A8], 0x0E) << "the next field is untouched";
    EXPECT_NE(page.Enter(Field(page, "PTT ID EOT"), "12E"), std::nullopt);

    // The alarm code refuses what it cannot store, as every other code field does: an "E"
    // would come back as "*" and an "X" would cut the code short.
    DtmfDecodePage decode;
    decode.LoadFromImage(image_);
    for (const char* refused : {"12E4", "12X4", "123456789"}) {
        EXPECT_NE(decode.Enter(Field(decode, "Alarm Code"), refused), std::nullopt) << refused;
    }
    Enter(decode, "Alarm Code", "9a*#");
    decode.StoreToImage(image_);
    EXPECT_EQ(Bytes(image_, 0x20D0, 8), Padded({9, 10, 14, 15}, 8));
}

TEST_F(DtmfPagesTest, EncodeTimingRulesAndFallbacks) {
    image_[0x2080] = 40;  // no speed has this tone length
    image_[0x2082] = 1;   // 50 ms: the list finds "500" by its text
    image_[0x2083] = 7;   // 350 ms: no entry
    image_[0x20DB] = 99;
    DtmfEncodePage page;
    page.LoadFromImage(image_);
    EXPECT_EQ(Shown(page, "Speed (digit/s)"), "10");
    EXPECT_EQ(Shown(page, "First Digit TIme (ms)"), "500");
    EXPECT_EQ(Shown(page, "* and # Tone (ms)"), "100");
    EXPECT_EQ(Shown(page, "First Digit Delay Time (ms)"), "200");
    EXPECT_EQ(Shown(page, "Wait Reply Time (s)"), "60");
    EXPECT_EQ(Shown(page, "Side Tone"), "Key");
    page.StoreToImage(image_);
    EXPECT_EQ(image_[0x2080], 50);
    EXPECT_EQ(image_[0x2082], 10);
    EXPECT_EQ(image_[0x2083], 2);
    EXPECT_EQ(image_[0x20DB], 60);

    struct Typed {
        const char* text;
        std::uint8_t stored;
    };
    for (const Typed typed : {Typed{"250", 4}, Typed{"50", 4}, Typed{"1100", 4}, Typed{"1000", 20},
                              Typed{"", 4}, Typed{"399", 6}}) {
        Enter(page, "First Digit Delay Time (ms)", typed.text);
        page.StoreToImage(image_);
        EXPECT_EQ(image_[0x2081], typed.stored) << typed.text;
    }
    Enter(page, "Speed (digit/s)", "15");
    Enter(page, "Side Tone", "Key+ID");
    Enter(page, "Wait Reply Time (s)", "2");
    page.StoreToImage(image_);
    EXPECT_EQ(image_[0x2080], 34);
    EXPECT_EQ(image_[0x2049], 0x1E) << "side tone bits 3-4 only";
    EXPECT_EQ(image_[0x20DB], 3);
}

TEST_F(DtmfPagesTest, SpinsStepAndWrapAround) {
    DtmfEncodePage encode;
    encode.LoadFromImage(image_);
    const std::size_t delay = Field(encode, "First Digit Delay Time (ms)");
    const std::size_t wait = Field(encode, "Wait Reply Time (s)");
    auto step = [](SettingsForm& page, std::size_t field, const char* from, int direction) {
        page.SetText(field, from);
        page.Step(field, direction);
        return page.Text(field);
    };
    EXPECT_EQ(step(encode, delay, "250", -1), "200");
    EXPECT_EQ(step(encode, delay, "200", -1), "100");
    EXPECT_EQ(step(encode, delay, "100", -1), "1000");
    EXPECT_EQ(step(encode, delay, "250", +1), "300");
    EXPECT_EQ(step(encode, delay, "1000", +1), "100");
    EXPECT_EQ(step(encode, wait, "60", +1), "3");
    EXPECT_EQ(step(encode, wait, "3", -1), "60");
    EXPECT_EQ(step(encode, wait, "10", +1), "11");

    DtmfDecodePage decode;
    decode.LoadFromImage(image_);
    const std::size_t time = Field(decode, "Decode Time (s)");
    EXPECT_EQ(step(decode, time, "2.2", +1), "2.3");
    EXPECT_EQ(step(decode, time, "2.5", +1), "0.1");
    EXPECT_EQ(step(decode, time, "0.1", -1), "2.5");
    const std::size_t reset = Field(decode, "Auto Reset Time (s)");
    EXPECT_EQ(step(decode, reset, "60", +1), "3");
}

TEST_F(DtmfPagesTest, DecodeTimeConvertsExactlySoAShownValueStaysPut) {
    DtmfDecodePage page;
    page.LoadFromImage(image_);
    EXPECT_EQ(Shown(page, "Decode Time (s)"), "2.5");
    Enter(page, "Decode Time (s)", "2.3");
    page.StoreToImage(image_);
    EXPECT_EQ(image_[0x20DA], 230);
    page.LoadFromImage(image_);
    EXPECT_EQ(Shown(page, "Decode Time (s)"), "2.3");
    page.StoreToImage(image_);
    EXPECT_EQ(image_[0x20DA], 230);

    for (const char* outside : {"3", "0", "0.0"}) {
        Enter(page, "Decode Time (s)", outside);
        EXPECT_EQ(Shown(page, "Decode Time (s)"), "2.5") << outside;
    }
    image_[0x20DA] = 229;  // not on the spin's raster: shown rounded, stored as shown
    page.LoadFromImage(image_);
    EXPECT_EQ(Shown(page, "Decode Time (s)"), "2.3");
}

TEST_F(DtmfPagesTest, DecodePageFallbacksAndTheSharedByte) {
    image_[0x20A8] = 3;     // a digit is no group code
    image_[0x20DC] = 9;     // no such kill type
    image_[0x20D8] = 2;     // auto reset below 3
    image_[0x20D9] = 0x7B;  // response 3, wait reply off, bits 3-6 set, kill inactive
    DtmfDecodePage decode;
    decode.LoadFromImage(image_);
    EXPECT_EQ(Shown(decode, "Group Code"), "A");
    EXPECT_EQ(Shown(decode, "Kill Type"), "Off");
    EXPECT_EQ(Shown(decode, "Auto Reset Time (s)"), "10");
    EXPECT_EQ(Shown(decode, "Decode Response"), "Alert+Reply");
    EXPECT_EQ(Shown(decode, "Kill Active"), "Off");

    // The Encode page's "Wait Reply" and the Decode page's fields share 0x20D9.
    DtmfEncodePage encode;
    encode.LoadFromImage(image_);
    Enter(encode, "Wait Reply", "On");
    encode.StoreToImage(image_);
    EXPECT_EQ(image_[0x20D9], 0x7F);
    decode.LoadFromImage(image_);
    Enter(decode, "Kill Active", "On");
    Enter(decode, "Decode Response", "Reply");
    decode.StoreToImage(image_);
    EXPECT_EQ(image_[0x20D9], 0xFE);
    EXPECT_EQ(image_[0x20A8], 10);
    EXPECT_EQ(image_[0x20DC], 0);
    EXPECT_EQ(image_[0x20D8], 10);

    // "Side Tone" and the Optional Features form share 0x2049 the same way.
    OptionalFeaturesForm features;
    features.LoadFromImage(image_);
    ASSERT_EQ(features.Enter(*features.Find("Scan Mode"), "Seek"), std::nullopt);
    features.StoreToImage(image_);
    encode.LoadFromImage(image_);
    EXPECT_EQ(Shown(encode, "Side Tone"), "Key");
}

TEST_F(DtmfPagesTest, AutoDialRewritesTheDelimiterAndOwnIdEndings) {
    DtmfAutoDialPage page(callId_);
    page.LoadFromImage(image_);
    EXPECT_EQ(Shown(page, "Own ID"), "100");
    EXPECT_EQ(Shown(page, "Delimiter"), "*");
    EXPECT_EQ(Shown(page, "Code 0"), "100*100");
    Enter(page, "Code 1", "123*100");
    Enter(page, "Code 2", "123");
    Enter(page, "Code 3", "*100");

    Enter(page, "Delimiter", "#");
    EXPECT_EQ(Shown(page, "Code 1"), "123#100");
    EXPECT_EQ(Shown(page, "Code 0"), "100#100");
    EXPECT_EQ(Shown(page, "Code 3"), "#100");
    Enter(page, "Own ID", "55");
    EXPECT_EQ(Shown(page, "Code 1"), "123#55");
    EXPECT_EQ(Shown(page, "Code 2"), "123");

    // Leaving the Own ID empty puts the previous one back and rewrites nothing.
    Enter(page, "Own ID", "");
    EXPECT_EQ(Shown(page, "Own ID"), "55");
    EXPECT_EQ(Shown(page, "Code 1"), "123#55");

    // A code that the new ending would push past sixteen digits keeps its old ending.
    Enter(page, "Code 4", "1234567890123#55");
    Enter(page, "Own ID", "5555555");
    EXPECT_EQ(Shown(page, "Code 4"), "1234567890123#55");
    EXPECT_EQ(Shown(page, "Code 1"), "123#5555555");

    page.StoreToImage(image_);
    EXPECT_EQ(image_[0x20DD], 15);
    EXPECT_EQ(Bytes(image_, 0x20B0, 7), (std::vector<std::uint8_t>(7, 5)));
    EXPECT_EQ(Bytes(image_, 0x20F0, 16), Padded({1, 2, 3, 15, 5, 5, 5, 5, 5, 5, 5}, 16));
    EXPECT_EQ(Bytes(image_, 0x2120, 16),
              (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 1, 2, 3, 15, 5, 5}));
    EXPECT_NE(page.Enter(Field(page, "Own ID"), "12A"), std::nullopt) << "digits only";
}

TEST_F(DtmfPagesTest, AniCallAndTheCallIdHeldForTheRun) {
    {
        DtmfAutoDialPage page(callId_);
        page.LoadFromImage(image_);
        EXPECT_EQ(Shown(page, "Call ID"), "100");
        Enter(page, "Call ID", "77a");
        page.AniCall(5);
        EXPECT_EQ(Shown(page, "Code 5"), "77A*100");
        page.StoreToImage(image_);
    }
    EXPECT_EQ(callId_, "77A");
    EXPECT_EQ(Bytes(image_, 0x2130, 16), Padded({7, 7, 10, 14, 1, 0, 0}, 16));
    DtmfAutoDialPage again(callId_);
    EXPECT_EQ(again.Text(DtmfAutoDialPage::kCallId), "77A");
    EXPECT_FALSE(again.InImage(DtmfAutoDialPage::kCallId));
}

}  // namespace
}  // namespace kestra
