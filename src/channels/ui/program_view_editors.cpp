// SPDX-License-Identifier: GPL-3.0-or-later
// The view's channel editors: the "Channel Edit" and "Batch Generate" buttons.

#include <QPushButton>

#include "channels/channel_document.hpp"
#include "channels/ui/batch_generate_dialog.hpp"
#include "channels/ui/channel_edit_dialog.hpp"
#include "channels/ui/channel_grid_view.hpp"
#include "channels/ui/program_view.hpp"

namespace kestra {

void CProgramView::ChannelEdit() {
    // The dialog works on the records: the grid goes into them first, so both agree.
    StoreGridToImage();
    const MemoryImage before = document().image();
    const QModelIndex current = grid_->currentIndex();
    const int number = current.isValid() ? current.row() + 1 : 1;
    {
        ChannelEditDialog dialog(document().image(), document().limits(), number, this);
        dialog.exec();
    }
    FillGridFromImage();
    RecordImageEdit(QStringLiteral("Channel Edit"), before);
    if (current.isValid()) {
        grid_->setCurrentIndex(grid_->model()->index(current.row(), current.column()));
    }
    grid_->setFocus();
}

void CProgramView::BatchGenerate() {
    StoreGridToImage();
    BatchGenerateDialog dialog(document().image(), document().limits(), this);
    dialog.SetAppliedHandler([this](const MemoryImage& before) {
        FillGridFromImage();
        RecordImageEdit(QStringLiteral("Batch Generate"), before);
    });
    dialog.exec();
    grid_->setFocus();
}

}  // namespace kestra
