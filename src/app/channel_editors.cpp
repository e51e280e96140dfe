// SPDX-License-Identifier: GPL-3.0-or-later
// The view's channel editors: the "Channel Edit" and "Batch Generate" buttons.

#include "app/channel_editors.hpp"

#include <QPushButton>

#include "app/document_editor.hpp"
#include "channels/channel_document.hpp"
#include "channels/ui/batch_generate_dialog.hpp"
#include "channels/ui/channel_edit_dialog.hpp"
#include "channels/ui/channel_grid_view.hpp"
#include "channels/ui/program_view.hpp"

namespace kestra {

ChannelEditors::ChannelEditors(DocumentEditor& editor, CProgramView& view)
    : QObject(&view), editor_(editor), view_(view) {
    connect(view.channelEditButton(), &QPushButton::clicked, this, &ChannelEditors::ChannelEdit);
    connect(view.batchGenerateButton(), &QPushButton::clicked, this,
            &ChannelEditors::BatchGenerate);
}

void ChannelEditors::ChannelEdit() {
    ChannelGridView* grid = view_.grid();
    const QModelIndex current = grid->currentIndex();
    const int number = current.isValid() ? current.row() + 1 : 1;
    ChannelDocument& document = view_.document();
    editor_.EditImage(QStringLiteral("Channel Edit"), [this, &document, number] {
        ChannelEditDialog dialog(document.image(), document.limits(), number, &view_);
        dialog.exec();
    });
    if (current.isValid()) {
        grid->setCurrentIndex(grid->model()->index(current.row(), current.column()));
    }
    grid->setFocus();
}

void ChannelEditors::BatchGenerate() {
    // The dialog works on the records: the grid goes into them first, so both agree.
    view_.StoreGridToImage();
    ChannelDocument& document = view_.document();
    BatchGenerateDialog dialog(document.image(), document.limits(), &view_);
    dialog.SetApplyRunner([this](const std::function<void()>& apply) {
        editor_.EditImage(QStringLiteral("Batch Generate"), apply);
    });
    dialog.exec();
    view_.grid()->setFocus();
}

}  // namespace kestra
