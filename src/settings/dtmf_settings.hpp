// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The three pages of the "DTMF" dialog over the DTMF block at 0x2080-0x217F and the two "Side
// Tone" bits of 0x2049: "Encode" (timing, side tone, PTT ID codes, wait reply), "Decode" (group
// code, kill and stun, alarm code, decode response and time) and "Auto Dial" (Own ID, the Call
// ID held in memory, the delimiter and ten stored codes). Each page is a settings form; the
// Auto Dial page adds the suffix rewrite and "ANI Call".

#include <cstddef>
#include <span>
#include <string>

#include "settings/settings_form.hpp"

namespace kestra {

std::span<const Setting> DtmfEncodeSettings();
std::span<const Setting> DtmfDecodeSettings();
std::span<const Setting> DtmfAutoDialSettings();

class DtmfEncodePage : public SettingsForm {
public:
    DtmfEncodePage();
};

class DtmfDecodePage : public SettingsForm {
public:
    DtmfDecodePage();
};

// The stored codes end with the delimiter and the Own ID when they dial this radio's identity
// ("123*100"). Changing either rewrites that ending in every code that has it, so the codes keep
// following the identity: with "#" chosen, 123*100 becomes 123#100.
class DtmfAutoDialPage : public SettingsForm {
public:
    static constexpr std::size_t kOwnId = 0;
    static constexpr std::size_t kCallId = 1;
    static constexpr std::size_t kDelimiter = 2;
    static constexpr std::size_t kFirstCode = 3;  // "Code 0" to "Code 9" follow
    static constexpr int kCodeRows = 10;

    // callId: the Call ID held in memory for the run; shown when the page is created and
    // replaced whenever the page encodes.
    explicit DtmfAutoDialPage(std::string& callId);

    void LoadFromImage(const MemoryImage& image) override;
    void StoreToImage(MemoryImage& image) override;
    // Leaving the Own ID empty puts the previous one back; leaving it with a new text, or
    // choosing a delimiter, rewrites the codes' endings.
    void Leave(std::size_t field) override;

    // "ANI Call": Call ID, delimiter and Own ID, joined, into code row 0-9.
    void AniCall(int row);

private:
    void RewriteSuffixes();
    void Remember();

    std::string& callId_;
    std::string rememberedSuffix_;  // the delimiter and Own ID the codes end with
    std::string rememberedOwnId_;
};

}  // namespace kestra
