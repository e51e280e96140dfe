// SPDX-License-Identifier: GPL-3.0-or-later
#include "source/source_text.hpp"

#include <algorithm>
#include <fstream>
#include <regex>
#include <sstream>

namespace kestra::source {

namespace fs = std::filesystem;

namespace {

bool IsIdentChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

class Cleaner {
public:
    explicit Cleaner(std::string_view text) : text_(text), out_(text) {}

    std::string Run() {
        bool lineStart = true;  // only blanks since the last line break
        while (i_ < text_.size()) {
            const char c = text_[i_];
            if (c == '\n') {
                lineStart = true;
                ++i_;
            } else if (lineStart && c == '#') {
                Directive();
            } else if (IsBlank(c)) {
                ++i_;
            } else {
                lineStart = false;
                Token(c);
            }
        }
        return out_;
    }

private:
    void Blank(std::size_t from, std::size_t to) {
        for (std::size_t k = from; k < to && k < out_.size(); ++k) {
            if (out_[k] != '\n') {
                out_[k] = ' ';
            }
        }
    }

    char At(std::size_t k) const { return k < text_.size() ? text_[k] : '\0'; }

    void Directive() {
        std::size_t end = i_;
        while (end < text_.size() && text_[end] != '\n') {
            end += text_[end] == '\\' && At(end + 1) == '\n' ? 2 : 1;
        }
        Blank(i_, end);
        i_ = end;
    }

    void Token(char c) {
        if (c == '/' && At(i_ + 1) == '/') {
            const std::size_t end = std::min(text_.find('\n', i_), text_.size());
            Blank(i_, end);
            i_ = end;
        } else if (c == '/' && At(i_ + 1) == '*') {
            const std::size_t close = text_.find("*/", i_ + 2);
            const std::size_t end = close == std::string_view::npos ? text_.size() : close + 2;
            Blank(i_, end);
            i_ = end;
        } else if (c == '"' && i_ > 0 && text_[i_ - 1] == 'R') {
            RawString();
        } else if (c == '"') {
            Quoted('"');
        } else if (c == '\'' && !DigitSeparator()) {
            Quoted('\'');
        } else {
            ++i_;
        }
    }

    // A ' inside a number such as 1'000'000.
    bool DigitSeparator() const {
        std::size_t k = i_;
        while (k > 0 && (IsIdentChar(text_[k - 1]) || text_[k - 1] == '\'')) {
            --k;
        }
        return k < i_ && text_[k] >= '0' && text_[k] <= '9';
    }

    void Quoted(char quote) {
        std::size_t j = i_ + 1;
        while (j < text_.size() && text_[j] != quote && text_[j] != '\n') {
            j += text_[j] == '\\' ? 2 : 1;
        }
        Blank(i_ + 1, j);
        i_ = std::min(j + 1, text_.size());
    }

    void RawString() {
        const std::size_t open = text_.find('(', i_);
        if (open == std::string_view::npos) {
            Quoted('"');
            return;
        }
        const std::string terminator =
            ")" + std::string(text_.substr(i_ + 1, open - i_ - 1)) + "\"";
        const std::size_t close = text_.find(terminator, open);
        const std::size_t end =
            close == std::string_view::npos ? text_.size() : close + terminator.size();
        Blank(i_ + 1, end - 1);
        i_ = end;
    }

    std::string_view text_;
    std::string out_;
    std::size_t i_ = 0;
};

std::string Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    return std::string(text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1));
}

// Whether the text before a brace ends like a function head: a parameter list, then qualifiers
// or a trailing return type.
bool EndsLikeFunction(const std::string& head) {
    static const std::regex tail(
        R"(\)\s*(?:(?:const|noexcept|override|final|mutable|volatile|&&|&)\s*|)"
        R"(noexcept\s*\([^()]*\)\s*|->[^;{}()]*)*$)");
    // A constructor whose last member initializer is braced: "...) : a_(a), b_{b} {".
    static const std::regex bracedInitializer(R"(\)\s*:\s*[\w:]+\s*[({][^;]*\}$)");
    return std::regex_search(head, tail) || std::regex_search(head, bracedInitializer);
}

bool IsContainerHead(const std::string& head) {
    static const std::regex container(R"(\b(?:namespace|class|struct|union|enum)\b|\bextern\s*")");
    return std::regex_search(head, container);
}

std::string ContainerName(const std::string& head) {
    static const std::regex named(R"(\b(?:class|struct|union)\s+(\w+))");
    std::smatch match;
    if (head.find("enum") == std::string::npos && std::regex_search(head, match, named)) {
        return match[1].str();
    }
    return {};
}

// The position of the bracket that opens the group closing at `close`, or npos.
std::size_t MatchingOpen(const std::string& text, std::size_t close) {
    const char closer = text[close];
    const char opener = closer == ')' ? '(' : '{';
    int depth = 0;
    for (std::size_t k = close + 1; k-- > 0;) {
        depth += text[k] == closer ? 1 : text[k] == opener ? -1 : 0;
        if (depth == 0) {
            return k;
        }
    }
    return std::string::npos;
}

std::string RightTrimmed(std::string_view text) {
    const auto last = text.find_last_not_of(" \t\r\n");
    return last == std::string_view::npos ? std::string() : std::string(text.substr(0, last + 1));
}

// Where the qualified name ending at `end` starts: letters, digits, "_", "~" and "::".
std::size_t NameStart(const std::string& text, std::size_t end) {
    std::size_t start = end;
    while (start > 0) {
        if (IsIdentChar(text[start - 1]) || text[start - 1] == '~') {
            --start;
        } else if (start > 1 && text[start - 1] == ':' && text[start - 2] == ':') {
            start -= 2;
        } else {
            break;
        }
    }
    return start;
}

// What a head without a plain name before its parameter list is: an operator or a lambda.
std::string Unnamed(const std::string& before) {
    static const std::regex op(R"(((?:\w+::)*operator\s*\S+)$)");
    std::smatch match;
    if (std::regex_search(before, match, op)) {
        return match[1].str();
    }
    return before.ends_with("]") ? "(lambda)" : "(unnamed)";
}

// The name before the parameter list of a function head; a constructor's member initializers
// are stepped over.
std::string FunctionName(const std::string& head) {
    std::size_t close = head.find_last_of(')');
    while (close != std::string::npos) {
        const std::size_t open = MatchingOpen(head, close);
        if (open == std::string::npos) {
            break;
        }
        const std::size_t start = NameStart(head, open);
        const std::string name = head.substr(start, open - start);
        const std::string before = RightTrimmed(std::string_view(head).substr(0, start));
        // "...) : a_(x)" or "..., b_(y)"; "public:" before a name is no initializer list.
        const std::string beforeColon =
            before.ends_with(":")
                ? RightTrimmed(std::string_view(before).substr(0, before.size() - 1))
                : std::string();
        const bool initializer = before.ends_with(",") || beforeColon.ends_with(")") ||
                                 beforeColon.ends_with("}") || beforeColon.ends_with("noexcept");
        if (!initializer) {
            return name.empty() ? Unnamed(before) : name;
        }
        // The entry before this member initializer: another one, or the parameter list.
        close =
            before.size() < 2 ? std::string::npos : before.find_last_of(")}", before.size() - 2);
        if (close != std::string::npos && head[close] == '}') {
            const std::size_t brace = MatchingOpen(head, close);
            close = brace == std::string::npos ? brace : head.find_last_of(')', brace);
        }
    }
    return "(unnamed)";
}

}  // namespace

std::string CodeOnly(std::string_view text) {
    return Cleaner(text).Run();
}

std::vector<FunctionBody> FunctionBodies(std::string_view code) {
    enum class Kind { Container, Function, Other };
    struct Open {
        Kind kind;
        int line;
        std::string name;
    };
    std::vector<Open> stack;
    std::vector<FunctionBody> bodies;
    std::string head;  // the text since the last statement at namespace or class level
    int inside = 0;    // braces open inside a function body or an initializer
    int line = 1;
    auto qualified = [&](const std::string& name) {
        std::string prefix;
        for (const Open& open : stack) {
            if (open.kind == Kind::Container && !open.name.empty()) {
                prefix += open.name + "::";
            }
        }
        return prefix + name;
    };
    for (const char c : code) {
        if (c == '\n') {
            ++line;
        }
        if (inside > 0) {
            if (c == '{') {
                ++inside;
            } else if (c == '}' && --inside == 0) {
                const Open done = stack.back();
                stack.pop_back();
                if (done.kind == Kind::Function) {
                    bodies.push_back({done.name, done.line, line});
                    head.clear();
                } else {
                    head += "{}";
                }
            }
            continue;
        }
        if (c == '{') {
            if (EndsLikeFunction(Trimmed(head))) {
                stack.push_back({Kind::Function, line, qualified(FunctionName(Trimmed(head)))});
                inside = 1;
            } else if (IsContainerHead(head)) {
                stack.push_back({Kind::Container, line, ContainerName(head)});
                head.clear();
            } else {
                stack.push_back({Kind::Other, line, {}});
                inside = 1;
            }
        } else if (c == '}') {
            if (!stack.empty()) {
                stack.pop_back();
            }
            head.clear();
        } else if (c == ';') {
            head.clear();
        } else {
            head += c;
        }
    }
    return bodies;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<fs::path> SourceFiles(const fs::path& sourceDir,
                                  const std::vector<std::string>& folders) {
    std::vector<fs::path> files;
    for (const std::string& folder : folders) {
        for (const auto& entry : fs::recursive_directory_iterator(sourceDir / folder)) {
            const fs::path ext = entry.path().extension();
            if (entry.is_regular_file() && (ext == ".cpp" || ext == ".hpp")) {
                files.push_back(entry.path().lexically_relative(sourceDir));
            }
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace kestra::source
