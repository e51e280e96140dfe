// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the program tells the user something: a message box with "OK", a confirmation with
// "OK" and "Cancel", or a question with "Yes" and "No" whose default is "No". The desktop program
// shows QMessageBox, the command-line tool prints to stderr, tests record. Texts are passed
// verbatim. A failure is shown with the platform's warning or critical icon where the messenger
// draws icons.

#include <string>

namespace kestra {

// YesNo: "No" is the default button, so Enter does not say yes; a messenger that cannot ask
// (the command line) answers "No".
enum class MessageButtons { Ok, OkCancel, YesNo };
// Warning: nothing was done, the user can put it right; Critical: something broke on the way.
enum class MessageIcon { Warning, Critical };

class Messenger {
public:
    virtual ~Messenger() = default;
    // Shows the text and waits for the user; returns true for "OK" or "Yes", false for "Cancel"
    // or "No".
    virtual bool Show(const std::string& text, MessageButtons buttons = MessageButtons::Ok) = 0;
    // A failure with "OK"; messengers without icons show it as any other message.
    virtual void ShowFailure(const std::string& text, MessageIcon icon) {
        static_cast<void>(icon);
        Show(text);
    }
};

}  // namespace kestra
