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

namespace kestra {

namespace {

constexpr int kColumns = kGridColumnCount;  // the label column and the eight cells

// Column shares follow the grid's widths, so the printout looks like the screen.
std::array<qreal, kColumns> ColumnWidths(qreal total) {
    std::array<qreal, kColumns> widths{};
    qreal sum = 0;
    for (int c = 0; c < kColumns; ++c) {
        sum += ColumnWidthTwips(static_cast<Column>(c));
    }
    for (int c = 0; c < kColumns; ++c) {
        widths[c] = total * ColumnWidthTwips(static_cast<Column>(c)) / sum;
    }
    return widths;
}

const QColor kRule(0x80, 0x88, 0x90);
const QColor kHeaderFill(0xdd, 0xe4, 0xea);
const QColor kStripe(0xf3, 0xf5, 0xf7);

}  // namespace

ChannelPrinter::ChannelPrinter(const ChannelTable& table, QString documentName, QDate date)
    : table_(table), documentName_(std::move(documentName)), date_(date) {}

std::vector<int> ChannelPrinter::PrintedRows() const {
    std::vector<int> rows;
    for (int row = 1; row <= kChannelRows; ++row) {
        if (!table_.IsRowEmpty(row)) {
            rows.push_back(row);
        }
    }
    return rows;
}

int ChannelPrinter::Print(QPagedPaintDevice& device) const {
    QPainter painter;
    if (!painter.begin(&device)) {
        return 0;
    }
    const qreal width = device.width();
    const qreal height = device.height();

    QFont bodyFont(QStringLiteral("Sans Serif"), 9);
    QFont headFont = bodyFont;
    headFont.setBold(true);
    QFont titleFont = bodyFont;
    titleFont.setPointSizeF(12);
    titleFont.setBold(true);

    painter.setFont(bodyFont);
    const qreal rowHeight = QFontMetricsF(bodyFont, &device).height() * 1.5;
    const qreal titleHeight = QFontMetricsF(titleFont, &device).height() * 1.6;
    const qreal footerHeight = rowHeight * 1.5;
    const qreal tableTop = titleHeight + rowHeight * 0.5;
    const qreal tableBottom = height - footerHeight;
    const int rowsPerPage = std::max(1, static_cast<int>((tableBottom - tableTop) / rowHeight) - 1);

    const std::vector<int> rows = PrintedRows();
    const int pages = std::max(1, static_cast<int>((rows.size() + rowsPerPage - 1) / rowsPerPage));
    const auto widths = ColumnWidths(width);
    const QString dateText = QLocale().toString(date_, QLocale::ShortFormat);

    auto drawRow = [&](qreal top, auto cellText, bool header, bool stripe) {
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
    };

    for (int page = 0; page < pages; ++page) {
        if (page > 0) {
            device.newPage();
        }
        painter.setPen(Qt::black);
        painter.setFont(titleFont);
        painter.drawText(QRectF(0, 0, width * 0.7, titleHeight), Qt::AlignLeft | Qt::AlignVCenter,
                         documentName_);
        painter.setFont(bodyFont);
        painter.drawText(QRectF(width * 0.7, 0, width * 0.3, titleHeight),
                         Qt::AlignRight | Qt::AlignVCenter, dateText);
        painter.setPen(QPen(Qt::black, 0));
        painter.drawLine(QPointF(0, titleHeight), QPointF(width, titleHeight));

        qreal top = tableTop;
        painter.setFont(headFont);
        drawRow(
            top, [&](int c) { return QString::fromStdString(table_.Text(0, c)); }, true, false);
        top += rowHeight;

        painter.setFont(bodyFont);
        const std::size_t first = static_cast<std::size_t>(page) * rowsPerPage;
        const std::size_t last = std::min(rows.size(), first + rowsPerPage);
        for (std::size_t i = first; i < last; ++i) {
            const int row = rows[i];
            drawRow(
                top, [&](int c) { return QString::fromStdString(table_.Text(row, c)); }, false,
                (i - first) % 2 == 1);
            top += rowHeight;
        }
        if (rows.empty()) {
            painter.drawText(QRectF(0, top, width, rowHeight * 2), Qt::AlignCenter,
                             QStringLiteral("No channels"));
        }
        // Vertical rules of the table body.
        painter.setPen(QPen(kRule, 0));
        qreal x = 0;
        for (int c = 0; c <= kColumns; ++c) {
            painter.drawLine(QPointF(x, tableTop), QPointF(x, top));
            if (c < kColumns) {
                x += widths[c];
            }
        }
        painter.drawLine(QPointF(0, tableTop), QPointF(width, tableTop));

        painter.setPen(Qt::black);
        painter.drawText(QRectF(0, height - footerHeight, width, footerHeight), Qt::AlignCenter,
                         QStringLiteral("Page %1 of %2").arg(page + 1).arg(pages));
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
      dialogParent_(dialogParent),
      printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {}

PrintController::~PrintController() = default;

void PrintController::PaintTo(QPrinter* printer) const {
    ChannelPrinter(table_(), name_()).Print(*printer);
}

void PrintController::Print() {
    QPrintDialog dialog(printer_.get(), dialogParent_);
    dialog.setWindowTitle(QStringLiteral("Print"));
    if (dialog.exec() == QDialog::Accepted) {
        PaintTo(printer_.get());
    }
}

void PrintController::PrintPreview() {
    QPrintPreviewDialog dialog(printer_.get(), dialogParent_);
    dialog.setWindowTitle(QStringLiteral("Print Preview"));
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, &PrintController::PaintTo);
    dialog.resize(900, 700);
    dialog.exec();
}

void PrintController::PrintSetup() {
    QPageSetupDialog dialog(printer_.get(), dialogParent_);
    dialog.exec();
}

}  // namespace kestra
