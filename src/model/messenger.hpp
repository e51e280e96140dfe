#pragma once
// How the program tells the user something: a message box with "OK", or a confirmation with
// "OK" and "Cancel". The desktop program shows QMessageBox, the command-line tool prints to
// stderr, tests record. Texts are passed verbatim.

#include <string>

namespace kestra {

enum class MessageButtons { Ok, OkCancel };

class Messenger {
public:
    virtual ~Messenger() = default;
    // Shows the text and waits for the user; returns true for "OK", false for "Cancel".
    virtual bool Show(const std::string& text, MessageButtons buttons = MessageButtons::Ok) = 0;
};

}  // namespace kestra
