// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the program tells the user something: a message box with "OK", or a confirmation with
// "OK" and "Cancel". The desktop program shows QMessageBox, the command-line tool prints to
// stderr, tests record. Texts are passed verbatim. A failure is shown with the platform's warning
// or critical icon where the messenger draws icons.

#include <string>

namespace kestra {

enum class MessageButtons { Ok, OkCancel };
// Warning: nothing was done, the user can put it right; Critical: something broke on the way.
enum class MessageIcon { Warning, Critical };

class Messenger {
public:
    virtual ~Messenger() = default;
    // Shows the text and waits for the user; returns true for "OK", false for "Cancel".
    virtual bool Show(const std::string& text, MessageButtons buttons = MessageButtons::Ok) = 0;
    // A failure with "OK"; messengers without icons show it as any other message.
    virtual void ShowFailure(const std::string& text, MessageIcon icon) {
        static_cast<void>(icon);
        Show(text);
    }
};

}  // namespace kestra
