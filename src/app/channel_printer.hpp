// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Prints the channel list: every slot of the grid that holds a channel, with its label and the
// eight grid columns, as a ruled table. Each page carries the document name and the date at the
// top and "Page n of m" at the bottom. It draws on any paged device: a printer, the print
// preview, or a PDF file.
//
// PrintController runs File, Print / Print Preview / Print Setup with one printer whose page
// settings last for the session.

#include <QDate>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QPagedPaintDevice;
class QPrinter;
class QWidget;

namespace kestra {

class ChannelTable;

class ChannelPrinter {
public:
    ChannelPrinter(const ChannelTable& table, QString documentName,
                   QDate date = QDate::currentDate());

    // The records (0..257) whose rows are printed: those holding a channel.
    std::vector<int> PrintedRows() const;
    // Paints every page on device (which must not have a painter yet); returns the page count.
    int Print(QPagedPaintDevice& device) const;

private:
    const ChannelTable& table_;
    QString documentName_;
    QDate date_;
};

class PrintController : public QObject {
    Q_OBJECT
public:
    using TableSource = std::function<const ChannelTable&()>;
    using NameSource = std::function<QString()>;

    PrintController(TableSource table, NameSource name, QWidget* dialogParent,
                    QObject* parent = nullptr);
    ~PrintController() override;

    void Print();
    void PrintPreview();
    void PrintSetup();

    // The printer the print commands share, made when first needed (it keeps the user's choices
    // between them).
    QPrinter& printer();

private:
    void PaintTo(QPrinter* printer) const;

    TableSource table_;
    NameSource name_;
    QWidget* dialogParent_;
    std::unique_ptr<QPrinter> printer_;  // null until a print command needs it
};

}  // namespace kestra
