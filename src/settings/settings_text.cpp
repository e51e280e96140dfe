// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settings_text.hpp"

#include <cstddef>
#include <map>
#include <utility>

namespace kestra {

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Values with spaces at either end, or that start with a quote, are written in quotes so that
// reading them back keeps them exactly.
std::string Quoted(const std::string& value) {
    const bool needsQuotes =
        !value.empty() && (IsSpace(value.front()) || IsSpace(value.back()) || value.front() == '"');
    return needsQuotes ? "\"" + value + "\"" : value;
}

std::string_view Unquoted(std::string_view value) {
    value = Trim(value);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

std::string SectionNames(const std::array<SettingsForm*, 5>& forms) {
    std::string names;
    for (const SettingsForm* form : forms) {
        names += names.empty() ? "[" : ", [";
        names += form->Section();
        names += "]";
    }
    return names;
}

SettingsForm* FindForm(const std::array<SettingsForm*, 5>& forms, std::string_view section) {
    for (SettingsForm* form : forms) {
        if (form->Section() == section) {
            return form;
        }
    }
    return nullptr;
}

// Where each section and each field was first given, so a second mention is refused.
struct GivenLines {
    std::map<const SettingsForm*, int> sections;
    std::map<std::pair<const SettingsForm*, std::size_t>, int> fields;
};

std::string GivenTwice(std::string_view what, int firstLine) {
    return std::string(what) + " is given twice (first on line " + std::to_string(firstLine) + ")";
}

// One "Caption=value" line for the form; the reason when it cannot be applied.
std::optional<std::string> ApplyLine(SettingsForm* form, std::string_view line, int number,
                                     GivenLines& given) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return "expected Caption=value, found '" + std::string(line) + "'";
    }
    const std::string_view caption = Trim(line.substr(0, equals));
    if (form == nullptr) {
        return "'" + std::string(caption) + "' comes before any [section]";
    }
    const auto field = form->Find(caption);
    if (!field || !form->InImage(*field)) {
        return "[" + std::string(form->Section()) + "] has no field '" + std::string(caption) +
               "' (kestra-cli settings FILE prints every field)";
    }
    if (const auto [first, added] = given.fields.emplace(std::pair{form, *field}, number); !added) {
        return GivenTwice("'" + std::string(caption) + "'", first->second);
    }
    return form->Enter(*field, Unquoted(line.substr(equals + 1)));
}

}  // namespace

SettingsForms::SettingsForms(std::string& callId) : autoDial_(callId) {}

void SettingsForms::LoadFromImage(const MemoryImage& image) {
    for (SettingsForm* form : Forms()) {
        form->LoadFromImage(image);
    }
}

void SettingsForms::StoreToImage(MemoryImage& image) {
    for (SettingsForm* form : Forms()) {
        form->StoreToImage(image);
    }
}

std::array<SettingsForm*, 5> SettingsForms::Forms() {
    return {&optionalFeatures_, &encode_, &decode_, &autoDial_, &radio_};
}

std::array<const SettingsForm*, 5> SettingsForms::Forms() const {
    return {&optionalFeatures_, &encode_, &decode_, &autoDial_, &radio_};
}

void ForEachFileField(const SettingsForms& forms,
                      const std::function<void(std::size_t form, std::size_t field)>& visit) {
    const auto all = forms.Forms();
    for (std::size_t f = 0; f < all.size(); ++f) {
        for (std::size_t i = 0; i < all[f]->Count(); ++i) {
            if (all[f]->InImage(i)) {
                visit(f, i);
            }
        }
    }
}

std::string PrintSettings(const SettingsForms& forms) {
    const auto all = forms.Forms();
    std::string text;
    std::optional<std::size_t> section;
    ForEachFileField(forms, [&](std::size_t f, std::size_t i) {
        if (section != f) {
            section = f;
            text += text.empty() ? "[" : "\n[";
            text += all[f]->Section();
            text += "]\n";
        }
        text += std::string(all[f]->Caption(i)) + "=" + Quoted(all[f]->Text(i)) + "\n";
    });
    return text;
}

std::optional<SettingsTextError> ApplySettingsText(std::string_view text, SettingsForms& forms) {
    if (text.starts_with("\xEF\xBB\xBF")) {  // a byte-order mark some editors write
        text.remove_prefix(3);
    }
    const auto all = forms.Forms();
    SettingsForm* form = nullptr;
    GivenLines given;
    int number = 0;
    while (!text.empty()) {
        ++number;
        const std::size_t end = text.find('\n');
        const std::string_view raw = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        const std::string_view line = Trim(raw);
        if (line.empty() || line.front() == ';' || line.front() == '#') {
            continue;
        }
        if (line.front() == '[') {
            if (line.back() != ']') {
                return SettingsTextError{number, "a section line ends with ']'"};
            }
            const std::string_view section = Trim(line.substr(1, line.size() - 2));
            form = FindForm(all, section);
            if (form == nullptr) {
                return SettingsTextError{number, "no section [" + std::string(section) +
                                                     "]; the sections are " + SectionNames(all)};
            }
            if (const auto [first, added] = given.sections.emplace(form, number); !added) {
                return SettingsTextError{
                    number, GivenTwice("[" + std::string(section) + "]", first->second)};
            }
            continue;
        }
        if (auto problem = ApplyLine(form, line, number, given)) {
            return SettingsTextError{number, std::move(*problem)};
        }
    }
    return std::nullopt;
}

}  // namespace kestra
