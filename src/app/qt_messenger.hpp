#pragma once
// The desktop program's Messenger: a modal QMessageBox with "OK", or "OK" and "Cancel", over the
// active window and captioned with the program's name. A transfer's worker thread may call it
// too; the box is then shown on the user-interface thread while the worker waits for the answer.

#include <QString>

#include "model/messenger.hpp"

namespace kestra {

class QtMessenger final : public Messenger {
public:
    explicit QtMessenger(QString caption = QStringLiteral("Program"));

    bool Show(const std::string& text, MessageButtons buttons = MessageButtons::Ok) override;

private:
    bool ShowHere(const QString& text, MessageButtons buttons) const;

    QString caption_;
};

}  // namespace kestra
