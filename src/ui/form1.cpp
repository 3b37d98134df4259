#include "ui/form1.h"

#include "render/markerart.h"
#include "ui/keycodes.h"
#include "ui/picturebox.h"
#include "ui/statuslabel.h"
#include "ui/stripcontrols.h"
#include "ui/widgets.h"
#include "ui/xkeyrepeats.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QWindow>

#include <cmath>

namespace ordnix {

namespace {

constexpr int kFirstTickMs = 10; // Timer1's interval as the window is designed

// Under X without shared memory, Qt sends a changed box that is not the whole
// window through a copy, and keeps that copy's buffer, as large as the
// largest box so far, until the window goes: after a whole new scene, a
// megabyte. A change this large (a new scene after each blast) repaints the
// whole window instead, which is sent as it is; the pictures are the same.
constexpr int kWholeWindowPixels = 32 * 1024;

QWidget* makestrip(QWidget* parent, const char* name, int left, int top, int width, int height) {
    return place(new StripPanel(parent), name, left, top, width, height);
}

// A caption on one of the strips: bold, black on its own colour.
QLabel* makestatuslabel(QLabel* label, const char* name, const QString& text, int left, int top,
                        int width, int height, const QColor& back) {
    makelabel(label, name, text, left, top, width, height);
    // Its size is the designed one whatever the text: a new text need not
    // ask the strip to lay out its contents again.
    label->setFixedSize(width, height);
    label->setFont(uifont(12, true));
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, back);
    pal.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(pal);
    label->setAutoFillBackground(true);
    return label;
}

} // namespace

Form1::Form1(Battle& battle, std::function<void()> onroundover, std::function<void()> onquit,
             QWidget* parent)
    : QWidget(parent), battle_(battle), onroundover_(std::move(onroundover)),
      onquit_(std::move(onquit)), surface_(kSky) {
    setObjectName("Form1");
    fixwindow(this, "Quarvel Ordnix", 620, 451);
    buildcontrols();
    surface_.changed = [this](const QRect& box) {
        if (box.width() * box.height() >= kWholeWindowPixels)
            update();
        else
            battlefield_->update(box);
    };
    qApp->installEventFilter(this);
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        xrepeats_ = std::make_unique<XKeyRepeats>(
            [this](uint32_t window, uint32_t keycode, uint32_t state) {
                return repeatsheldarrow(window, keycode, state);
            });
        qApp->installNativeEventFilter(xrepeats_.get());
    }

    waketimer_.setObjectName("Timer1");
    waketimer_.setSingleShot(true);
    waketimer_.setTimerType(Qt::PreciseTimer);
    connect(&waketimer_, &QTimer::timeout, this, &Form1::wakeup);

    battle_.attach(&surface_, this);
}

Form1::~Form1() {
    qApp->removeEventFilter(this);
    if (battle_.attached(&surface_)) { // gone mid-round: nothing wakes the round any more
        battle_.stop();
        battle_.detach(&surface_);
    }
}

void Form1::buildcontrols() {
    const QColor blue(0, 0, 255);
    const QColor pale(255, 255, 128);

    setstripcolour(blue);
    toolstrip_ = makestrip(this, "Picture4", 8, 16, 601, 33);
    weaponcaption_ =
        makestatuslabel(new QLabel(toolstrip_), "Label4", "Selected Weapon:", 8, 8, 169, 41, pale);
    weaponlist_ = makelist(new StripComboBox(toolstrip_), "Combo1", 176, 8, 193, 21);
    weaponcaption_->setBuddy(weaponlist_); // a screen reader names the list by its caption
    ammolabel_ = makestatuslabel(new QLabel(toolstrip_), "Label3", "Ammo:", 376, 8, 169, 41, pale);
    quitbutton_ = place(new StripButton("Quit", toolstrip_), "Command1", 536, 8, 57, 17);
    quitbutton_->setAutoDefault(false);

    battlefield_ = place(new PictureBox(surface_.visible(), this), "Picture1", 8, 48, kFieldWidth,
                         kFieldHeight);
    marker_ = place(new QLabel(battlefield_), "Image1", 48, 128, 32, 32);
    marker_->setPixmap(QPixmap::fromImage(makemarker()));
    marker_->setAttribute(Qt::WA_TransparentForMouseEvents);
    marker_->hide();
    // The barrel turns right under the marker: the picture's own repaint
    // draws it, rather than a second paint of the label in every frame.
    battlefield_->drawlabel(marker_);

    // The back buffer is an image only; its control stays hidden.
    backbuffer_ = place(new QWidget(this), "Picture2", 8, 48, kFieldWidth, kFieldHeight);
    backbuffer_->hide();

    statusstrip_ = makestrip(this, "Picture3", 8, 408, 601, 33);
    // The two status lines: the frame loop rewrites them.
    playerline_ = new StatusLabel(statusstrip_);
    makestatuslabel(playerline_, "Label2", qtext(playertext_), 8, 8, 321, 41, pale);
    aimline_ = new StatusLabel(statusstrip_);
    makestatuslabel(aimline_, "Label1", qtext(aimtext_), 320, 8, 273, 41, QColor(255, 255, 0));

    // Every change of the selection goes to the rules, which fire and blast
    // with their copy; a choice made in the list then gives the arrows back
    // to the battlefield.
    connect(weaponlist_, &QComboBox::currentIndexChanged, this,
            [this](int index) { battle_.weaponselected(index); });
    connect(weaponlist_, &QComboBox::activated, this, &Form1::weaponchosen);
    connect(quitbutton_, &QPushButton::clicked, this, &Form1::quitclicked);
    setTabOrder(weaponlist_, quitbutton_);
}

// --- the frame loop's wake-ups ---------------------------------------------

void Form1::startclock() {
    waketimer_.start(kFirstTickMs);
}

void Form1::wakeup() {
    const Wake next = battle_.wake();
    if (next.decided) {
        battle_.detach(&surface_); // the round is over; this window only goes now
        // Nothing draws or shows the battlefield again (the window is hidden
        // before control is back in the event loop): its pictures go before
        // the results window is built.
        surface_.release();
        onroundover_();
        return;
    }
    if (next.idle)
        return; // paused or stopped: resume() or nothing wakes it again
    int ms = 0;
    if (next.seconds > 0)
        ms = std::max(1, static_cast<int>(std::ceil(next.seconds * 1000.0)));
    waketimer_.start(ms);
}

// --- keys --------------------------------------------------------------------

bool Form1::ours(QObject* watched) const {
    auto* widget = qobject_cast<QWidget*>(watched);
    return widget && widget->window() == this;
}

bool Form1::inlistpopup(QObject* watched) const {
    // The list's popup is a window of its own, owned by the list.
    for (QObject* o = watched; o; o = o->parent())
        if (o == weaponlist_)
            return true;
    return false;
}

bool Form1::owns(QObject* watched) const {
    return ours(watched) || inlistpopup(watched);
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    // Alt+Down and Alt+Up on the weapon list only open and close it: they
    // are not the game's Down and Up. Closing it chooses the entry marked in
    // it, as Enter does. (Left to itself, the list would step its selection
    // on Alt+Up, and some Qt versions also on Alt+Down in the open list.)
    if (event->type() == QEvent::KeyPress && (key->modifiers() & Qt::AltModifier) &&
        (key->key() == Qt::Key_Down || key->key() == Qt::Key_Up)) {
        if (watched == weaponlist_) {
            weaponlist_->showPopup();
            return true;
        }
        if (inlistpopup(watched)) {
            const int marked = weaponlist_->view()->currentIndex().row();
            weaponlist_->hidePopup();
            if (marked >= 0) {
                weaponlist_->setCurrentIndex(marked);
                weaponchosen(marked);
            }
            return true;
        }
    }
    if (!ours(watched)) {
        // The open list takes its own keys, but a key that opened it (Alt+Down)
        // is released there: that release still lets go of the held key.
        if (event->type() == QEvent::KeyRelease && !key->isAutoRepeat() && inlistpopup(watched))
            battle_.keyup();
        return false;
    }
    if (event->type() == QEvent::KeyPress) {
        const int code = virtualkey(key->key());
        battle_.keydown(code);
        // The arrows are the game's keys: they neither move the focus between
        // controls nor step the closed weapon list.
        const bool arrow = key->key() == Qt::Key_Left || key->key() == Qt::Key_Right ||
                           key->key() == Qt::Key_Up || key->key() == Qt::Key_Down;
        lastarrow_ =
            arrow ? ArrowPress{key->nativeScanCode(), key->nativeModifiers(), code} : ArrowPress{};
        return arrow;
    }
    if (!key->isAutoRepeat()) {
        // Releases between auto-repeats are not real key-ups.
        lastarrow_ = {};
        battle_.keyup();
        if (watched == weaponlist_)
            battle_.weaponkeyup(weaponlist_->currentIndex());
    }
    return false;
}

bool Form1::repeatsheldarrow(uint32_t window, uint32_t keycode, uint32_t state) const {
    const QWindow* handle = windowHandle();
    return lastarrow_.code != 0 && keycode == lastarrow_.keycode && state == lastarrow_.state &&
           handle && handle->winId() == window && QGuiApplication::focusWindow() == handle &&
           !QApplication::activePopupWidget() && battle_.pressisredundant(lastarrow_.code);
}

// --- the controls the rules drive --------------------------------------------

void Form1::setweapons(const std::vector<std::string>& names) {
    const QSignalBlocker quiet(weaponlist_);
    weaponlist_->clear();
    for (const std::string& name : names)
        weaponlist_->addItem(qtext(name));
}

void Form1::selectweapon(int index) {
    {
        const QSignalBlocker quiet(weaponlist_);
        weaponlist_->setCurrentIndex(index);
    }
    focusbattlefield(); // as after a click in the list
}

void Form1::setammolabel(const std::string& text) {
    ammolabel_->setText(qtext(text));
}

// A choice made in the list: the rules take it, and the arrows go back to
// the battlefield.
void Form1::weaponchosen(int index) {
    battle_.weaponclicked(index);
    focusbattlefield();
}

void Form1::focusbattlefield() {
    battlefield_->setFocus(Qt::OtherFocusReason);
}

void Form1::showmarker(int left, int top) {
    marker_->move(left, top);
    marker_->show();
}

void Form1::hidemarker() {
    marker_->hide();
}

void Form1::setstatus(const std::string& label2, const std::string& label1) {
    // Most frames bring the same lines again: compared as they come, a line
    // is converted and handed to its label only when it changed.
    if (label2 != playertext_) {
        playertext_ = label2;
        playerline_->setText(qtext(label2));
    }
    if (label1 != aimtext_) {
        aimtext_ = label1;
        aimline_->setText(qtext(label1));
    }
}

// --- quitting ------------------------------------------------------------------

void Form1::quitclicked() {
    if (battle_.paused())
        return; // the question is already open
    // No frame and no ring runs while the question is open.
    battle_.pause();
    auto* question = new QMessageBox(QMessageBox::NoIcon, "Ordnix", "Do you realy want to quit?",
                                     QMessageBox::Yes | QMessageBox::No, this);
    question->setObjectName("QuitQuestion");
    question->setFont(desktopfont()); // a standard question in the desktop's look
    question->setWindowModality(Qt::ApplicationModal);
    question->setAttribute(Qt::WA_DeleteOnClose);
    connect(question, &QMessageBox::finished, this,
            [this](int result) { questionanswered(result == QMessageBox::Yes); });
    question->show();
}

void Form1::questionanswered(bool yes) {
    if (yes) {
        battle_.stop();
        onquit_();
        return;
    }
    // Back to the battlefield, so that the arrows aim again.
    focusbattlefield();
    // The first frame after the question covers the whole wait in one step.
    battle_.resume();
    wakeup();
}

void Form1::closeEvent(QCloseEvent* event) {
    waketimer_.stop();
    event->accept();
    if (battle_.attached(&surface_)) { // still the round's window: closing it ends the game
        battle_.stop();
        battle_.detach(&surface_);
        onquit_();
    }
}

} // namespace ordnix
