// The radio link names the image areas it moves through the image map: no source file of the
// link or of the radio emulator writes an image address as a bare number. A hexadecimal number
// of three or more digits in code (comments aside) is taken for one; protocol bytes and masks
// have two.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

namespace {

namespace fs = std::filesystem;

// Files whose long hexadecimal numbers are something else than image addresses.
bool HoldsOtherNumbers(const fs::path& relative) {
    return relative == "src/link/serial_inventory.cpp";  // USB vendor and product ids
}

TEST(LinkAddresses, NoRawImageAddressInTheLinkOrTheEmulator) {
    static const std::regex address(R"(\b0[xX][0-9A-Fa-f]{3,}\b)");
    const fs::path source = KESTRA_SOURCE_DIR;
    int files = 0;
    for (const fs::path& folder : {source / "src" / "link", source / "tools"}) {
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            if (entry.path().extension() != ".cpp" ||
                HoldsOtherNumbers(entry.path().lexically_relative(source))) {
                continue;
            }
            ++files;
            std::ifstream in(entry.path());
            int number = 0;
            for (std::string line; std::getline(in, line);) {
                ++number;
                const std::string code = line.substr(0, line.find("//"));
                std::smatch match;
                EXPECT_FALSE(std::regex_search(code, match, address))
                    << entry.path().lexically_relative(source).string() << ":" << number
                    << " writes " << match.str() << "; name it in model/image_map.hpp";
            }
        }
    }
    EXPECT_GT(files, 10);
}

}  // namespace
