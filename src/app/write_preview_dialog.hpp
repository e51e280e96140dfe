// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What Program, Write is about to change on the radio, shown before anything is sent: the
// differences between the image last read from or written to the radio in this document and
// the image the write sends, over the ranges the write sends, as a user reads them (channels by
// label, then every settings field in its dialog's words, then the bytes no field owns and one
// line for the summary areas). "Write" goes on, "Cancel" sends nothing.

#include <QDialog>

#include "review/image_diff.hpp"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace kestra {

class WritePreviewDialog : public QDialog {
    Q_OBJECT
public:
    WritePreviewDialog(const ImageDifference& difference, QWidget* parent = nullptr);

    QLabel* headline() const { return headline_; }
    QPlainTextEdit* changes() const { return changes_; }
    QPushButton* writeButton() const { return write_; }
    QPushButton* cancelButton() const { return cancel_; }

private:
    QLabel* headline_;
    QPlainTextEdit* changes_;
    QPushButton* write_;
    QPushButton* cancel_;
};

}  // namespace kestra
