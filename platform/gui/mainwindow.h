#pragma once

#include "platform/gui/drawitem.h"
#include "platform/gui/message.h"

#include <QDialog>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <functional>
#include <string>
#include <string_view>

class QPainter;

namespace parlavo {

// The main window: built from the control table in dialog units, with absolute geometry (no Qt
// layouts). Every user action arrives at the handler as a Message. Controls are found by id, and by
// object name in tests.
class MainWindow : public QDialog {
    Q_OBJECT
  public:
    using Handler = std::function<int(MainWindow&, Message&)>;

    explicit MainWindow(Handler handler, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Sends the initialisation and the first size message, then shows the window.
    void start();
    // start(), then runs the window modally until endDialog; returns the result given to endDialog.
    int run();
    // Sends Close to the handler (the window position is saved there), then closes the window.
    void endDialog(int result);

    QWidget* control(int id) const;
    template <class T> T* controlAs(int id) const { return qobject_cast<T*>(control(id)); }

    // Byte-exact texts of edits, labels, buttons and combo edit fields: a control returns the bytes it
    // was given for as long as the user has not changed its text.
    std::string controlText(int id) const;
    void setControlText(int id, std::string_view bytes);

    // Dialog units of the window's dialog font.
    QRect mapDialogRect(const QRect& units) const;
    QPoint pixelsToUnits(const QPoint& pixels) const; // rounded half up
    QSize pixelsToUnits(const QSize& pixels) const;

    void setRedraw(bool on);
    int sendMessage(Message& message); // to the handler, re-entrant; returns the handler's result

    // The id of a control (0 for a widget that is none of them) and of the control with the focus.
    int controlId(const QWidget* widget) const;
    int focusedControlId() const;
    void focusControl(int id);

    // The 14 controls shown only while a pass has a current entry.
    void showTranslationPanel();
    void hideTranslationPanel();

  protected:
    // Qt events are turned into messages here (implemented in the .cpp).
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Controls;
    void createControls();
    void connectNotifications();
    void notify(int id, int code);
    void prepareToShow();
    void sendSize();
    void applyMinimumSize();

    Handler handler_;
    Controls* controls_ = nullptr;
    bool ending_ = false;
};

} // namespace parlavo
