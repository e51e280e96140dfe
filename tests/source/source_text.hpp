// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading the project's own C++ sources for the checks that keep them in shape: the code with
// its comments, literal texts and preprocessor lines blanked out (so a brace or a number inside
// them counts for nothing), and the function bodies found in it. The reading is a careful
// heuristic, not a compiler: it knows enough C++ for the way this project writes it.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kestra::source {

// The text with comments, the contents of string and character literals (quotes kept) and
// preprocessor lines replaced by spaces. Line breaks stay where they are, so offsets and line
// numbers still match the file.
std::string CodeOnly(std::string_view text);

struct FunctionBody {
    std::string name;  // "Class::Function", "(lambda)" for a lambda outside any function
    int openLine = 0;  // 1-based lines of the opening and the closing brace
    int closeLine = 0;
    int Lines() const { return closeLine > openLine ? closeLine - openLine - 1 : 0; }
};

// The outermost function bodies of code that CodeOnly has cleaned: free functions, member
// functions in and out of class bodies, lambdas outside any function. Lambdas and local classes
// inside a function are part of that function's body.
std::vector<FunctionBody> FunctionBodies(std::string_view code);

std::string ReadFile(const std::filesystem::path& path);

// Every .cpp and .hpp file under the given folders of the source tree, sorted, as paths relative
// to the source tree.
std::vector<std::filesystem::path> SourceFiles(const std::filesystem::path& sourceDir,
                                               const std::vector<std::string>& folders);

}  // namespace kestra::source
