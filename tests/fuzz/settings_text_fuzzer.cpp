// SPDX-License-Identifier: GPL-3.0-or-later
// Applies an arbitrary settings file to arbitrary settings blocks, the way kestra-cli settings
// --apply does. Whatever the blocks and the file hold, nothing may read or write out of range,
// closing the dialogs may change no byte outside the blocks they edit, and the print of the
// forms must always apply back to them without a complaint.
//
// Input: the first 408 bytes fill the menu and DTMF blocks (0x2040-0x217F) and the broadcast
// receiver block (0x2F80-0x2FD7); the rest is the settings file.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "model/document_file.hpp"
#include "settings/settings_text.hpp"

namespace kestra {
namespace {

constexpr std::size_t kMenu = 0x2040;
constexpr std::size_t kMenuEnd = 0x2180;
constexpr std::size_t kBroadcast = 0x2F80;
constexpr std::size_t kBroadcastEnd = 0x2FD8;

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool InBlocks(std::size_t a) {
    return (a >= kMenu && a < kMenuEnd) || (a >= kBroadcast && a < kBroadcastEnd);
}

}  // namespace
}  // namespace kestra

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kestra;
    MemoryImage image = BuiltInDocumentImage();
    std::size_t used = 0;
    for (std::size_t a = kMenu; a < kMenuEnd && used < size; ++a) {
        image[a] = data[used++];
    }
    for (std::size_t a = kBroadcast; a < kBroadcastEnd && used < size; ++a) {
        image[a] = data[used++];
    }
    const std::string_view text(reinterpret_cast<const char*>(data) + used, size - used);
    const MemoryImage opened = image;

    std::string callId = "100";
    SettingsForms forms(callId);
    forms.LoadFromImage(image);
    (void)ApplySettingsText(text, forms);
    const std::string printed = PrintSettings(forms);
    Check(!ApplySettingsText(printed, forms).has_value());
    Check(PrintSettings(forms) == printed);
    forms.StoreToImage(image);
    for (std::size_t a = 0; a < kImageSize; ++a) {
        Check(InBlocks(a) || image[a] == opened[a]);
    }
    return 0;
}
