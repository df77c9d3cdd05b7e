#include "platform/gui/ownerdraw.h"

#include "platform/gui/bytetext.h"
#include "platform/gui/mainwindow.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <algorithm>

namespace parlavo {

namespace {

int sendDrawItem(MainWindow& window, int id, DrawItemContext& context) {
    Message message;
    message.kind = MessageKind::DrawItem;
    message.controlId = id;
    message.drawItem = &context;
    return window.sendMessage(message);
}

} // namespace

OwnerDrawButton::OwnerDrawButton(MainWindow& window, int id, QWidget* parent)
    : QPushButton(parent), window_(window), id_(id) {}

void OwnerDrawButton::paintEvent(QPaintEvent* event) {
    int painted = 0;
    {
        QPainter painter(this);
        DrawItemContext context;
        context.painter = &painter;
        context.rect = rect();
        context.text = window_.controlText(id_);
        context.disabled = !isEnabled();
        context.selected = isDown();
        context.focused = hasFocus();
        painted = sendDrawItem(window_, id_, context);
    }
    if (painted == 0) {
        QPushButton::paintEvent(event);
    }
}

OwnerDrawDelegate::OwnerDrawDelegate(MainWindow& window, int id, QObject* parent)
    : QStyledItemDelegate(parent), window_(window), id_(id) {}

void OwnerDrawDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    DrawItemContext context;
    context.painter = painter;
    context.rect = option.rect;
    context.item = index.row();
    context.text = displayToBytes(index.data(Qt::DisplayRole).toString());
    context.disabled = !(option.state & QStyle::State_Enabled);
    context.selected = (option.state & QStyle::State_Selected) != 0;
    context.focused = (option.state & QStyle::State_HasFocus) != 0;
    painter->save();
    const int painted = sendDrawItem(window_, id_, context);
    painter->restore();
    if (painted == 0) {
        QStyledItemDelegate::paint(painter, option, index);
    }
}

QSize OwnerDrawDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (itemHeight_ > 0) {
        size.setHeight(itemHeight_);
    }
    return size;
}

OwnerDrawComboBox::OwnerDrawComboBox(MainWindow& window, int id, QWidget* parent)
    : QComboBox(parent), window_(window), id_(id), delegate_(new OwnerDrawDelegate(window, id, this)) {
    setEditable(false);
    setItemDelegate(delegate_);
}

void OwnerDrawComboBox::setItemHeight(int pixels) {
    delegate_->setItemHeight(pixels);
    if (pixels > 0) {
        resize(width(), std::max(pixels + 2 * style()->pixelMetric(QStyle::PM_ComboBoxFrameWidth), height()));
    }
    view()->doItemsLayout();
}

int OwnerDrawComboBox::itemHeight() const {
    if (delegate_->itemHeight() > 0) {
        return delegate_->itemHeight();
    }
    return view()->sizeHintForRow(0) > 0 ? view()->sizeHintForRow(0) : fontMetrics().height();
}

void OwnerDrawComboBox::paintEvent(QPaintEvent* /*event*/) {
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    const QString label = option.currentText;
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    DrawItemContext context;
    context.painter = &painter;
    context.rect = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    context.item = -1; // the closed field; its text is the selected row's
    context.text = displayToBytes(label);
    context.disabled = !isEnabled();
    context.focused = hasFocus() && !view()->isVisible();
    context.selected = context.focused;
    context.selectionField = true;
    painter.save();
    const int painted = sendDrawItem(window_, id_, context);
    painter.restore();
    if (painted == 0) {
        option.currentText = label;
        painter.drawControl(QStyle::CE_ComboBoxLabel, option);
    }
}

} // namespace parlavo
