#pragma once

#include <QComboBox>
#include <QPushButton>
#include <QStyledItemDelegate>

namespace parlavo {

class MainWindow;

// A push button whose face the main window's handler paints (DrawItem message). When the handler
// leaves it unpainted (result 0), the style draws an ordinary button.
class OwnerDrawButton : public QPushButton {
    Q_OBJECT
  public:
    OwnerDrawButton(MainWindow& window, int id, QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    MainWindow& window_;
    int id_;
};

// The items of an owner-drawn list, painted by the handler; every row is itemHeight pixels high
// when that is set (> 0).
class OwnerDrawDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    OwnerDrawDelegate(MainWindow& window, int id, QObject* parent);
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setItemHeight(int pixels) { itemHeight_ = pixels; }
    int itemHeight() const { return itemHeight_; }

  private:
    MainWindow& window_;
    int id_;
    int itemHeight_ = 0;
};

// A drop-down list (not editable) whose rows and closed field the handler paints.
class OwnerDrawComboBox : public QComboBox {
    Q_OBJECT
  public:
    OwnerDrawComboBox(MainWindow& window, int id, QWidget* parent);
    // Height of the rows and of the closed field, in pixels (0: the style's own).
    void setItemHeight(int pixels);
    int itemHeight() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    MainWindow& window_;
    int id_;
    OwnerDrawDelegate* delegate_;
};

} // namespace parlavo
