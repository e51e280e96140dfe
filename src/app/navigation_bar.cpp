// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/navigation_bar.hpp"

#include <QAction>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QStyle>
#include <QStyleFactory>
#include <QToolButton>
#include <QTreeWidget>

#include <functional>

#include "common/ui/editor_controls_widget.hpp"

namespace kestra {

namespace {

// The tree reacts to a click or to Enter on an item, not to every move of the selection, so
// walking the tree with the arrow keys opens nothing.
class NavigationTree : public QTreeWidget {
public:
    using QTreeWidget::QTreeWidget;
    std::function<void(QTreeWidgetItem*)> onChosen;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (IsEnterKey(event) && onChosen) {
            onChosen(currentItem());
            return;
        }
        QTreeWidget::keyPressEvent(event);
    }
};

constexpr const char* kItemTexts[] = {"Channel Infomation", "Optional Features", "DTMF"};

// The caption and close button of the bar. The standard title bar would keep the bar at least
// as wide as its buttons; this one lets the caption and the button be clipped so the bar can be
// very narrow.
class TitleBar : public QWidget {
public:
    using QWidget::QWidget;
    QSize minimumSizeHint() const override { return {1, QWidget::minimumSizeHint().height()}; }
};

// Times New Roman, or the first installed font made to its measures. Naming an installed family
// spares the font system a search for substitutes at every start; the installed families are
// looked up in their list, as asking for each by name resolves the font system's aliases first.
QString CaptionFamily() {
    const QStringList installed = QFontDatabase::families();
    for (const char* family : {"Times New Roman", "Liberation Serif", "Nimbus Roman", "Tinos"}) {
        if (installed.contains(QLatin1String(family))) {
            return QString::fromLatin1(family);
        }
    }
    return QStringLiteral("serif");
}

QWidget* MakeTitleBar(QDockWidget* dock) {
    auto* bar = new TitleBar(dock);
    auto* caption = new QLabel(dock->windowTitle(), bar);
    caption->setMinimumWidth(0);
    caption->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    caption->setFont(NavigationBar::CaptionFont(caption->font()));

    auto* close = new QToolButton(bar);
    close->setIcon(dock->style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    close->setToolTip(QStringLiteral("Close"));
    // Like a title bar's buttons it takes no keyboard focus: Ctrl+B hides the bar.
    close->setFocusPolicy(Qt::NoFocus);
    close->setAutoRaise(true);
    close->setIconSize(QSize(10, 10));
    QObject::connect(close, &QToolButton::clicked, dock, &QWidget::close);

    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(4, 2, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(caption, 1);
    layout->addWidget(close);
    return bar;
}

}  // namespace

NavigationBar::NavigationBar(const QString& rootLabel, QWidget* parent)
    : QDockWidget(QStringLiteral("IE Control Bar"), parent) {
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                QDockWidget::DockWidgetFloatable);
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    setTitleBarWidget(MakeTitleBar(this));

    auto* tree = new NavigationTree(this);
    tree_ = tree;
    tree_->setHeaderHidden(true);
    tree_->setRootIsDecorated(true);
    // The tree shows lines and buttons; the Fusion style draws no branch lines, the Windows
    // style does. The style belongs to the tree.
    if (QStyle* lined = QStyleFactory::create(QStringLiteral("Windows"))) {
        lined->setParent(tree_);
        tree_->setStyle(lined);
    }
    tree_->setColumnCount(1);
    // The bar may be dragged as narrow as 11 pixels: the tree must not insist on its own
    // minimum (an explicit width of 0 would mean "use the size hint").
    tree_->setMinimumWidth(1);
    tree_->setExpandsOnDoubleClick(false);
    root_ = new QTreeWidgetItem(tree_, QStringList(rootLabel));
    for (int i = 0; i < 3; ++i) {
        items_[i] = new QTreeWidgetItem(root_, QStringList(QString::fromLatin1(kItemTexts[i])));
    }
    root_->setExpanded(true);
    tree_->setCurrentItem(root_);
    setWidget(tree_);
    setMinimumWidth(kMinimumWidth);

    tree->onChosen = [this](QTreeWidgetItem* chosen) { choose(chosen); };
    connect(tree_, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* clicked, int) { choose(clicked); });
}

QFont NavigationBar::CaptionFont(QFont base) {
    base.setFamily(CaptionFamily());
    base.setStyleHint(QFont::Serif);
    base.setPixelSize(14);
    return base;
}

void NavigationBar::setItemAction(Item which, QAction* action) {
    actions_[static_cast<int>(which)] = action;
}

QTreeWidgetItem* NavigationBar::item(Item which) const {
    return items_[static_cast<int>(which)];
}

void NavigationBar::choose(QTreeWidgetItem* chosen) {
    for (int i = 0; i < 3; ++i) {
        if (chosen == items_[i] && actions_[i] != nullptr) {
            // trigger() does nothing while the action is disabled.
            actions_[i]->trigger();
            break;
        }
    }
    tree_->setCurrentItem(root_);
}

}  // namespace kestra
