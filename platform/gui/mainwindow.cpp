#include "platform/gui/mainwindow.h"

#include "platform/gui/drop.h"
#include "platform/gui/fileviewwidget.h"
#include "platform/gui/mainwindowcontrols.h"
#include "platform/gui/ownerdraw.h"
#include "platform/gui/richedit.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSizeGrip>
#include <cstdint>
#include <cstdlib>
#include <limits>

static void loadParlavoResources() {
    Q_INIT_RESOURCE(parlavo);
}

namespace parlavo {

namespace {

enum class Kind {
    Label,
    Edit,
    ReadOnlyEdit,
    Button,
    DefaultButton,
    Swatch,
    FontList,
    SizeBox,
    ChoiceList,
    View,
    Grip
};

// Font 0 is the window's own font; -1 leaves the control's font alone.
struct ControlEntry {
    int id;
    Kind kind;
    const char* name;
    const char* text;
    int x, y, w, h;
    int font;
    Qt::Alignment align;
};

constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignTop;

// The controls in creation order, which is also the tab order. Geometry in dialog units.
const ControlEntry kControls[] = {
    {ctl::EnglishLabel, Kind::Label, "englishLabel", "English file input:", 15, 4, 100, 10, 1, kLeft},
    {ctl::EnglishPath, Kind::Edit, "englishPath", "C:\\Program Files\\Kestrova\\plugins\\Plugins_English.lng",
     18, 15, 317, 13, 1, kLeft},
    {ctl::EnglishBrowse, Kind::Button, "englishBrowse", "...", 338, 15, 18, 13, 2, kLeft},
    {ctl::TranslatedLabel, Kind::Label, "translatedLabel", "Translated file output:", 15, 31, 100, 10, 1,
     kLeft},
    {ctl::TranslatedPath, Kind::Edit, "translatedPath",
     "C:\\Program Files\\Kestrova\\plugins\\Plugins_Translated.lng", 18, 42, 317, 13, 1, kLeft},
    {ctl::TranslatedBrowse, Kind::Button, "translatedBrowse", "...", 338, 42, 18, 13, 2, kLeft},
    {ctl::FontList, Kind::FontList, "fontList", "", 5, 60, 131, 200, 3, kLeft},
    {ctl::SizeBox, Kind::SizeBox, "sizeBox", "", 137, 61, 32, 141, 1, kLeft},
    {ctl::TextColorSwatch, Kind::Swatch, "textColorSwatch", "", 175, 61, 20, 14, 3, kLeft},
    {ctl::HighlightSwatch, Kind::Swatch, "highlightSwatch", "", 196, 61, 20, 14, 3, kLeft},
    {ctl::BackgroundSwatch, Kind::Swatch, "backgroundSwatch", "", 225, 61, 20, 14, 3, kLeft},
    {ctl::LoadFiles, Kind::Button, "loadFiles", "Load Files", 321, 60, 45, 15, 0, kLeft},
    {ctl::FileView, Kind::View, "fileView", "", 5, 77, 362, 129, -1, kLeft},
    {ctl::Heading, Kind::Label, "heading", "", 6, 209, 370, 12, 4, kLeft},
    {ctl::OriginalLabel, Kind::Label, "originalLabel", "Original:", 6, 225, 49, 10, 4,
     Qt::AlignRight | Qt::AlignTop},
    {ctl::Source, Kind::ReadOnlyEdit, "source", "", 58, 224, 306, 13, 4, kLeft},
    {ctl::TranslationLabel, Kind::Label, "translationLabel", "Translation:", 6, 240, 49, 10, 4,
     Qt::AlignRight | Qt::AlignTop},
    {ctl::Translation, Kind::Edit, "translation", "", 58, 239, 306, 13, 4, kLeft},
    {ctl::Hint, Kind::Label, "hint", "Enter the translation and press Enter (or click OK)", 62, 254, 162, 9,
     0, kLeft},
    {ctl::Back, Kind::Button, "back", "<- Back", 58, 265, 50, 15, 0, kLeft},
    {ctl::Ok, Kind::DefaultButton, "ok", "OK ->", 121, 265, 50, 15, 0, kLeft},
    {ctl::Tip, Kind::Label, "tip",
     "TIP: The most common words are listed in the [Helper Words] section of Parlavo.ini", 6, 284, 299, 10, 0,
     Qt::AlignHCenter | Qt::AlignTop},
    {ctl::EnglishEncodingLabel, Kind::Label, "englishEncodingLabel", "", 96, 4, 140, 10, 3,
     Qt::AlignRight | Qt::AlignTop},
    {ctl::EnglishEncoding, Kind::ChoiceList, "englishEncoding", "", 238, 2, 118, 160, 3, kLeft},
    {ctl::TranslatedEncodingLabel, Kind::Label, "translatedEncodingLabel", "", 96, 31, 140, 10, 3,
     Qt::AlignRight | Qt::AlignTop},
    {ctl::TranslatedEncoding, Kind::ChoiceList, "translatedEncoding", "", 238, 29, 118, 160, 3, kLeft},
    {ctl::SizeGrip, Kind::Grip, "sizeGrip", "", 0, 0, 0, 0, -1, kLeft},
    {ctl::Warning, Kind::Label, "warning", "", 62, 254, 302, 9, 0, kLeft},
    {ctl::Search, Kind::Edit, "search", "", 180, 266, 184, 13, 4, kLeft},
    {ctl::Suggestions, Kind::Label, "suggestions", "", 6, 284, 358, 10, 0, kLeft},
};

constexpr int kWindowWidth = 372; // client size of the window, dialog units
constexpr int kWindowHeight = 294;
constexpr std::uint32_t kViewBackground = 0x00C8D0D4; // red 212, green 208, blue 200

// The control fonts, all "Arial": the height is the point size in pixels of the screen, truncated.
QFont controlFont(int number, int dpiY) {
    static constexpr int kPoints[] = {0, 9, 10, 8, 10};
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(std::abs(-(kPoints[number] * dpiY / 72)));
    font.setWeight(number == 2 ? QFont::Bold : QFont::Normal);
    return font;
}

QWidget* createWidget(MainWindow& window, const ControlEntry& entry) {
    const QString text = QString::fromLatin1(entry.text);
    switch (entry.kind) {
    case Kind::Label: {
        auto* label = new QLabel(text, &window);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(entry.align);
        return label;
    }
    case Kind::Edit:
    case Kind::ReadOnlyEdit: {
        auto* edit = new QLineEdit(text, &window);
        edit->setReadOnly(entry.kind == Kind::ReadOnlyEdit);
        edit->setMaxLength(std::numeric_limits<int>::max()); // no text is ever cut
        edit->setCursorPosition(0);
        return edit;
    }
    case Kind::Button:
    case Kind::DefaultButton: {
        auto* button = new QPushButton(text, &window);
        button->setAutoDefault(entry.kind == Kind::DefaultButton);
        button->setDefault(entry.kind == Kind::DefaultButton);
        return button;
    }
    case Kind::Swatch: {
        auto* swatch = new OwnerDrawButton(window, entry.id, &window);
        swatch->setAutoDefault(false);
        return swatch;
    }
    case Kind::FontList:
        return new OwnerDrawComboBox(window, entry.id, &window);
    case Kind::SizeBox: {
        auto* box = new QComboBox(&window);
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setCompleter(nullptr);
        return box;
    }
    case Kind::ChoiceList:
        return new QComboBox(&window);
    case Kind::View: {
        auto* view = new FileViewWidget(&window);
        view->setBackgroundColour(kViewBackground);
        return view;
    }
    case Kind::Grip:
        return new QSizeGrip(&window);
    }
    return nullptr;
}

constexpr int kBundledIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256}; // resources/parlavo.qrc

// The icon the desktop shows for the installed program, or the bundled copy where none is installed.
QIcon programIcon() {
    QIcon bundled;
    for (const int size : kBundledIconSizes) {
        bundled.addFile(QStringLiteral(":/icons/%1x%1/parlavo.png").arg(size), QSize(size, size));
    }
    return QIcon::fromTheme(QStringLiteral("parlavo"), bundled);
}

} // namespace

int mulDiv(int a, int b, int c) {
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    const std::int64_t half = c / 2;
    const std::int64_t result = product >= 0 ? (product + half) / c : -((-product + half) / c);
    return static_cast<int>(result);
}

MainWindow::MainWindow(Handler handler, QWidget* parent)
    : QDialog(parent), handler_(std::move(handler)), controls_(new Controls) {
    loadParlavoResources();
    setWindowTitle(QStringLiteral("Parlavo"));
    setWindowIcon(programIcon());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setSizeGripEnabled(false);

    // The dialog font and its base units, as the dialog manager computes them.
    controls_->dialogFont = QFont(QStringLiteral("MS Sans Serif"));
    controls_->dialogFont.setPixelSize(mulDiv(8, logicalDpiY(), 72));
    setFont(controls_->dialogFont);
    const QFontMetrics metrics(controls_->dialogFont);
    const int alphabet =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    controls_->baseX = std::max(1, (alphabet / 26 + 1) / 2);
    controls_->baseY = std::max(1, metrics.height());

    const QRect client = mapDialogRect(QRect(0, 0, kWindowWidth, kWindowHeight));
    resize(client.size());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        move(available.center() - QPoint(client.width() / 2, client.height() / 2));
    }
    richEditClass(false); // the view is always a QPlainTextEdit; asked once like any other selection
    createControls();
    connectNotifications();
}

// The controls outlive this class's part of the window: nothing they do while they are destroyed
// may reach the handler or the control table.
MainWindow::~MainWindow() {
    handler_ = nullptr;
    for (const auto& [id, widget] : controls_->inOrder) {
        widget->removeEventFilter(this);
        widget->disconnect(this);
        if (auto* combo = qobject_cast<QComboBox*>(widget); combo && combo->lineEdit()) {
            combo->lineEdit()->disconnect(this);
        }
    }
    delete controls_;
    controls_ = nullptr;
}

void MainWindow::createControls() {
    for (const ControlEntry& entry : kControls) {
        QWidget* widget = createWidget(*this, entry);
        widget->setObjectName(QString::fromLatin1(entry.name));
        if (entry.font > 0) {
            widget->setFont(controlFont(entry.font, logicalDpiY()));
        }
        QRect geometry = mapDialogRect(QRect(entry.x, entry.y, entry.w, entry.h));
        if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            // The table's height is the closed box and its open list together.
            const int listHeight = geometry.height() - combo->sizeHint().height();
            combo->setMaxVisibleItems(std::max(1, listHeight / (combo->fontMetrics().height() + 4)));
            geometry.setHeight(combo->sizeHint().height());
        }
        if (entry.kind == Kind::Grip) {
            const QSize grip = widget->sizeHint();
            geometry = QRect(QPoint(width() - grip.width(), height() - grip.height()), grip);
        }
        widget->setGeometry(geometry);
        if (entry.id == ctl::Search || entry.id == ctl::Suggestions) {
            widget->hide(); // the search box appears on Ctrl+F
        }
        controls_->inOrder.emplace_back(entry.id, widget);
        controls_->byId[entry.id] = widget;
        controls_->idOf[widget] = entry.id;
    }
    QWidget* previous = nullptr;
    for (const auto& [id, widget] : controls_->inOrder) {
        if (widget->focusPolicy() == Qt::NoFocus) {
            continue;
        }
        if (previous) {
            QWidget::setTabOrder(previous, widget);
        }
        previous = widget;
    }
    for (int id : {ctl::EnglishPath, ctl::TranslatedPath}) {
        installPathDrop(*this, id);
    }
}

QWidget* MainWindow::control(int id) const {
    const auto found = controls_->byId.find(id);
    return found == controls_->byId.end() ? nullptr : found->second;
}

int MainWindow::controlId(const QWidget* widget) const {
    const auto found = controls_->idOf.find(widget);
    return found == controls_->idOf.end() ? 0 : found->second;
}

QRect MainWindow::mapDialogRect(const QRect& units) const {
    const int bx = controls_->baseX;
    const int by = controls_->baseY;
    return QRect(mulDiv(units.x(), bx, 4), mulDiv(units.y(), by, 8), mulDiv(units.width(), bx, 4),
                 mulDiv(units.height(), by, 8));
}

namespace {

// pixels * 1024 / p rounded to the nearest integer, halves up; p = pixel length of 1024 units.
int toUnits(int pixels, int p) {
    const std::int64_t twice = static_cast<std::int64_t>(pixels) * 2048 + p;
    const std::int64_t divisor = static_cast<std::int64_t>(p) * 2;
    std::int64_t quotient = twice / divisor;
    if (twice % divisor != 0 && twice < 0) {
        --quotient; // floor for negative values
    }
    return static_cast<int>(quotient);
}

} // namespace

QPoint MainWindow::pixelsToUnits(const QPoint& pixels) const {
    const QRect p = mapDialogRect(QRect(0, 0, 1024, 1024));
    return QPoint(toUnits(pixels.x(), p.width()), toUnits(pixels.y(), p.height()));
}

QSize MainWindow::pixelsToUnits(const QSize& pixels) const {
    const QPoint units = pixelsToUnits(QPoint(pixels.width(), pixels.height()));
    return QSize(units.x(), units.y());
}

void MainWindow::setRedraw(bool on) {
    setUpdatesEnabled(on);
}

void MainWindow::showTranslationPanel() {
    for (int id : kTranslationPanel) {
        control(id)->show();
    }
}

void MainWindow::hideTranslationPanel() {
    for (int id : kTranslationPanel) {
        control(id)->hide();
    }
}

int MainWindow::focusedControlId() const {
    const QWidget* focused = focusWidget();
    while (focused && focused != this) {
        if (const int id = controlId(focused)) {
            return id;
        }
        focused = focused->parentWidget();
    }
    return 0;
}

void MainWindow::focusControl(int id) {
    if (QWidget* widget = control(id)) {
        widget->setFocus(Qt::OtherFocusReason);
    }
}

} // namespace parlavo
