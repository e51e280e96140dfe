// SPDX-License-Identifier: GPL-3.0-or-later
#include "service/dtmf_initialization.hpp"

namespace kestra {

namespace {

std::size_t EntryOffset(std::size_t k) {
    return map::kDtmfDecoderTable + map::kDtmfDecoderEntrySize * k;
}

}  // namespace

DtmfInitializationForm LoadDtmfInitialization(const MemoryImage& image) {
    DtmfInitializationForm form;
    for (std::size_t k = 0; k < form.size(); ++k) {
        const std::size_t at = EntryOffset(k);
        form[k] = LeaveSpinField(
            kDtmfDecoderRule, ShowSpinValue(kDtmfDecoderRule, image[at + 2] * 256 + image[at + 3]));
    }
    return form;
}

void CommitDtmfInitialization(DtmfInitializationForm& form, MemoryImage& image) {
    for (std::string& text : form) {
        text = LeaveSpinField(kDtmfDecoderRule, text);
    }
    for (std::size_t k = 0; k < form.size(); ++k) {
        image.write(EntryOffset(k), kDtmfDecoderEntries[k].tag);
    }
    for (std::size_t k = 0; k < form.size(); ++k) {
        const std::int64_t value = SpinFieldValue(kDtmfDecoderRule, form[k]);
        image[EntryOffset(k) + 2] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
        image[EntryOffset(k) + 3] = static_cast<std::uint8_t>(value & 0xFF);
    }
}

}  // namespace kestra
