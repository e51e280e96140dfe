// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The desktop program's Messenger: a modal QMessageBox with "OK", or "OK" and "Cancel", over the
// active window and captioned with the program's name; a failure has the warning or critical icon
// and its first line stands out, the lines after it say what happened and what to do. A transfer's
// worker thread may call it too; the box is then shown on the user-interface thread while the
// worker waits for the answer.

#include <QString>

#include <functional>

#include "model/messenger.hpp"

namespace kestra {

class QtMessenger final : public Messenger {
public:
    explicit QtMessenger(QString caption = QStringLiteral("Program"));

    bool Show(const std::string& text, MessageButtons buttons = MessageButtons::Ok) override;
    // A failure: the warning or critical icon, "OK" only.
    void ShowFailure(const std::string& text, MessageIcon icon) override;

private:
    // Runs show on the user-interface thread, waiting for it from any other thread.
    bool OnUiThread(const std::function<bool()>& show) const;
    bool ShowHere(const QString& text, MessageButtons buttons) const;
    bool ShowFailureHere(const QString& text, MessageIcon icon) const;

    QString caption_;
};

}  // namespace kestra
