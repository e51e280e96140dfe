// SPDX-License-Identifier: GPL-3.0-or-later
// The Channel Edit controls as text lines, and typed assignments to them.

#include "channels/channel_edit_text.hpp"

#include <algorithm>

#include "model/ascii.hpp"
#include "model/channel_record.hpp"
#include "model/codecs.hpp"

namespace kestra {

namespace {

// The lists before "CH. Name" in the dialog's order (Tx Power to Voice Process); the others
// follow it.
constexpr std::size_t kListsBeforeName = 5;

std::string Quoted(std::string_view text) {
    return "'" + std::string(text) + "'";
}

std::string ListChoices(const ListField& field) {
    std::string choices;
    for (std::string_view text : field.texts) {
        choices += (choices.empty() ? "" : ", ") + std::string(text);
    }
    return choices;
}

std::optional<std::string> TypeFrequency(std::string& box, std::string_view caption,
                                         std::string_view value) {
    for (char c : value) {
        if (!FilterAccepts(kFrequencyFilter, c) || c == '\b') {
            return std::string(caption) + " takes a frequency in MHz (digits and a point), not " +
                   Quoted(value);
        }
    }
    box = std::string(value);
    return std::nullopt;
}

std::optional<std::string> TypeName(std::string& box, std::string_view value) {
    if (value.size() > kChannelNameLength) {
        return "CH. Name takes at most 7 characters, not " + Quoted(value);
    }
    if (!std::all_of(value.begin(), value.end(), NameCharacterAccepted)) {
        return "CH. Name takes printable ASCII characters only, not " + Quoted(value);
    }
    box = std::string(value);
    return std::nullopt;
}

std::optional<std::string> ChooseListEntry(int& selected, const ListField& field,
                                           std::string_view value) {
    for (std::size_t i = 0; i < field.texts.size(); ++i) {
        if (EqualsIgnoringAsciiCase(field.texts[i], value)) {
            selected = static_cast<int>(i);
            return std::nullopt;
        }
    }
    return std::string(field.caption) + " must be one of " + ListChoices(field) + ", not " +
           Quoted(value);
}

// The tone boxes are editable: any printable text may be typed, the commit normalises it.
std::optional<std::string> TypeTone(std::string& box, std::string_view caption,
                                    std::string_view value) {
    if (!std::all_of(value.begin(), value.end(), NameCharacterAccepted)) {
        return std::string(caption) + " takes a tone such as 88.5, D023N or None, not " +
               Quoted(value);
    }
    box = std::string(value);
    return std::nullopt;
}

// Types value into the control of caption (already matched) and leaves it.
std::optional<std::string> TypeInto(ChannelEditor& editor, std::string_view caption,
                                    std::string_view value) {
    ChannelEditFields& fields = editor.fields();
    std::optional<std::string> problem;
    if (caption == "Rx Freq") {
        if (!(problem = TypeFrequency(fields.rxFreq, caption, value))) {
            editor.CommitRxFrequency();
        }
    } else if (caption == "Tx Freq") {
        const std::string atFocus = fields.txFreq;
        if (!(problem = TypeFrequency(fields.txFreq, caption, value))) {
            editor.CommitTxFrequency(atFocus);
        }
    } else if (caption == "Rx Tone" || caption == "Tx Tone") {
        const bool rx = caption == "Rx Tone";
        if (!(problem = TypeTone(rx ? fields.rxTone : fields.txTone, caption, value)) &&
            !(rx ? editor.CommitRxTone() : editor.CommitTxTone())) {
            problem = std::string(caption) +
                      " takes a tone of the lists (67.0 ... 254.1, D023N ... D754I, None), or "
                      "the number of one, not " +
                      Quoted(value);
        }
    } else if (caption == "CH. Name") {
        problem = TypeName(fields.name, value);
    } else {
        for (std::size_t i = 0; i < kChannelListFields.size(); ++i) {
            if (kChannelListFields[i].caption == caption) {
                problem = ChooseListEntry(fields.lists[i], kChannelListFields[i], value);
            }
        }
    }
    return problem;
}

}  // namespace

std::vector<std::pair<std::string_view, std::string>> ChannelEditTexts(
    const ChannelEditFields& fields) {
    std::vector<std::pair<std::string_view, std::string>> texts{{"CH", fields.ch},
                                                                {"Rx Freq", fields.rxFreq},
                                                                {"Tx Freq", fields.txFreq},
                                                                {"Rx Tone", fields.rxTone},
                                                                {"Tx Tone", fields.txTone}};
    for (std::size_t i = 0; i < kChannelListFields.size(); ++i) {
        if (i == kListsBeforeName) {
            texts.emplace_back("CH. Name", fields.name);
        }
        const ListField& field = kChannelListFields[i];
        const int selected = fields.lists[i];
        texts.emplace_back(field.caption,
                           selected >= 0 && static_cast<std::size_t>(selected) < field.texts.size()
                               ? std::string(field.texts[static_cast<std::size_t>(selected)])
                               : std::string());
    }
    return texts;
}

std::string PrintChannelEdit(const ChannelEditFields& fields) {
    std::string lines;
    for (const auto& [caption, text] : ChannelEditTexts(fields)) {
        lines += std::string(caption) + ":" + (text.empty() ? "" : " " + text) + "\n";
    }
    return lines;
}

std::optional<std::string> TypeIntoChannelEditor(ChannelEditor& editor,
                                                 std::string_view assignment) {
    const std::size_t eq = assignment.find('=');
    if (eq == std::string_view::npos) {
        return "expected Caption=value, not " + Quoted(assignment);
    }
    const std::string_view typed = assignment.substr(0, eq);
    const std::string_view value = assignment.substr(eq + 1);
    if (EqualsIgnoringAsciiCase(typed, "CH")) {
        return std::string("the channel is chosen by the CH argument, not by CH=");
    }
    const auto texts = ChannelEditTexts(editor.fields());
    const auto known = std::find_if(texts.begin(), texts.end(), [typed](const auto& entry) {
        return EqualsIgnoringAsciiCase(entry.first, typed);
    });
    if (known == texts.end()) {
        std::string captions;
        for (std::size_t i = 1; i < texts.size(); ++i) {
            captions += (i == 1 ? "" : ", ") + std::string(texts[i].first);
        }
        return "no field " + Quoted(typed) + " (the fields are " + captions + ")";
    }
    const std::string_view caption = known->first;
    if (caption != "Rx Freq" && !editor.fields().enabled) {
        return std::string(caption) + " cannot be set on an empty channel: give Rx Freq first";
    }
    return TypeInto(editor, caption, value);
}

}  // namespace kestra
