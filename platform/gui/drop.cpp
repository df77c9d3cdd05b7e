#include "platform/gui/drop.h"

#include "platform/gui/mainwindow.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QUrl>

namespace parlavo {

namespace {

// Takes URL drops away from the line edit, which would insert them as "file://" text.
class PathDropFilter : public QObject {
  public:
    PathDropFilter(MainWindow& window, int id, QObject* parent) : QObject(parent), window_(window), id_(id) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (!drag->mimeData()->hasUrls()) {
                break;
            }
            drag->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            if (!drop->mimeData()->hasUrls()) {
                break;
            }
            drop->acceptProposedAction();
            window_.setControlText(id_, droppedFileName(*drop->mimeData()));
            return true;
        }
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    MainWindow& window_;
    int id_;
};

} // namespace

std::string droppedFileName(const QMimeData& data) {
    for (const QUrl& url : data.urls()) {
        if (url.isLocalFile()) {
            return QFile::encodeName(url.toLocalFile()).toStdString();
        }
    }
    return {};
}

void installPathDrop(MainWindow& window, int id) {
    QWidget* box = window.control(id);
    if (!box) {
        return;
    }
    box->setAcceptDrops(true);
    box->installEventFilter(new PathDropFilter(window, id, box));
}

} // namespace parlavo
