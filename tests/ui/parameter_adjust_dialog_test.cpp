// SPDX-License-Identifier: GPL-3.0-or-later
// Parameter Adjust and DTMF Initialization as a technician uses them: typing, spinning and
// leaving boxes, editing grid cells, and Read and Write against the virtual radio.

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "service/ui/calibration_grid_widget.hpp"
#include "service/ui/curve_chart_widget.hpp"
#include "service/ui/dtmf_initialization_dialog.hpp"
#include "service/ui/parameter_adjust_dialog.hpp"
#include "service/ui/spin_text_box.hpp"
#include "service_test_support.hpp"

namespace kestra::test {
namespace {

// Replaces a box's text by typing, as a user selecting it all and typing would.
void Type(SpinTextBox* box, const QString& text) {
    box->editor()->selectAll();
    QTest::keyClicks(box->editor(), text);
}

using ParameterAdjustDialogTest = ServiceDialogTest;

TEST_F(ParameterAdjustDialogTest, TypingSpinningAndLeavingFollowEachBox) {
    ParameterAdjustDialog dialog(Context());
    dialog.show();
    EXPECT_EQ(dialog.box("Voice Tx Gain")->text(), "63");
    EXPECT_EQ(dialog.box("Pressure Threshold")->text(), "FFFF");
    EXPECT_FALSE(dialog.check("Test Mode")->isChecked());
    EXPECT_TRUE(dialog.check("MCU LPF")->isChecked());
    EXPECT_FALSE(dialog.box("V sql low Threshold")->isVisible());

    SpinTextBox* gain = dialog.box("Voice Tx Gain");
    Type(gain, "99");
    EXPECT_EQ(gain->text(), "99");
    Leave(gain);
    EXPECT_EQ(gain->text(), "63");
    QTest::keyClick(gain, Qt::Key_Up);
    EXPECT_EQ(gain->text(), "0");
    QTest::keyClick(gain, Qt::Key_Down);
    EXPECT_EQ(gain->text(), "63");

    SpinTextBox* pressure = dialog.box("Pressure Threshold");
    Type(pressure, "fg");  // g is refused, f shows in upper case
    EXPECT_EQ(pressure->text(), "F");
    Type(pressure, "ff");
    QTest::keyClick(pressure, Qt::Key_Up);
    EXPECT_EQ(pressure->text(), "100");

    SpinTextBox* deviation = dialog.box("Narrow XMITTER Dev");
    Type(deviation, "12345");  // four characters at most
    EXPECT_EQ(deviation->text(), "1234");
    Leave(deviation);
    EXPECT_EQ(deviation->text(), "1023");
    Type(deviation, "1");
    dialog.check("Test Mode")->click();

    // Closing commits, whatever way it closes: the box still being typed in included.
    Type(dialog.box("V PA Drive"), "20");
    dialog.box("V PA Drive")->setFocus();
    dialog.reject();
    EXPECT_EQ(state_.image[0x3F23], 0x40);
    EXPECT_EQ(state_.image[0x3F24], 0x00);
    EXPECT_EQ(state_.image[0x3F2F] & 0x80, 0);
    EXPECT_EQ(state_.image[0x3F20] & 0x0F, 15);
    EXPECT_EQ(state_.image[0x3F15], 0x42);
}

TEST_F(ParameterAdjustDialogTest, GridCellsAreEditedInPlaceAndDrawTheirCurve) {
    ParameterAdjustDialog dialog(Context());
    dialog.show();
    CalibrationGridWidget* power = dialog.grid(GridId::Power);
    EXPECT_EQ(power->verticalHeaderItem(1)->text(),
              QString::fromUtf8("136-174 \xE9\xAB\x98\xE5\x8A\x9F\xE7\x8E\x87"));
    EXPECT_EQ(power->item(0, 0)->text(), "255");

    power->BeginEdit(0, 1);
    ASSERT_NE(power->OpenEditor(), nullptr);
    Type(power->OpenEditor(), "120");
    // The curve follows the typing before the cell is left.
    EXPECT_EQ(dialog.powerChart()->data().series[0].segments[0][1].y, 120);
    power->CommitOpenEditor();
    EXPECT_EQ(power->item(0, 1)->text(), "120");

    power->BeginEdit(0, 0);
    Type(power->OpenEditor(), "0");  // below the grid's range of 1-255
    power->BeginEdit(0, 2);          // moving on leaves the cell
    EXPECT_EQ(power->item(0, 0)->text(), "1");
    Type(power->OpenEditor(), "x");
    power->CommitOpenEditor();
    EXPECT_EQ(power->item(0, 2)->text(), "1");

    CalibrationGridWidget* sql = dialog.grid(GridId::Sql);
    sql->BeginEdit(5, 2);
    Type(sql->OpenEditor(), "a");  // the Sql grid's editor takes digits and '-' only
    EXPECT_EQ(sql->OpenEditor()->text(), "0");
    Type(sql->OpenEditor(), "99");
    dialog.accept();
    EXPECT_EQ(state_.image[0x3F39], 1);
    EXPECT_EQ(state_.image[0x3F3A], 120);
    EXPECT_EQ(state_.image[0x3F11], 99);
    // The slopes of the row were derived from the committed values: up, then down.
    EXPECT_EQ(state_.image[0x3F4B + 2] & 0x80, 0);
    EXPECT_EQ(state_.image[0x3F4B + 5] & 0x80, 0x80);
}

TEST_F(ParameterAdjustDialogTest, WriteCommitsThenSendsTheBlockAndTheBandPoints) {
    state_.limits.lower[0] = 14400000;
    state_.limits.upper[0] = 14800000;
    ParameterAdjustDialog dialog(Context());
    dialog.show();
    Type(dialog.box("Narrow XMITTER Dev"), "1023");
    messenger_.answers = {true};  // a new document's values: written on purpose
    Press(dialog, dialog.writeButton());

    EXPECT_EQ(messenger_.messages,
              (std::vector<std::string>{std::string(kUnreadValuesQuestion), "Write complete"}));
    const std::vector<std::string> expected{"W 3E D0 10", "W 3E E0 20", "W 3F 00 20",
                                            "W 3F 20 20", "W 3F 40 20", "W 3F 60 10",
                                            "W 3F 70 10", "W 3F 80 20", "W 3F A0 0C"};
    EXPECT_EQ(Headers("W "), expected);
    EXPECT_EQ(radio_.log().back(), "ENDW");
    EXPECT_EQ(radio_.memory()[0x3F23], 0xC0);
    EXPECT_EQ(radio_.memory()[0x3F24], 0xFF);
    EXPECT_EQ(radio_.memory()[0x3F70], state_.image[0x3F70]);
    EXPECT_EQ(radio_.memory()[0x3F15], 0x42);
    // The section limits went into the model block (which only a clone write sends).
    EXPECT_EQ(state_.image[0x2E12], 0x40);
    EXPECT_EQ(state_.image[0x2E13], 0x14);
    EXPECT_EQ(radio_.memory()[0x2E13], 0xFF);
}

TEST_F(ParameterAdjustDialogTest, ReadShowsTheRadiosBlockAndItsSectionLimits) {
    radio_.memory()[0x3F21] = 21;
    radio_.memory()[0x3F00] = 100;
    radio_.memory()[0x3F3A] = 42;
    // The document's model block holds 144-148 MHz for section A.
    state_.image.write(0x2E10,
                       std::vector<std::uint8_t>{0x00, 0x00, 0x40, 0x14, 0x00, 0x00, 0x80, 0x14});
    ParameterAdjustDialog dialog(Context());
    dialog.show();
    bool busyWhileRunning = false;
    messenger_.whileShown = [&](const std::string&) {
        busyWhileRunning = !dialog.readButton()->isEnabled() && dialog.transfers()->running();
        dialog.reject();  // refused while the transfer runs
    };
    Press(dialog, dialog.readButton());

    EXPECT_EQ(messenger_.messages, std::vector<std::string>{"Read complete"});
    EXPECT_TRUE(busyWhileRunning);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.readButton()->isEnabled());
    EXPECT_EQ(dialog.box("Voice Tx Gain")->text(), "21");
    EXPECT_EQ(dialog.grid(GridId::Sql)->item(0, 0)->text(), "100");
    EXPECT_EQ(dialog.powerChart()->data().series[0].segments[0][1].y, 42);
    EXPECT_EQ(state_.limits.lower[0], 14400000);
    EXPECT_EQ(state_.limits.upper[0], 14800000);
    EXPECT_EQ(state_.image[0x3F21], 21);
    EXPECT_EQ(state_.image[0x3F70], 0xFF);  // outside the read range
}

TEST_F(ParameterAdjustDialogTest, FailedReadLeavesDialogAndImageAsTheyWere) {
    radio_.memory().fill(0x3ED0, 0xA0, 0x11);
    radio_.faults().withholdAckAfterBlock = 4;
    ParameterAdjustDialog dialog(Context());
    dialog.show();
    Type(dialog.box("Volume"), "7");
    const MemoryImage before = state_.image;

    Press(dialog, dialog.readButton());

    EXPECT_EQ(messenger_.firstLines(), std::vector<std::string>{"Communication error"});
    EXPECT_EQ(state_.image, before);
    EXPECT_EQ(dialog.box("Volume")->text(), "7");
    EXPECT_EQ(dialog.box("Voice Tx Gain")->text(), "63");
    EXPECT_TRUE(dialog.writeButton()->isEnabled());
    EXPECT_FALSE(state_.busy);
}

using DtmfInitializationDialogTest = ServiceDialogTest;

TEST_F(DtmfInitializationDialogTest, BoxesAreHexadecimalAndWriteSendsTheTable) {
    DtmfInitializationDialog dialog(Context());
    dialog.show();
    for (std::size_t k = 0; k < 11; ++k) {
        EXPECT_EQ(dialog.box(k)->text(), "FFFF") << k;
    }
    SpinTextBox* twist = dialog.box(10);
    Type(twist, "G");
    EXPECT_EQ(twist->text(), "FFFF");
    QTest::keyClick(twist, Qt::Key_Up);
    EXPECT_EQ(twist->text(), "0");
    Type(twist, "1a2");
    EXPECT_EQ(twist->text(), "1A2");

    Press(dialog, dialog.writeButton());
    EXPECT_EQ(messenger_.messages, std::vector<std::string>{"Write complete"});
    EXPECT_EQ(Headers("W "), (std::vector<std::string>{"W 3E 00 20", "W 3E 20 10"}));
    EXPECT_EQ(radio_.log().back(), "ENDW");
    EXPECT_EQ(radio_.memory()[0x3E28], 0x01);
    EXPECT_EQ(radio_.memory()[0x3E29], 0xC3);
    EXPECT_EQ(radio_.memory()[0x3E2A], 0x01);
    EXPECT_EQ(radio_.memory()[0x3E2B], 0xA2);
    EXPECT_EQ(radio_.memory()[0x3E2C], 0xFF);
}

TEST_F(DtmfInitializationDialogTest, ReadLoadsTheBoxesOnlyWhenItWentThrough) {
    radio_.memory().write(0x3E00, std::vector<std::uint8_t>{0x01, 0xC4, 0x0A, 0xBC});
    DtmfInitializationDialog dialog(Context());
    dialog.show();
    radio_.faults().absent = true;
    Press(dialog, dialog.readButton());
    EXPECT_EQ(messenger_.firstLines(), std::vector<std::string>{"Open port fail"});
    EXPECT_EQ(dialog.box(0)->text(), "FFFF");

    radio_.faults().absent = false;
    Press(dialog, dialog.readButton());
    EXPECT_EQ(messenger_.messages.back(), "Read complete");
    EXPECT_EQ(dialog.box(0)->text(), "ABC");
    EXPECT_EQ(state_.image[0x3E03], 0xBC);
}

}  // namespace
}  // namespace kestra::test
