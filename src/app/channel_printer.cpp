// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/channel_printer.hpp"

#include <QFontMetricsF>
#include <QLocale>
#include <QPageSetupDialog>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <algorithm>
#include <array>

#include "channels/channel_table.hpp"
#include "common/ui/screen_area.hpp"

namespace kestra {

namespace {

// The printed table: the row labels, then the eight cells of the grid.
constexpr int kColumns = kColumnCount + 1;

int WidthTwips(int printedColumn) {
    return printedColumn == 0 ? kRowLabelWidthTwips
                              : ColumnWidthTwips(static_cast<Column>(printedColumn - 1));
}

QString HeaderText(int printedColumn) {
    if (printedColumn == 0) {
        return {};
    }
    const std::string_view text = ColumnHeader(static_cast<Column>(printedColumn - 1));
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString CellText(const ChannelTable& table, int record, int printedColumn) {
    return QString::fromStdString(printedColumn == 0
                                      ? RowLabel(record)
                                      : table.Cell(record, static_cast<Column>(printedColumn - 1)));
}

// Column shares follow the grid's widths, so the printout looks like the screen.
std::array<qreal, kColumns> ColumnWidths(qreal total) {
    std::array<qreal, kColumns> widths{};
    qreal sum = 0;
    for (int c = 0; c < kColumns; ++c) {
        sum += WidthTwips(c);
    }
    for (int c = 0; c < kColumns; ++c) {
        widths[c] = total * WidthTwips(c) / sum;
    }
    return widths;
}

const QColor kRule(0x80, 0x88, 0x90);
const QColor kHeaderFill(0xdd, 0xe4, 0xea);
const QColor kStripe(0xf3, 0xf5, 0xf7);

// One printed page's geometry and drawing steps: a title line with the document name and the
// date, the ruled table, and "Page n of m" at the bottom.
struct Sheet {
    Sheet(QPainter& p, QPagedPaintDevice& device)
        : painter(p), width(device.width()), height(device.height()), widths(ColumnWidths(width)) {
        headFont.setBold(true);
        titleFont.setPointSizeF(12);
        titleFont.setBold(true);
        painter.setFont(bodyFont);
        rowHeight = QFontMetricsF(bodyFont, &device).height() * 1.5;
        titleHeight = QFontMetricsF(titleFont, &device).height() * 1.6;
        footerHeight = rowHeight * 1.5;
        tableTop = titleHeight + rowHeight * 0.5;
        const qreal tableBottom = height - footerHeight;
        rowsPerPage = std::max(1, static_cast<int>((tableBottom - tableTop) / rowHeight) - 1);
    }

    void DrawTitle(const QString& name, const QString& date) const {
        painter.setPen(Qt::black);
        painter.setFont(titleFont);
        painter.drawText(QRectF(0, 0, width * 0.7, titleHeight), Qt::AlignLeft | Qt::AlignVCenter,
                         name);
        painter.setFont(bodyFont);
        painter.drawText(QRectF(width * 0.7, 0, width * 0.3, titleHeight),
                         Qt::AlignRight | Qt::AlignVCenter, date);
        painter.setPen(QPen(Qt::black, 0));
        painter.drawLine(QPointF(0, titleHeight), QPointF(width, titleHeight));
    }

    template <typename CellTextOf>
    void DrawRow(qreal top, CellTextOf cellText, bool header, bool stripe) const {
        const QRectF band(0, top, width, rowHeight);
        if (header) {
            painter.fillRect(band, kHeaderFill);
        } else if (stripe) {
            painter.fillRect(band, kStripe);
        }
        qreal left = 0;
        for (int c = 0; c < kColumns; ++c) {
            const QRectF cell(left, top, widths[c], rowHeight);
            painter.drawText(cell.adjusted(2, 0, -2, 0), Qt::AlignCenter, cellText(c));
            left += widths[c];
        }
        painter.setPen(QPen(kRule, 0));
        painter.drawLine(band.bottomLeft(), band.bottomRight());
        painter.setPen(Qt::black);
    }

    // The vertical rules of the table body down to bottom, and the rule above the header.
    void DrawRules(qreal bottom) const {
        painter.setPen(QPen(kRule, 0));
        qreal x = 0;
        for (int c = 0; c <= kColumns; ++c) {
            painter.drawLine(QPointF(x, tableTop), QPointF(x, bottom));
            if (c < kColumns) {
                x += widths[c];
            }
        }
        painter.drawLine(QPointF(0, tableTop), QPointF(width, tableTop));
    }

    void DrawFooter(int page, int pages) const {
        painter.setPen(Qt::black);
        painter.drawText(QRectF(0, height - footerHeight, width, footerHeight), Qt::AlignCenter,
                         QStringLiteral("Page %1 of %2").arg(page).arg(pages));
    }

    QPainter& painter;
    const qreal width;
    const qreal height;
    const std::array<qreal, kColumns> widths;
    QFont bodyFont{QStringLiteral("Sans Serif"), 9};
    QFont headFont{bodyFont};
    QFont titleFont{bodyFont};
    qreal rowHeight = 0;
    qreal titleHeight = 0;
    qreal footerHeight = 0;
    qreal tableTop = 0;
    int rowsPerPage = 1;
};

}  // namespace

ChannelPrinter::ChannelPrinter(const ChannelTable& table, QString documentName, QDate date)
    : table_(table), documentName_(std::move(documentName)), date_(date) {}

std::vector<int> ChannelPrinter::PrintedRows() const {
    std::vector<int> rows;
    for (int record = 0; record < kRecordCount; ++record) {
        if (!table_.IsRowEmpty(record)) {
            rows.push_back(record);
        }
    }
    return rows;
}

int ChannelPrinter::Print(QPagedPaintDevice& device) const {
    QPainter painter;
    if (!painter.begin(&device)) {
        return 0;
    }
    const Sheet sheet(painter, device);
    const std::vector<int> rows = PrintedRows();
    const std::size_t perPage = static_cast<std::size_t>(sheet.rowsPerPage);
    const int pages = std::max(1, static_cast<int>((rows.size() + perPage - 1) / perPage));
    const QString dateText = QLocale().toString(date_, QLocale::ShortFormat);

    for (int page = 0; page < pages; ++page) {
        if (page > 0) {
            device.newPage();
        }
        sheet.DrawTitle(documentName_, dateText);
        qreal top = sheet.tableTop;
        painter.setFont(sheet.headFont);
        sheet.DrawRow(top, HeaderText, true, false);
        top += sheet.rowHeight;

        painter.setFont(sheet.bodyFont);
        const std::size_t first = static_cast<std::size_t>(page) * perPage;
        const std::size_t last = std::min(rows.size(), first + perPage);
        for (std::size_t i = first; i < last; ++i) {
            const int record = rows[i];
            sheet.DrawRow(
                top, [&](int c) { return CellText(table_, record, c); }, false,
                (i - first) % 2 == 1);
            top += sheet.rowHeight;
        }
        if (rows.empty()) {
            painter.drawText(QRectF(0, top, sheet.width, sheet.rowHeight * 2), Qt::AlignCenter,
                             QStringLiteral("No channels"));
        }
        sheet.DrawRules(top);
        sheet.DrawFooter(page + 1, pages);
    }
    painter.end();
    return pages;
}

// ---- print commands --------------------------------------------------------------------------

PrintController::PrintController(TableSource table, NameSource name, QWidget* dialogParent,
                                 QObject* parent)
    : QObject(parent),
      table_(std::move(table)),
      name_(std::move(name)),
      dialogParent_(dialogParent) {}

PrintController::~PrintController() = default;

QPrinter& PrintController::printer() {
    // Made on first use: a printer loads the print system's plugin and libraries, which would
    // otherwise cost every start of the program time and memory.
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    }
    return *printer_;
}

void PrintController::PaintTo(QPrinter* printer) const {
    ChannelPrinter(table_(), name_()).Print(*printer);
}

void PrintController::Print() {
    QPrintDialog dialog(&printer(), dialogParent_);
    dialog.setWindowTitle(QStringLiteral("Print"));
    if (dialog.exec() == QDialog::Accepted) {
        PaintTo(&printer());
    }
}

void PrintController::PrintPreview() {
    QPrintPreviewDialog dialog(&printer(), dialogParent_);
    dialog.setWindowTitle(QStringLiteral("Print Preview"));
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, &PrintController::PaintTo);
    ResizeWithinScreen(dialog, QSize(900, 700));
    dialog.exec();
}

void PrintController::PrintSetup() {
    QPageSetupDialog dialog(&printer(), dialogParent_);
    dialog.exec();
}

}  // namespace kestra
