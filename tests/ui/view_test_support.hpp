#pragma once
// What the channel view's widget tests share: one QApplication, a messenger that records and
// can act while its "box" is up (the transfer's worker waits meanwhile), and a way to drive the
// next modal dialog once its event loop runs.

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

#include "app/messenger.hpp"

namespace kestra::viewtest {

inline QApplication& Application() {
    static int argc = 1;
    static char name[] = "view_test";
    static char* argv[] = {name, nullptr};
    // Never destroyed: tearing Qt down after main() has returned crashes in its own statics.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

class RecordingMessenger final : public Messenger {
public:
    bool Show(const std::string& text, MessageButtons) override {
        messages.push_back(text);
        if (whileShown) {
            whileShown(text);
        }
        return true;
    }

    std::vector<std::string> messages;
    // Runs while the message is "on screen", on the user-interface thread.
    std::function<void(const std::string&)> whileShown;
};

// Runs action on the next modal dialog of type Dialog as soon as it is up.
template <typename Dialog>
void OnNextModal(std::function<void(Dialog*)> action) {
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, action] {
        if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            action(dialog);
        }
    });
    poll->start();
}

}  // namespace kestra::viewtest
