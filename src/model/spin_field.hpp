// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How an edit box with a spin control behaves in the service dialogs: its range, the base its
// text is written in, and what a user may type into it (the same TypingRules as every other
// edit box: the characters it takes, how many, and whether letters show in upper case). Every
// scalar box, every grid cell editor and every DTMF decoder box is described by one rule; the
// widgets and the command line both go through the functions below, so typing, leaving a box and a
// spin click mean the same everywhere.
//
// The box's text is its only state: a spin click reads the text, steps and wraps, and writes it
// back; a big step stops at the ends instead; leaving the box clamps the text into the range.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/codecs.hpp"
#include "model/field_layout.hpp"

namespace kestra {

struct SpinFieldRule {
    int low = 0;
    int high = 0;
    SpinFormat base = SpinFormat::Decimal;
    TypingRules typing = {};
};

// What the box shows after the user typed text into it: the text, upper-cased when the rule
// says so, or nothing when the box refuses it (a character its typing rules refuse, or too
// many characters).
std::optional<std::string> TypedSpinText(const SpinFieldRule& rule, std::string_view typed);

// A text as the box shows it: letters in upper case when the rule says so.
std::string ShownSpinText(const SpinFieldRule& rule, std::string_view text);

// The box lost the focus: the leading number clamped into the range, in the rule's base.
std::string LeaveSpinField(const SpinFieldRule& rule, std::string_view text);

// A spin click (+1 up, -1 down): wraps from one end of the range to the other.
std::string StepSpinField(const SpinFieldRule& rule, std::string_view text, int delta);

// A big step (PageUp/PageDown, Ctrl with an arrow, the mouse wheel): the value plus delta,
// stopping at the ends of the range (1020 + 10 in 0-1023 is 1023, never 0).
std::string StepSpinFieldWithin(const SpinFieldRule& rule, std::string_view text, int delta);

// The number the text stands for: its leading number in the rule's base, 0 when it has none.
std::int64_t SpinFieldValue(const SpinFieldRule& rule, std::string_view text);

// A value as the box shows it: "%d", or hexadecimal with upper-case letters.
std::string ShowSpinValue(const SpinFieldRule& rule, std::int64_t value);

}  // namespace kestra
