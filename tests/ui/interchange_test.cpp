// SPDX-License-Identifier: GPL-3.0-or-later
// The channel list as text in the desktop program: Import CSV and Export CSV through their real
// dialogs, and the grid's Ctrl+C, Ctrl+V and Delete, each one undoable step with its report.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QUndoStack>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "app/channel_interchange.hpp"
#include "channels/channel_csv.hpp"
#include "channels/channel_table.hpp"
#include "channels/ui/channel_grid_model.hpp"
#include "channels/ui/channel_grid_view.hpp"
#include "channels/ui/csv_import_dialog.hpp"
#include "channels/ui/csv_report_dialog.hpp"
#include "channels/ui/program_view.hpp"
#include "ui_test_support.hpp"

namespace kestra {
namespace {

using test::OnNextModal;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

class InterchangeTest : public test::ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        view_ = std::make_unique<CProgramView>(document_.document);
        document_.Attach(*view_);
        view_->resize(900, 600);
        view_->show();
        view_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(view_.get()));
    }

    ChannelGridView* grid() const { return view_->grid(); }
    ChannelInterchange* interchange() const { return document_.interchange; }
    std::string Rx(int record) const { return view_->table().Cell(record, Column::RxFreq); }
    QUndoStack& undo() { return document_.undoStack; }

    void SetCell(int record, Column column, const QString& text) {
        QAbstractItemModel* model = grid()->model();
        ASSERT_TRUE(model->setData(model->index(record, ModelColumnOf(column)), text));
    }
    // A click on a row's label, with keys held as given.
    void ClickLabel(int record, Qt::KeyboardModifiers keys = {}) {
        QHeaderView* labels = grid()->verticalHeader();
        grid()->scrollTo(grid()->model()->index(record, 0));
        QTest::mouseClick(labels->viewport(), Qt::LeftButton, keys,
                          QPoint(labels->width() / 2, labels->sectionViewportPosition(record) +
                                                          labels->sectionSize(record) / 2));
    }
    // Runs command with the report dialog answered; returns the report's summary and rows.
    struct Report {
        bool shown = false;
        QString summary;
        QStringList rows;  // "Line|Channel|Result|What was done"
    };
    Report WithReport(const std::function<void()>& command) {
        auto report = std::make_shared<Report>();
        OnNextModal<CsvReportDialog>([report](CsvReportDialog* dialog) {
            report->shown = true;
            report->summary = dialog->summaryLabel()->text();
            QTableWidget* table = dialog->rowTable();
            for (int row = 0; row < table->rowCount(); ++row) {
                report->rows << QStringList{table->item(row, 0)->text(),
                                            table->item(row, 2)->text(),
                                            table->item(row, 3)->text(),
                                            table->item(row, 4)->text()}
                                    .join('|');
            }
            dialog->accept();
        });
        command();
        return *report;
    }
    QString ListFile(const std::string& text) {
        const QString path = HomeFile("list.csv");
        WriteFile(path.toStdString(), text);
        return path;
    }

    AppState state_;
    test::ViewDocument document_{state_, messenger_};
    std::unique_ptr<CProgramView> view_;
};

TEST_F(InterchangeTest, ImportPutsRowsWhereTheDialogSaysAsOneUndoableStepWithAReport) {
    SetCell(0, Column::RxFreq, "145.00000");
    const int stepsBefore = undo().count();
    const QString path = ListFile(
        "Location,Name,Frequency,Duplex,Offset,Power\r\n"
        "1,Repeater,145.6,-,0.6,5.0W\r\n"
        "9,AIR,121.5,,,1.0W\r\n"
        "3,CALL,146.52,,,1.0W\r\n");
    for (const bool firstEmpty : {false, true}) {
        OnNextModal<CsvImportDialog>([&](CsvImportDialog* dialog) {
            EXPECT_FALSE(dialog->importButton()->isEnabled());
            QTest::keyClicks(dialog->pathEdit(), path);
            (firstEmpty ? dialog->firstEmptyButton() : dialog->byLocationButton())->click();
            QTest::mouseClick(dialog->importButton(), Qt::LeftButton);
        });
        const Report report = WithReport([this] { interchange()->ImportCsv(); });
        ASSERT_TRUE(report.shown);
        EXPECT_THAT(report.summary.toStdString(),
                    StartsWith("3 rows: 1 taken whole, 1 changed, 1 skipped."));
        // Only the rows that were not taken as given are listed.
        ASSERT_EQ(report.rows.size(), 2);
        EXPECT_THAT(report.rows[1].toStdString(), StartsWith("3||skipped|frequency 121.50000"));
        if (!firstEmpty) {
            EXPECT_THAT(report.rows[0].toStdString(), StartsWith("2|A001|changed|Name"));
            EXPECT_EQ(Rx(0), "145.60000");
            EXPECT_EQ(Rx(2), "146.52000");
            EXPECT_EQ(view_->table().Cell(2, Column::Power), "Low");
            undo().undo();
        } else {
            // A001 holds a channel, so the list fills A002 and A003.
            EXPECT_EQ(Rx(0), "145.00000");
            EXPECT_EQ(Rx(1), "145.60000");
            EXPECT_EQ(Rx(2), "146.52000");
        }
        EXPECT_FALSE(undo().isClean());
    }
    EXPECT_EQ(undo().count(), stepsBefore + 1);
    EXPECT_EQ(undo().undoText(), "Import CSV");
    undo().undo();
    EXPECT_EQ(Rx(0), "145.00000");
    EXPECT_EQ(Rx(1), "");
    EXPECT_EQ(Rx(2), "");
}

TEST_F(InterchangeTest, AListThatCannotBeReadChangesNothing) {
    SetCell(4, Column::RxFreq, "146.00000");
    view_->StoreGridToImage();
    const MemoryImage before = state_.image;
    const int steps = undo().count();
    const QString noLocation = ListFile("Name,Frequency\nX,146.52\n");
    EXPECT_FALSE(interchange()->ImportFile(noLocation, CsvPlacement::ByLocation));
    EXPECT_FALSE(interchange()->ImportFile(HomeFile("missing.csv"), CsvPlacement::ByLocation));
    ASSERT_EQ(messenger_.messages.size(), 2u);
    EXPECT_THAT(messenger_.messages[0], HasSubstr("no Location column"));
    EXPECT_THAT(messenger_.messages[0], HasSubstr("into the first empty channels"));
    EXPECT_THAT(messenger_.messages[1], HasSubstr("missing.csv"));
    for (const std::string& message : messenger_.messages) {
        EXPECT_THAT(message, HasSubstr("Nothing was changed."));
    }
    EXPECT_TRUE(state_.image == before);
    EXPECT_EQ(undo().count(), steps);
}

TEST_F(InterchangeTest, ExportWritesTheGridAndImportingItBackChangesNothing) {
    SetCell(0, Column::RxFreq, "146.94000");
    SetCell(0, Column::TxFreq, "146.34000");
    SetCell(0, Column::Encode, "88.5");
    SetCell(130, Column::RxFreq, "446.00625");
    const QString path = HomeFile("out");
    interchange()->SetExportPathPrompt([&](const QString&) { return path; });
    QSignalSpy status(interchange(), &ChannelInterchange::statusMessage);
    interchange()->ExportCsv();
    EXPECT_TRUE(messenger_.messages.empty());
    ASSERT_EQ(status.count(), 1);
    EXPECT_EQ(status.takeFirst().at(0).toString(), "Exported 2 channels to out.csv");
    const std::string list = ReadFile((path + ".csv").toStdString());
    EXPECT_THAT(list,
                StartsWith(std::string(kCsvHeader) + "\n1,,146.940000,-,0.600000,Tone,88.5,"));
    EXPECT_THAT(list, HasSubstr("\n131,,446.006250,"));

    const int steps = undo().count();
    const Report report =
        WithReport([&] { interchange()->ImportFile(path + ".csv", CsvPlacement::ByLocation); });
    EXPECT_THAT(report.summary.toStdString(), StartsWith("2 rows: 2 taken whole"));
    EXPECT_EQ(undo().count(), steps);
    ASSERT_EQ(status.count(), 1);
    EXPECT_EQ(status.takeFirst().at(0).toString(), "Imported 2 channels from \"out.csv\"");

    // A file that cannot be written is said so.
    EXPECT_FALSE(interchange()->ExportFile(Home().c_str()));
    ASSERT_EQ(messenger_.messages.size(), 1u);
    EXPECT_THAT(messenger_.messages[0], HasSubstr("folder"));
}

TEST_F(InterchangeTest, CopyPasteAndDeleteRowsAreEachOneUndoableStep) {
    SetCell(0, Column::RxFreq, "146.52000");
    SetCell(1, Column::RxFreq, "145.50000");
    SetCell(1, Column::Power, "Low");
    SetCell(2, Column::RxFreq, "145.60000");
    const int steps = undo().count();

    // A001 and A002 highlighted by a click and a Shift+click on their labels.
    ClickLabel(0);
    ClickLabel(1, Qt::ShiftModifier);
    EXPECT_EQ(grid()->SelectedRecords(), (std::vector<int>{0, 1}));
    grid()->setFocus();
    QTest::keyClick(grid(), Qt::Key_C, Qt::ControlModifier);
    const std::string copied = QApplication::clipboard()->text().toStdString();
    EXPECT_THAT(copied, StartsWith(std::string(kCsvHeader) + "\n1,,146.520000,"));
    EXPECT_THAT(copied, HasSubstr("\n2,,145.500000,"));
    EXPECT_THAT(copied, HasSubstr(",Low,"));
    EXPECT_THAT(copied, Not(HasSubstr("\n3,")));

    // Pasted from B010 on: the rows keep their order, whatever their Location said.
    ClickLabel(137);
    QTest::keyClick(grid(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Rx(137), "146.52000");
    EXPECT_EQ(Rx(138), "145.50000");
    EXPECT_EQ(view_->table().Cell(138, Column::Power), "Low");
    EXPECT_EQ(undo().count(), steps + 1);

    // Delete empties the highlighted rows in one step.
    ClickLabel(0);
    ClickLabel(2, Qt::ControlModifier);
    QTest::keyClick(grid(), Qt::Key_Delete);
    EXPECT_EQ(Rx(0), "");
    EXPECT_EQ(Rx(1), "145.50000");
    EXPECT_EQ(Rx(2), "");
    EXPECT_EQ(undo().count(), steps + 2);
    undo().undo();
    EXPECT_EQ(Rx(0), "146.52000");
    EXPECT_EQ(Rx(2), "145.60000");
    undo().undo();
    EXPECT_EQ(Rx(137), "");

    // The grid's context menu offers the same three commands first.
    QStringList menu;
    for (QAction* item : grid()->actions()) {
        menu << item->text();
    }
    EXPECT_EQ(menu.mid(0, 3), (QStringList{"Copy Channels", "Paste Channels", "Clear Channels"}));
    ClickLabel(1);
    grid()->actions().at(2)->trigger();
    EXPECT_EQ(Rx(1), "");
    EXPECT_EQ(undo().count(), steps + 1);
    EXPECT_TRUE(messenger_.messages.empty());
}

TEST_F(InterchangeTest, PastedRowsThatDoNotFitAreReported) {
    // Spreadsheet rows without a header, one of them outside the radio's sections.
    QApplication::clipboard()->setText("1\tLOCAL\t146.52\n2\tAIR\t121.5\n");
    ClickLabel(5);
    const Report report =
        WithReport([this] { QTest::keyClick(grid(), Qt::Key_V, Qt::ControlModifier); });
    ASSERT_TRUE(report.shown);
    EXPECT_THAT(report.summary.toStdString(),
                StartsWith("2 rows: 1 taken whole, 0 changed, 1 skipped"));
    EXPECT_EQ(Rx(5), "146.52000");
    EXPECT_EQ(Rx(6), "");

    // Nothing to paste into: the VFO rows take no list rows.
    view_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view_.get()));
    grid()->setFocus();
    ClickLabel(256);
    QTest::keyClick(grid(), Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(messenger_.messages.size(), 1u);
    EXPECT_THAT(messenger_.messages[0], HasSubstr("Click a channel row first"));
}

}  // namespace
}  // namespace kestra
