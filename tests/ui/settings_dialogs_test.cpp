// SPDX-License-Identifier: GPL-3.0-or-later
// The settings dialogs in the desktop program, opened through the Edit menu and the navigation
// tree and driven through their real controls: the bytes they leave in the image, the document's
// modified flag and the one undo step that takes an opening back.

#include <QAction>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QUndoStack>

#include "app/application.hpp"
#include "app/main_window.hpp"
#include "app/navigation_bar.hpp"
#include "channels/ui/program_view.hpp"
#include "model/document_file.hpp"
#include "settings/optional_features.hpp"
#include "settings/ui/dtmf_dialog.hpp"
#include "settings/ui/field_grid_widget.hpp"
#include "settings/ui/optional_features_dialog.hpp"
#include "settings/ui/radio_dialog.hpp"
#include "settings/ui/settings_form_widget.hpp"
#include "ui_test_support.hpp"

namespace kestra::test {
namespace {

using Command = CMainFrame::Command;

std::string Bytes(const MemoryImage& image, std::size_t offset, std::size_t n) {
    const auto span = image.span(offset, n);
    return {span.begin(), span.end()};
}

// Picks an entry with the keyboard, as a user does without opening the list.
void Choose(QWidget* control, const QString& text) {
    auto* list = qobject_cast<QComboBox*>(control);
    ASSERT_NE(list, nullptr);
    const int target = list->findText(text);
    ASSERT_GE(target, 0) << text.toStdString();
    QTest::keyClick(list, Qt::Key_Home);
    for (int i = 0; i < target; ++i) {
        QTest::keyClick(list, Qt::Key_Down);
    }
    ASSERT_EQ(list->currentText(), text);
}

// Types into an edit (or the edit of an up-down control) after taking the focus.
QLineEdit* TypeInto(QWidget* control, const QString& keys) {
    QLineEdit* edit = qobject_cast<QLineEdit*>(control);
    if (auto* spin = qobject_cast<SpinEdit*>(control)) {
        edit = spin->edit();
    }
    control->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, keys);
    return edit;
}

void Activate(QWidget* dialog) {
    dialog->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
}

class SettingsDialogsTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        program_ = std::make_unique<KestraApplication>(&messenger_, &prompts_);
        program_->Start({});
        frame_ = program_->mainFrame();
        frame_->show();
    }

    MemoryImage& Image() { return program_->state().image; }
    QUndoStack* Undo() { return frame_->documents()->undoStack(); }
    bool Modified() { return frame_->documents()->isModified(); }

    std::unique_ptr<KestraApplication> program_;
    CMainFrame* frame_ = nullptr;
};

TEST_F(SettingsDialogsTest, OptionalFeaturesFromTheMenuIsOneUndoableStep) {
    const MemoryImage before = Image();
    bool ran = false;
    OnNextModal<OptionalFeaturesDialog>([&ran](OptionalFeaturesDialog* dialog) {
        Activate(dialog);
        EXPECT_EQ(qobject_cast<QComboBox*>(dialog->control("TOT (s)"))->currentText(), "30");
        EXPECT_EQ(dialog->control("Dual Wait Time"), nullptr) << "kept but never shown";
        Choose(dialog->control("TOT (s)"), "120");
        Choose(dialog->control("Key Lock"), "Off");
        QLineEdit* message = TypeInto(dialog->control("Power on Message"), "Hi");
        // A character the radio cannot show is refused, and so is an eighth.
        QKeyEvent accented(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier,
                           QString::fromUtf8("\xC3\xA9"));
        QApplication::sendEvent(message, &accented);
        QTest::keyClicks(message, " there!");
        EXPECT_EQ(message->text(), "Hi ther");
        QTest::keyClick(message, Qt::Key_Return);  // Enter closes the form
        ran = true;
    });
    frame_->action(Command::OptionalFeatures)->trigger();
    ASSERT_TRUE(ran);

    EXPECT_EQ(Image()[0x2040], 4);
    EXPECT_EQ(Image()[0x204C] & 0x10, 0x10);
    EXPECT_EQ(Bytes(Image(), 0x2060, 7), "Hi ther");
    EXPECT_EQ(Image()[0x204D], 0x05) << "fallbacks applied on close";
    EXPECT_TRUE(Modified());
    EXPECT_EQ(Undo()->count(), 1);
    EXPECT_EQ(Undo()->undoText(), "Optional Features");

    Undo()->undo();
    EXPECT_EQ(Image(), before);
    EXPECT_FALSE(Modified());
}

TEST_F(SettingsDialogsTest, AnOpeningThatChangesNothingLeavesTheDocumentClean) {
    // An image the form already shows as it is: opening and closing writes the same bytes.
    OptionalFeaturesForm form;
    form.LoadFromImage(Image());
    form.StoreToImage(Image());
    const MemoryImage settled = Image();

    NavigationBar* bar = frame_->navigationBar();
    OnNextModal<OptionalFeaturesDialog>([](OptionalFeaturesDialog* dialog) { dialog->close(); });
    bar->choose(bar->item(NavigationBar::Item::OptionalFeatures));
    EXPECT_EQ(Image(), settled);
    EXPECT_FALSE(Modified());
    EXPECT_EQ(Undo()->count(), 0);
}

TEST_F(SettingsDialogsTest, DtmfPagesEncodeWhenLeftAndTheAutoDialGridEditsInPlace) {
    const MemoryImage before = Image();
    NavigationBar* bar = frame_->navigationBar();
    bool ran = false;
    OnNextModal<DtmfDialog>([&ran](DtmfDialog* dialog) {
        Activate(dialog);
        FormBinder* encode = dialog->page(DtmfDialog::Encode);
        TypeInto(encode->control("PTT ID BOT"), "12ab*#");
        QLineEdit* delay = TypeInto(encode->control("First Digit Delay Time (ms)"), "250");
        encode->control("Speed (digit/s)")->setFocus();  // leaving the edit normalises it
        EXPECT_EQ(delay->text(), "200");
        QTest::keyClick(dialog, Qt::Key_Return);
        EXPECT_TRUE(dialog->isVisible()) << "Enter does not close the dialog";

        dialog->tabs()->setCurrentIndex(DtmfDialog::Decode);
        FormBinder* decode = dialog->page(DtmfDialog::Decode);
        TypeInto(decode->control("Kill Code"), "12#");
        QLineEdit* alarm = TypeInto(decode->control("Alarm Code"), "1x2e3");
        EXPECT_EQ(alarm->text(), "123") << "only what the code can store";
        auto* time = qobject_cast<SpinEdit*>(decode->control("Decode Time (s)"));
        time->stepBy(-2);
        EXPECT_EQ(time->edit()->text(), "2.3");

        dialog->tabs()->setCurrentIndex(DtmfDialog::AutoDial);
        FormBinder* autoDial = dialog->page(DtmfDialog::AutoDial);
        Choose(autoDial->control("Delimiter"), "#");
        FieldGrid* grid = dialog->codeGrid();
        EXPECT_EQ(grid->item(0, 1)->text(), "100#100");
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(1, 1)).center());
        ASSERT_NE(grid->openEditor(), nullptr);
        QTest::keyClicks(grid->openEditor(), "555*9");
        QTest::keyClick(grid->openEditor(), Qt::Key_Return);
        EXPECT_EQ(grid->openEditor(), nullptr);
        EXPECT_EQ(grid->item(1, 1)->text(), "555*9");
        EXPECT_EQ(grid->currentFieldRow(), 2) << "Enter moves on to the next code";
        dialog->aniCallButton()->click();
        EXPECT_EQ(grid->item(2, 1)->text(), "100#100");
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(3, 0)).center());
        EXPECT_EQ(grid->openEditor(), nullptr) << "the number column opens no edit";
        QTest::keyClick(dialog, Qt::Key_Escape);
        EXPECT_FALSE(dialog->isVisible()) << "Esc closes the dialog as it closes the others";
        ran = true;
    });
    bar->choose(bar->item(NavigationBar::Item::Dtmf));
    ASSERT_TRUE(ran);

    EXPECT_EQ(Bytes(Image(), 0x2088, 7), std::string("\x01\x02\x0A\x0B\x0E\x0F\xFF", 7));
    EXPECT_EQ(Image()[0x2081], 4);
    EXPECT_EQ(Bytes(Image(), 0x20C0, 5), std::string("\x01\x02\x0F\x0F\xFF", 5));
    EXPECT_EQ(Bytes(Image(), 0x20D0, 4), std::string("\x01\x02\x03\xFF", 4));
    EXPECT_EQ(Image()[0x20DA], 230);
    EXPECT_EQ(Image()[0x20DD], 15);
    EXPECT_EQ(Bytes(Image(), 0x20F0, 6), std::string("\x05\x05\x05\x0E\x09\xFF", 6));
    EXPECT_EQ(Bytes(Image(), 0x2100, 8), std::string("\x01\x00\x00\x0F\x01\x00\x00\xFF", 8));
    EXPECT_TRUE(Modified());
    EXPECT_EQ(Undo()->count(), 1);
    Undo()->undo();
    EXPECT_EQ(Image(), before);
    EXPECT_FALSE(Modified());
}

TEST_F(SettingsDialogsTest, RadioDialogNormalisesFrequenciesAndKeepsEmptySlotsErased) {
    Image().write(0x2F8C, std::vector<std::uint8_t>{0x00, 0x75, 0x08, 0xFF});  // CH 2 87.5
    const MemoryImage before = Image();
    bool ran = false;
    OnNextModal<RadioDialog>([&ran](RadioDialog* dialog) {
        Activate(dialog);
        FormBinder* binder = dialog->binder();
        FieldGrid* grid = dialog->channelGrid();
        EXPECT_EQ(grid->item(1, 1)->text(), "87.500");
        EXPECT_EQ(qobject_cast<QComboBox*>(binder->control("Current CH"))->currentText(), "1");
        QLineEdit* current = TypeInto(binder->control("Current Freq"), "87.5");
        binder->control("Current CH")->setFocus();
        EXPECT_EQ(current->text(), "87.500");
        QTest::keyClick(dialog, Qt::Key_Return);
        EXPECT_TRUE(dialog->isVisible()) << "Enter does not close the dialog";

        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(2, 0)).center());
        ASSERT_NE(grid->openEditor(), nullptr);
        QTest::keyClicks(grid->openEditor(), "120MHz");
        QTest::keyClick(grid->openEditor(), Qt::Key_Escape);
        EXPECT_EQ(grid->item(2, 1)->text(), "76.000") << "Esc keeps the text, normalised";

        grid->EditRow(1);
        grid->openEditor()->clear();
        grid->CommitOpenEditor();
        EXPECT_EQ(grid->item(1, 1)->text(), "");
        dialog->close();
        ran = true;
    });
    frame_->action(Command::Radio)->trigger();
    ASSERT_TRUE(ran);

    EXPECT_EQ(Bytes(Image(), 0x2F80, 3), std::string("\x00\x75\x08", 3));
    EXPECT_EQ(Image()[0x2F84], 1);
    EXPECT_EQ(Bytes(Image(), 0x2F8C, 4), std::string(4, '\xFF'));
    EXPECT_EQ(Bytes(Image(), 0x2F90, 4), std::string("\x00\x60\x07\xFF", 4));
    EXPECT_TRUE(Modified());
    Undo()->undo();
    EXPECT_EQ(Image(), before);
}

TEST_F(SettingsDialogsTest, TheCallIdIsKeptForTheRunButNotInTheImage) {
    for (const char* typed :
         {static_cast<const char*>("4321"), static_cast<const char*>(nullptr)}) {
        OnNextModal<DtmfDialog>([typed](DtmfDialog* dialog) {
            Activate(dialog);
            dialog->tabs()->setCurrentIndex(DtmfDialog::AutoDial);
            auto* callId =
                qobject_cast<QLineEdit*>(dialog->page(DtmfDialog::AutoDial)->control("Call ID"));
            if (typed != nullptr) {
                TypeInto(callId, typed);
            } else {
                EXPECT_EQ(callId->text(), "4321") << "shown again on the next opening";
            }
            dialog->close();
        });
        frame_->action(Command::Dtmf)->trigger();
    }
    EXPECT_EQ(program_->state().autoDialCallId, "4321");
    // The first opening stored a new document's kill type 0xFF as "Off"; the second changed no
    // byte and recorded nothing.
    EXPECT_EQ(Image()[0x20DC], 0);
    EXPECT_EQ(Undo()->count(), 1);
}

}  // namespace
}  // namespace kestra::test
