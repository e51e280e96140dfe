// SPDX-License-Identifier: GPL-3.0-or-later
// The "Optional Features" form on real images: what a new document becomes when the form is
// opened and closed, fallbacks, the power-on message, the hidden dual-wait bytes and the bits
// the form does not own.

#include <gtest/gtest.h>

#include "model/document_file.hpp"
#include "settings/optional_features.hpp"

namespace kestra {
namespace {

std::string Shown(const SettingsForm& form, std::string_view caption) {
    return form.Text(*form.Find(caption));
}

void Choose(SettingsForm& form, std::string_view caption, std::string_view text) {
    ASSERT_EQ(form.Enter(*form.Find(caption), text), std::nullopt) << caption;
}

TEST(OptionalFeaturesTest, NewDocumentOpenedAndClosedTakesTheFallbacks) {
    MemoryImage image = BuiltInDocumentImage();
    OptionalFeaturesForm form;
    form.LoadFromImage(image);
    EXPECT_EQ(Shown(form, "TOT (s)"), "30");
    EXPECT_EQ(Shown(form, "Power on display mode"), "DC");
    EXPECT_EQ(Shown(form, "Vox Gain Level"), "5");
    EXPECT_EQ(Shown(form, "Lamp Time (s)"), "6");
    EXPECT_EQ(Shown(form, "Lamp Color"), "3");
    EXPECT_FALSE(form.Find("Side Tone")) << "a field of the DTMF pages";
    EXPECT_EQ(Shown(form, "Power on Message"), "");
    EXPECT_EQ(Shown(form, "Dual Wait Time"), "2.55");

    form.StoreToImage(image);
    EXPECT_EQ(image[0x2040], 1);
    EXPECT_EQ(image[0x204D], 0x05);  // display mode 3 -> 1, lock mode and battery save kept
    EXPECT_EQ(image[0x2070], 0);
    EXPECT_EQ(image[0x2071], 255);
    for (std::size_t i = 0x2060; i <= 0x2066; ++i) {
        EXPECT_EQ(image[i], ' ') << std::hex << i;
    }
    // Everything else of a new document was already a value the form shows as it is.
    MemoryImage expected = BuiltInDocumentImage();
    expected[0x2040] = 1;
    expected[0x204D] = 0x05;
    expected[0x2070] = 0;
    expected.fill(0x2060, 7, ' ');
    EXPECT_EQ(image, expected);
}

TEST(OptionalFeaturesTest, StoredValuesWithoutAnEntryFallBack) {
    MemoryImage image;
    image[0x2042] = 12;    // squelch beyond 9
    image[0x2043] = 9;     // vox gain beyond "9"
    image[0x2044] = 8;     // step beyond "100"
    image[0x2046] = 10;    // lamp time beyond "10"
    image[0x2048] = 4;     // vox delay beyond "4"
    image[0x2049] = 0x60;  // scan mode 3
    image[0x204A] = 0xF0;  // lamp mode 3, lamp colour 3
    image[0x204B] = 0x78;  // both channel displays 3
    image[0x204D] = 0x30;  // battery save 3
    OptionalFeaturesForm form;
    form.LoadFromImage(image);
    EXPECT_EQ(Shown(form, "Squelch Level"), "4");
    EXPECT_EQ(Shown(form, "Vox Gain Level"), "4");
    EXPECT_EQ(Shown(form, "Step (kHz)"), "12.5");
    EXPECT_EQ(Shown(form, "Lamp Time (s)"), "5");
    EXPECT_EQ(Shown(form, "Vox Delay Time (s)"), "3");
    EXPECT_EQ(Shown(form, "Scan Mode"), "Time");
    EXPECT_EQ(Shown(form, "Lamp Mode"), "Key");
    EXPECT_EQ(Shown(form, "Lamp Color"), "1");
    EXPECT_EQ(Shown(form, "A Channel Display"), "Frequency");
    EXPECT_EQ(Shown(form, "B Channel Display"), "Frequency");
    EXPECT_EQ(Shown(form, "Battery Save"), "On");

    form.StoreToImage(image);
    EXPECT_EQ(image[0x2042], 4);
    EXPECT_EQ(image[0x2043], 3);
    EXPECT_EQ(image[0x2046], 4);
    EXPECT_EQ(image[0x2048], 2);
    EXPECT_EQ(image[0x204A] & 0xF0, 0x10);
    EXPECT_EQ(image[0x204B] & 0x78, 0x28);
}

TEST(OptionalFeaturesTest, ChosenEntriesStoreTheirValues) {
    MemoryImage image = BuiltInDocumentImage();
    OptionalFeaturesForm form;
    form.LoadFromImage(image);
    Choose(form, "Lamp Time (s)", "10");
    Choose(form, "Squelch Level", "0");
    Choose(form, "Key Lock", "Off");
    Choose(form, "Tail Mode", "180");
    Choose(form, "Step (kHz)", "6.25");
    form.StoreToImage(image);
    EXPECT_EQ(image[0x2046], 9);
    EXPECT_EQ(image[0x2042], 0);
    EXPECT_EQ(image[0x204C] & 0x10, 0x10);
    EXPECT_EQ(image[0x204E] & 0x30, 0x20);
    EXPECT_EQ(image[0x2044], 2);

    Choose(form, "Key Lock", "On");
    form.StoreToImage(image);
    EXPECT_EQ(image[0x204C] & 0x10, 0);
}

TEST(OptionalFeaturesTest, PowerOnMessageReadsDigitCodesAndStopsAtTheFirstUnprintable) {
    MemoryImage image;
    image.write(0x2060, std::vector<std::uint8_t>{1, 2, 14, 15, 0xFF, 'X', 'Y'});
    OptionalFeaturesForm form;
    form.LoadFromImage(image);
    EXPECT_EQ(Shown(form, "Power on Message"), "12*#");
    form.StoreToImage(image);
    EXPECT_EQ(std::string(image.span(0x2060, 7).begin(), image.span(0x2060, 7).end()), "12*#   ");

    image.write(0x2060, std::vector<std::uint8_t>{'H', 'I', ' ', ' ', 11, 'Z', 'Z'});
    form.LoadFromImage(image);
    EXPECT_EQ(Shown(form, "Power on Message"), "HI");

    // What a user cannot type is refused, and so is an eighth character.
    const std::size_t message = *form.Find("Power on Message");
    EXPECT_NE(form.Enter(message, "A\x01"), std::nullopt);
    EXPECT_NE(form.Enter(message, "ABCDEFGH"), std::nullopt);
    EXPECT_EQ(form.Enter(message, "hello 7"), std::nullopt);
    EXPECT_EQ(form.Text(message), "hello 7");
}

TEST(OptionalFeaturesTest, DualWaitTimeIsExactAndFallsBackTo150) {
    MemoryImage image = BuiltInDocumentImage();
    OptionalFeaturesForm form;
    form.LoadFromImage(image);
    const std::size_t time = *form.Find("Dual Wait Time");
    const std::size_t reset = *form.Find("DW Reset Time");
    EXPECT_FALSE(form.At(time).visible);
    EXPECT_FALSE(form.At(reset).visible);

    ASSERT_EQ(form.Enter(time, "0.29"), std::nullopt);
    EXPECT_EQ(form.Text(time), "0.29");
    form.StoreToImage(image);
    EXPECT_EQ(image[0x2071], 29);
    for (const char* outside : {"", "0", "3", "2.56"}) {
        form.SetText(time, outside);
        form.Leave(time);
        EXPECT_EQ(form.Text(time), "1.50") << outside;
    }
    form.StoreToImage(image);
    EXPECT_EQ(image[0x2071], 150);

    for (std::uint8_t stored : {1, 155, 255}) {
        image[0x2071] = stored;
        form.LoadFromImage(image);
        form.StoreToImage(image);
        EXPECT_EQ(image[0x2071], stored);
    }
    image[0x2070] = 11;  // beyond "10"
    form.LoadFromImage(image);
    EXPECT_EQ(form.Text(reset), "Off");
}

TEST(OptionalFeaturesTest, BitsTheFormDoesNotOwnSurvive) {
    for (std::uint8_t fill : {0x00, 0xFF, 0xA5, 0x5A}) {
        MemoryImage image;
        image.fill(0x2040, 0x40, fill);
        OptionalFeaturesForm form;
        form.LoadFromImage(image);
        form.StoreToImage(image);
        struct Kept {
            std::size_t offset;
            std::uint8_t mask;
        };
        for (const Kept kept :
             {Kept{0x2041, 0xFF}, Kept{0x2045, 0xFF}, Kept{0x2047, 0xFF}, Kept{0x2049, 0x18},
              Kept{0x204A, 0x01}, Kept{0x204B, 0x80}, Kept{0x204C, 0x6E}, Kept{0x204D, 0xC0},
              Kept{0x204E, 0x0F}, Kept{0x204F, 0xFF}, Kept{0x2050, 0xFF}, Kept{0x205F, 0xFF},
              Kept{0x2067, 0xFF}, Kept{0x2072, 0xFF}, Kept{0x207F, 0xFF}}) {
            EXPECT_EQ(image[kept.offset] & kept.mask, fill & kept.mask)
                << std::hex << kept.offset << " fill " << int(fill);
        }
        EXPECT_EQ(image[0x2080], 0xFF);
    }
}

TEST(OptionalFeaturesTest, TheThreeColumnsShowEveryVisibleFieldOnce) {
    OptionalFeaturesForm form;
    std::size_t visible = 0;
    for (std::size_t i = 0; i < form.Count(); ++i) {
        visible += form.At(i).visible ? 1 : 0;
    }
    std::vector<std::string_view> shown(kOptionalFeaturesColumn1.begin(),
                                        kOptionalFeaturesColumn1.end());
    shown.insert(shown.end(), kOptionalFeaturesColumn2.begin(), kOptionalFeaturesColumn2.end());
    shown.insert(shown.end(), kOptionalFeaturesColumn3.begin(), kOptionalFeaturesColumn3.end());
    EXPECT_EQ(visible, 31u);
    ASSERT_EQ(shown.size(), visible);
    for (std::string_view caption : shown) {
        const auto field = form.Find(caption);
        ASSERT_TRUE(field) << caption;
        EXPECT_TRUE(form.At(*field).visible) << caption;
    }
}

}  // namespace
}  // namespace kestra
