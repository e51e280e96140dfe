// SPDX-License-Identifier: GPL-3.0-or-later
// "Write to Several Radios...": the real dialog offscreen, with an in-process virtual radio on
// each port, clicked through a run, a cancel, its refusals and a port's "Check...", and opened
// from the Program menu on the open document.

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

#include "app/application.hpp"
#include "app/fleet_commands.hpp"
#include "app/main_window.hpp"
#include "channels/ui/channel_grid_view.hpp"
#include "channels/ui/program_view.hpp"
#include "fleet/fleet_fixture.hpp"
#include "fleet/fleet_report.hpp"
#include "fleet/ui/fleet_dialog.hpp"
#include "link/block_mover.hpp"
#include "link/clone_session.hpp"
#include "link/ui/doctor_report_dialog.hpp"
#include "model/document_file.hpp"
#include "settings/dtmf_settings.hpp"
#include "ui_test_support.hpp"

namespace kestra::test {
namespace {

// COM1-COM3 answer on the fixture's radios; COM4 exists but cannot be opened.
std::vector<ComPortStatus> ThreeRadios() {
    std::vector<ComPortStatus> ports;
    for (int n = 1; n <= 4; ++n) {
        ports.push_back({n, QStringLiteral("COM%1").arg(n),
                         QString::fromStdString(FleetRadios::Device(n - 1)), n <= 3});
    }
    return ports;
}

std::string OwnIdOf(const MemoryImage& image) {
    std::string callId;
    DtmfAutoDialPage page(callId);
    page.LoadFromImage(image);
    return page.Text(DtmfAutoDialPage::kOwnId);
}

class FleetDialogTest : public ShellTest {
protected:
    std::unique_ptr<FleetDialog> Open() {
        FleetDialog::Setup setup;
        setup.image = image_;
        setup.documentName = "club.dat";
        setup.ports = ThreeRadios();
        setup.lines = radios_.Lines();
        setup.check = [this](const ChosenPort& port) {
            examined_ = port;
            DoctorReport report;
            report.findings = {{FindingLevel::Problem, "You are not in the group dialout."}};
            return report;
        };
        auto dialog = std::make_unique<FleetDialog>(state_, messenger_, std::move(setup));
        dialog->show();
        return dialog;
    }
    void Choose(FleetDialog& dialog, std::initializer_list<const char*> ports) {
        for (const char* port : ports) {
            QTest::mouseClick(dialog.portBox(dialog.RowOf(port)), Qt::LeftButton, Qt::NoModifier,
                              QPoint(4, 4));
        }
    }
    // Start, then the event loop until every radio has ended.
    void RunToTheEnd(FleetDialog& dialog, const std::function<void()>& whileRunning = {}) {
        QSignalSpy finished(&dialog, &FleetDialog::runFinished);
        QTest::mouseClick(dialog.startButton(), Qt::LeftButton);
        if (whileRunning) {
            whileRunning();
        }
        ASSERT_TRUE(finished.wait(60000));
        EXPECT_EQ(dialog.state(), FleetDialog::State::Finished);
    }

    AppState state_;
    MemoryImage image_ = BuiltInDocumentImage();
    FleetRadios radios_{3};
    ChosenPort examined_;
};

TEST_F(FleetDialogTest, WritesEveryCheckedRadioAtOnceAndShowsTheTable) {
    radios_.radio(1).faults().silent = true;
    auto dialog = Open();
    EXPECT_EQ(dialog->rowCount(), 16);
    EXPECT_FALSE(dialog->portBox(dialog->RowOf("COM4"))->isEnabled());
    EXPECT_FALSE(dialog->startButton()->isEnabled()) << "nothing checked yet";
    Choose(*dialog, {"COM1", "COM2", "COM3"});
    dialog->verifyBox()->setChecked(true);
    dialog->ownIdBox()->setChecked(true);
    QTest::keyClicks(dialog->ownIdEdit(), "7x07");  // the box takes digits only
    EXPECT_EQ(dialog->ownIdEdit()->text(), "707");

    RunToTheEnd(*dialog, [&] {
        EXPECT_TRUE(state_.busy) << "the one busy flag is taken for the whole fleet";
        EXPECT_FALSE(dialog->closeButton()->isEnabled());
    });
    EXPECT_FALSE(state_.busy);

    const auto& outcomes = dialog->status().outcomes();
    ASSERT_EQ(outcomes.size(), 3u);
    for (std::size_t i : {0u, 2u}) {
        EXPECT_EQ(outcomes[i].result, RadioResult::Verified) << outcomes[i].error;
        EXPECT_EQ(OwnIdOf(radios_.radio(i).memory()), "70" + std::to_string(7 + i));
        const QLabel* status = dialog->statusLabel(static_cast<int>(i));
        EXPECT_TRUE(status->text().startsWith(QStringLiteral("COM%1: verified in").arg(i + 1)))
            << status->text().toStdString();
        EXPECT_EQ(dialog->progressBar(static_cast<int>(i))->value(),
                  dialog->progressBar(static_cast<int>(i))->maximum());
    }
    EXPECT_EQ(dialog->statusLabel(1)->text().toStdString(), RadioFinishedLine(outcomes[1]));
    EXPECT_TRUE(dialog->statusLabel(1)->text().contains("failed: Communication error"));
    EXPECT_TRUE(dialog->statusLabel(1)->toolTip().contains("no answer to the wake-up"));

    // The table, its copy and the report tell the same.
    const FleetTable table = MakeFleetTable(outcomes);
    ASSERT_TRUE(dialog->resultTable()->isVisibleTo(dialog.get()));
    ASSERT_EQ(dialog->resultTable()->rowCount(), 3);
    EXPECT_EQ(dialog->resultTable()->item(1, 4)->text(), "failed: Communication error");
    EXPECT_EQ(dialog->resultTable()->item(2, 3)->text(), "709");
    QTest::mouseClick(dialog->copyButton(), Qt::LeftButton);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), FleetTableTabs(table));
    EXPECT_EQ(dialog->resultNote()->text(), "The table is on the clipboard.");
    const QString report = HomeFile("fleet.json");
    dialog->SetReportPathChooser([report] { return report; });
    QTest::mouseClick(dialog->saveButton(), Qt::LeftButton);
    const QJsonObject json =
        QJsonDocument::fromJson(QByteArray::fromStdString(ReadFile(report.toStdString()))).object();
    EXPECT_EQ(dialog->resultNote()->text(), "Report saved as " + report);
    EXPECT_EQ(json["image"].toString(), "club.dat");
    EXPECT_FALSE(json["ok"].toBool());
    EXPECT_EQ(json["radios"].toArray()[2].toObject()["own_id"].toString(), "709");
    EXPECT_TRUE(messenger_.messages.empty());
}

TEST_F(FleetDialogTest, CancelStopsEveryRadioBeforeItsNextBlock) {
    radios_.realTime = true;
    for (std::size_t i = 0; i < 3; ++i) {
        radios_.radio(i).faults().baud = 9600;
    }
    auto dialog = Open();
    Choose(*dialog, {"COM1", "COM2", "COM3"});
    QTest::mouseClick(dialog->startButton(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return dialog->progressBar(0)->value() > 2 && dialog->progressBar(1)->value() > 2 &&
                   dialog->progressBar(2)->value() > 2;
        },
        30000));
    // Esc while the radios run stops them, like Cancel, and keeps the dialog open.
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->cancelButton()->isEnabled());
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return dialog->state() == FleetDialog::State::Finished; }, 30000));
    EXPECT_TRUE(dialog->isVisible());
    for (std::size_t i = 0; i < 3; ++i) {
        const RadioOutcome& outcome = dialog->status().outcomes()[i];
        EXPECT_EQ(outcome.result, RadioResult::Failed);
        EXPECT_NE(outcome.error.find(kPartlyWrittenHint), std::string::npos) << outcome.error;
        EXPECT_LT(dialog->progressBar(static_cast<int>(i))->value(), 351);
        for (const std::string& frame : radios_.radio(i).log()) {
            EXPECT_NE(frame, "ENDW");
        }
    }
    EXPECT_FALSE(state_.busy);
}

TEST_F(FleetDialogTest, RefusesOneCableTwiceAndOwnIdsThatDoNotFitBeforeSendingAnything) {
    auto dialog = Open();
    Choose(*dialog, {"COM1", "COM2"});
    // The same device typed in as another name.
    QTest::keyClicks(dialog->deviceEdit(), QString::fromStdString(FleetRadios::Device(0)));
    QTest::mouseClick(dialog->addButton(), Qt::LeftButton);
    ASSERT_EQ(dialog->rowCount(), 17);
    EXPECT_TRUE(dialog->portBox(16)->isChecked());
    QTest::mouseClick(dialog->startButton(), Qt::LeftButton);
    ASSERT_EQ(messenger_.messages.size(), 1u);
    EXPECT_NE(messenger_.messages[0].find("COM1 and radio-1 are the same port"), std::string::npos)
        << messenger_.messages[0];
    EXPECT_EQ(messenger_.icons, std::vector<MessageIcon>{MessageIcon::Warning});

    // The new row shows with the next event; its box takes the click all the same.
    dialog->portBox(16)->click();
    dialog->ownIdBox()->setChecked(true);
    QTest::keyClicks(dialog->ownIdEdit(), "9999999");
    QTest::mouseClick(dialog->startButton(), Qt::LeftButton);
    ASSERT_EQ(messenger_.messages.size(), 2u);
    EXPECT_NE(messenger_.messages[1].find("more than 7 digits"), std::string::npos)
        << messenger_.messages[1];
    EXPECT_EQ(dialog->state(), FleetDialog::State::Idle);
    EXPECT_TRUE(radios_.radio(0).log().empty());
    EXPECT_FALSE(state_.busy);
}

TEST_F(FleetDialogTest, EachPortsCheckExaminesThatPort) {
    auto dialog = Open();
    QStringList shown;
    OnNextModal<DoctorReportDialog>([&shown](DoctorReportDialog* report) {
        for (const QLabel* line : report->findingLabels()) {
            shown << line->text();
        }
        report->accept();
    });
    // A port that cannot be opened is not offered, but its check says why.
    QTest::mouseClick(dialog->checkButton(dialog->RowOf("COM4")), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&shown] { return !shown.isEmpty(); }, 20000));
    EXPECT_EQ(examined_.label, "COM4");
    EXPECT_EQ(examined_.device, FleetRadios::Device(3));
    EXPECT_EQ(shown, QStringList{"You are not in the group dialout."});
}

TEST_F(FleetDialogTest, TheProgramMenuWritesTheOpenDocumentToTheCheckedRadios) {
    KestraApplication program(&messenger_, &prompts_);
    program.Start({});
    CMainFrame* frame = program.mainFrame();
    QMenu* menu = frame->menuBar()->actions()[2]->menu();
    ASSERT_EQ(menu->actions().size(), 3);
    EXPECT_EQ(menu->actions()[2]->text(), "Write to &Several Radios...");
    frame->fleet()->SetPortProbe(ThreeRadios, [] { return std::vector<DetectedSerialPort>{}; });
    frame->fleet()->SetLineProvider(radios_.Lines());
    // A channel typed into the grid and not yet stored goes to the radios too.
    QAbstractItemModel* grid = frame->view()->grid()->model();
    ASSERT_TRUE(grid->setData(grid->index(0, 0), "146.52", Qt::EditRole));

    OnNextModal<FleetDialog>([this](FleetDialog* dialog) {
        EXPECT_GE(dialog->RowOf("demo"), 16) << "the program's demo radio is offered";
        Choose(*dialog, {"COM2", "COM3"});
        RunToTheEnd(*dialog);
        dialog->reject();
    });
    menu->actions()[2]->trigger();
    EXPECT_TRUE(radios_.radio(0).log().empty());
    // Each radio holds what Program, Write would have sent: the grid stored into the image.
    for (std::size_t i : {1u, 2u}) {
        EXPECT_EQ(radios_.radio(i).log().back(), "ENDW");
        for (const CloneRange& range : ClonePlan::Write().ranges) {
            for (std::size_t a = range.start; a < range.end; ++a) {
                ASSERT_EQ(radios_.radio(i).memory()[a], program.state().image[a]) << a;
            }
        }
    }
    EXPECT_EQ(frame->view()->table().Cell(0, Column::RxFreq), "146.52000");
}

}  // namespace
}  // namespace kestra::test
