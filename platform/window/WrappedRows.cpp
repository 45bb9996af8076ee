#include "WrappedRows.h"

#include <QHeaderView>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QTreeView>

namespace {

// A tree view asks its delegate for a row's height with no column width, so a wrapped text
// would be measured as one line; this one measures it at the width of its column.
class WrappingDelegate : public QStyledItemDelegate {
public:
    explicit WrappingDelegate(QTreeView* view) : QStyledItemDelegate(view), list(view) {
        connect(view->header(), &QHeaderView::sectionResized, this, &WrappingDelegate::Relayout);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QSize line = QStyledItemDelegate::sizeHint(option, index);
        QStyleOptionViewItem wrapped = option;
        wrapped.features |= QStyleOptionViewItem::WrapText;
        wrapped.rect = QRect(0, 0, qMax(1, list->columnWidth(index.column())), line.height());
        const QSize tall = QStyledItemDelegate::sizeHint(wrapped, index);
        return {line.width(), qMax(line.height(), tall.height())};
    }

private:
    // The view keeps the heights it measured: they are measured again once the widths settle.
    void Relayout() {
        if (pending)
            return;
        pending = true;
        QTimer::singleShot(0, this, [this] {
            pending = false;
            list->doItemsLayout();
        });
    }

    QTreeView* list;
    bool pending = false;
};

} // namespace

void WrapRows(QTreeView* list) {
    list->setWordWrap(true);
    list->setUniformRowHeights(false);
    list->setItemDelegate(new WrappingDelegate(list));
}
