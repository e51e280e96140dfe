#include "service/password.hpp"

namespace kestra {
namespace {

char FoldCase(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

bool IsServicePassword(std::string_view text) {
    if (text.size() != kServicePassword.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (FoldCase(text[i]) != FoldCase(kServicePassword[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace kestra
