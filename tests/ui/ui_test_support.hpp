// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the widget tests share: one QApplication for the test program, a messenger that records
// every message (and can act while its "box" is up, when a transfer's worker waits for it),
// stand-ins for the file dialogs, a way to drive the next modal dialog once its event loop runs,
// and a fixture that gives every test its own program directory (KESTRA_HOME) and per-user
// folders, so Program.ini and the recent-file list never touch the real ones.

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QUndoStack>
#include <QWidget>

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/channel_editors.hpp"
#include "app/channel_finder.hpp"
#include "app/channel_interchange.hpp"
#include "app/channel_list_commands.hpp"
#include "app/document_controller.hpp"
#include "app/document_editor.hpp"
#include "app/radio_commands.hpp"
#include "channels/channel_document.hpp"
#include "channels/ui/program_view.hpp"
#include "model/app_state.hpp"
#include "model/messenger.hpp"

namespace kestra::test {

inline QApplication& Application() {
    static int argc = 1;
    static char name[] = "ui_test";
    static char* argv[] = {name, nullptr};
    // Never destroyed: tearing Qt down after main() has returned crashes in its own statics.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// Records every message; confirmations are answered from a queue (OK when it is empty).
class RecordingMessenger final : public Messenger {
public:
    bool Show(const std::string& text, MessageButtons buttons) override {
        messages.push_back(text);
        if (whileShown) {
            whileShown(text);
        }
        if (buttons == MessageButtons::Ok || answers.empty()) {
            return true;
        }
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    // Failures are messages too, with their icon noted.
    void ShowFailure(const std::string& text, MessageIcon icon) override {
        icons.push_back(icon);
        Show(text, MessageButtons::Ok);
    }

    // The first line of every message: the program's own text.
    std::vector<std::string> firstLines() const {
        std::vector<std::string> lines;
        for (const std::string& message : messages) {
            lines.push_back(message.substr(0, message.find('\n')));
        }
        return lines;
    }

    std::vector<std::string> messages;
    std::vector<MessageIcon> icons;  // of the failures among the messages
    std::deque<bool> answers;
    // Runs while the message is "on screen", on the user-interface thread.
    std::function<void(const std::string&)> whileShown;
};

// Answers the save question and the file dialogs from what the test set up.
class ScriptedPrompts final : public DocumentPrompts {
public:
    SaveChoice AskSaveChanges(const QString& documentName) override {
        saveQuestions.push_back(documentName);
        return saveChoice;
    }
    bool AskSaveBeforeRead(const QString& documentName) override {
        readQuestions.push_back(documentName);
        return saveBeforeRead;
    }
    QString AskOpenPath(const QString&) override { return openPath; }
    QString AskSavePath(const QString&) override { return savePath; }

    SaveChoice saveChoice = SaveChoice::Cancel;
    QStringList saveQuestions;
    bool saveBeforeRead = false;
    QStringList readQuestions;
    QString openPath;
    QString savePath;
};

// A document, its undo stack and its editor (the one write door), as the document controller
// holds them, for a view a test builds on its own; Attach wires the view as the main window
// does, with the controllers behind its buttons and row commands (children of the view).
struct ViewDocument {
    ViewDocument(AppState& state, Messenger& messenger)
        : state_(state),
          messenger_(messenger),
          document(state.image, state.limits),
          editor(document, undoStack, messenger) {}

    void Attach(CProgramView& view) {
        editor.AttachView(&view);
        radio = new RadioCommands(state_, messenger_, editor, view, &view);
        interchange = new ChannelInterchange(editor, view, messenger_);
        new ChannelEditors(editor, view);
        list = new ChannelListCommands(editor, view, messenger_);
        finder = new ChannelFinder(view);
    }

private:
    AppState& state_;
    Messenger& messenger_;

public:
    ChannelDocument document;
    QUndoStack undoStack;
    DocumentEditor editor;
    RadioCommands* radio = nullptr;
    ChannelInterchange* interchange = nullptr;
    ChannelListCommands* list = nullptr;
    ChannelFinder* finder = nullptr;
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

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        Application();
        ASSERT_TRUE(home_.isValid());
        qputenv("KESTRA_HOME", home_.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", (home_.path() + "/config").toLocal8Bit());
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           home_.path() + "/qsettings");
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, home_.path() + "/qsettings");
    }

    void TearDown() override {
        qunsetenv("KESTRA_HOME");
        qunsetenv("XDG_CONFIG_HOME");
    }

    std::filesystem::path Home() const { return std::filesystem::path(home_.path().toStdString()); }
    QString HomeFile(const QString& name) const { return home_.path() + "/" + name; }

    void WriteFile(const std::filesystem::path& path, const std::string& bytes) const {
        std::ofstream out(path, std::ios::binary);
        out << bytes;
    }
    std::string ReadFile(const std::filesystem::path& path) const {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    QTemporaryDir home_;
    RecordingMessenger messenger_;
    ScriptedPrompts prompts_;
};

}  // namespace kestra::test
