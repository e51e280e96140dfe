// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the service dialog tests share: program state in service mode whose transfers reach an
// in-process virtual radio in real time, a recording messenger, and the way a user leaves a box.

#include <QApplication>
#include <QElapsedTimer>
#include <QFocusEvent>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "link/device/link_factory.hpp"
#include "link/ui/threaded_transfer.hpp"
#include "link/virtual_radio.hpp"
#include "model/app_state.hpp"
#include "service/ui/service_dialog.hpp"
#include "ui_test_support.hpp"

namespace kestra::test {

class ServiceDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        Application();
        state_.deviceOverride = "demo";
        state_.serviceMode = true;
    }

    ServiceContext Context() { return ServiceContext{state_, messenger_, &links_}; }

    // The focus leaves the widget, as a click elsewhere does.
    static void Leave(QWidget* widget) {
        QFocusEvent out(QEvent::FocusOut, Qt::MouseFocusReason);
        QApplication::sendEvent(widget, &out);
    }

    // A click on a dialog's Read or Write button; returns once its transfer has ended (the
    // dialog keeps running its events meanwhile, as it does for a user).
    static void Press(ServiceDialog& dialog, QPushButton* button) {
        QTest::mouseClick(button, Qt::LeftButton);
        QElapsedTimer waited;
        waited.start();
        while (dialog.transfers()->running() && waited.elapsed() < 60000) {
            QTest::qWait(5);
        }
        ASSERT_FALSE(dialog.transfers()->running()) << "the transfer did not end within 60 s";
    }

    // The block headers the radio saw in one direction ("R " or "W ").
    std::vector<std::string> Headers(const std::string& kind) const {
        std::vector<std::string> found;
        for (const std::string& header : radio_.headers()) {
            if (header.starts_with(kind)) {
                found.push_back(header);
            }
        }
        return found;
    }

    // The radio's log without the wake-up strings.
    std::vector<std::string> Frames() const {
        std::vector<std::string> frames;
        for (const std::string& entry : radio_.log()) {
            if (entry != "PROGRAM") {
                frames.push_back(entry);
            }
        }
        return frames;
    }

    VirtualRadio radio_;
    LinkFactory links_{&radio_};
    AppState state_;
    RecordingMessenger messenger_;
};

}  // namespace kestra::test
