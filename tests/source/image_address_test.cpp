// SPDX-License-Identifier: GPL-3.0-or-later
// Every image address is named once, in model/image_map.hpp; code elsewhere uses the names. Two
// things in code (comments and texts aside) are taken for a raw address: a hexadecimal number
// of three or more digits below the image size (protocol bytes and masks have two digits,
// all-ones values lie beyond the image), and any number written straight into an image as the
// offset to index, span, fill or write.

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "source/source_text.hpp"

namespace {

namespace fs = std::filesystem;

constexpr unsigned long kImageSize = 0x4000;

// Files whose long hexadecimal numbers are something else than image addresses.
bool HoldsOtherNumbers(const fs::path& relative) {
    return relative == "src/link/serial_inventory.cpp";  // USB vendor and product ids
}

struct RawAddress {
    int line;
    std::string literal;
};

int LineOf(const std::string& code, std::size_t offset) {
    return 1 + static_cast<int>(std::count(code.begin(), code.begin() + offset, '\n'));
}

std::vector<RawAddress> RawAddresses(const std::string& code) {
    static const std::regex longHex(R"(\b0[xX]([0-9A-Fa-f']{3,})[uUlL]*\b)");
    static const std::regex imageOffset(
        R"(\w*[iI]mage\w*\s*(?:\[|\.(?:span|fill|write|at)\(|\.all\(\)\s*\[)\s*)"
        R"((0[xX][0-9A-Fa-f']+|[0-9][0-9']*)[uUlL]*\s*[\],+)])");
    std::vector<RawAddress> found;
    std::set<std::ptrdiff_t> reported;
    for (auto it = std::sregex_iterator(code.begin(), code.end(), longHex);
         it != std::sregex_iterator(); ++it) {
        std::string digits = (*it)[1].str();
        std::erase(digits, '\'');
        if (digits.size() <= 8 && std::stoul(digits, nullptr, 16) < kImageSize) {
            found.push_back({LineOf(code, static_cast<std::size_t>(it->position())), it->str()});
            reported.insert(it->position());
        }
    }
    for (auto it = std::sregex_iterator(code.begin(), code.end(), imageOffset);
         it != std::sregex_iterator(); ++it) {
        if (!reported.contains(it->position(1))) {
            found.push_back({LineOf(code, static_cast<std::size_t>(it->position(1))), it->str()});
        }
    }
    return found;
}

TEST(ImageAddresses, NoRawImageAddressOutsideTheImageMap) {
    const fs::path sourceDir = KESTRA_SOURCE_DIR;
    int files = 0;
    for (const fs::path& file : kestra::source::SourceFiles(sourceDir, {"src", "tools"})) {
        if (file == "src/model/image_map.hpp" || HoldsOtherNumbers(file)) {
            continue;
        }
        ++files;
        const std::string code =
            kestra::source::CodeOnly(kestra::source::ReadFile(sourceDir / file));
        for (const RawAddress& raw : RawAddresses(code)) {
            ADD_FAILURE() << file.string() << ":" << raw.line << " writes " << raw.literal
                          << "; name the address in src/model/image_map.hpp and use the name";
        }
    }
    EXPECT_GT(files, 100);
}

TEST(ImageAddresses, RawAddressesAreFoundAndOrdinaryNumbersAreNot) {
    const std::string code = kestra::source::CodeOnly(
        "state.image[0x1F70] = 0xB0;\n"
        "const auto limits = Bytes(image, 0x2e10, 16);\n"
        "image_.fill(8048, 8, 0xFF); image.span(0, 4);\n"
        "// image[0x2040] in a comment, and in a text:\n"
        "Print(\"0x2040\");\n"
        "const int mask = 0xFF, all = 0xFFFF, ms = 1000, hz = 1'000'000;\n"
        "bytes_[12] = image[map::kMenuSettings + 0x0F]; image.write(RecordOffset(r), data);\n");
    const auto found = RawAddresses(code);
    ASSERT_EQ(found.size(), 4u);
    EXPECT_EQ(found[0].line, 1);
    EXPECT_EQ(found[0].literal, "0x1F70");
    EXPECT_EQ(found[1].literal, "0x2e10");
    EXPECT_EQ(found[2].line, 3);
    EXPECT_EQ(found[2].literal, "image_.fill(8048,");
    EXPECT_EQ(found[3].literal, "image.span(0,");
}

}  // namespace
