// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "DTMF Initialization": the eleven DTMF decoder registers as hexadecimal boxes with spins, in
// the order of the decoder table, with "Read" and "Write". The boxes are loaded when the dialog
// opens and after a successful "Read"; they are committed before "Write" and whenever the
// dialog closes.

#include <array>

#include "model/image_map.hpp"
#include "service/ui/service_dialog.hpp"

namespace kestra {

class SpinTextBox;

class DtmfInitializationDialog : public ServiceDialog {
    Q_OBJECT
public:
    DtmfInitializationDialog(const ServiceContext& context, QWidget* parent = nullptr);

    SpinTextBox* box(std::size_t k) const { return boxes_[k]; }
    QPushButton* readButton() const { return read_; }
    QPushButton* writeButton() const { return write_; }

public slots:
    void Read();
    void Write();

protected:
    void Commit() override;

private:
    void Load();

    std::array<SpinTextBox*, map::kDtmfDecoderEntryCount> boxes_{};
    QPushButton* read_;
    QPushButton* write_;
};

}  // namespace kestra
