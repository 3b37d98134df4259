#include "ui/form2.h"

#include "game/numbers.h"
#include "ui/widgets.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include <string>

namespace ordnix {

namespace {
constexpr int kFrames = 8;
constexpr int kMinPlayers = 2;
constexpr int kMaxPlayers = 8;
} // namespace

Form2::Form2(StartReport onstart, std::function<void()> onquit, QWidget* parent)
    : QWidget(parent), onstart_(std::move(onstart)), onquit_(std::move(onquit)) {
    build();
    load();
}

// The controls in their designed state.
void Form2::build() {
    setObjectName(QStringLiteral("Form2"));
    fixwindow(this, QStringLiteral("Player Setup:"), 556, 267);

    playerscaption_ = makelabel(this, "Label1", QStringLiteral("Players:"), 8, 8, 105, 17);
    playercountbar_ = place(new QScrollBar(Qt::Horizontal, this), "HScroll1", 88, 8, 417, 17);
    playercountbar_->setRange(kMinPlayers, kMaxPlayers);
    playercountbar_->setValue(kMinPlayers);
    playercountbar_->setFocusPolicy(Qt::StrongFocus);
    // Qt's scroll bar inverts its arrow keys by default: the Right arrow
    // would lower the player count. Right and Up raise it here.
    playercountbar_->setInvertedControls(false);
    playercountlabel_ = makelabel(this, "Label2", QStringLiteral("2"), 520, 8, 25, 17);

    for (int i = 0; i < kFrames; ++i) {
        const std::string n = std::to_string(i);
        const int left = i < 4 ? 8 : 280;
        const int top = 40 + 48 * (i % 4);
        QGroupBox* frame = makeframe(this, ("Frame1_" + n).c_str(),
                                     QStringLiteral("Player Options:"), left, top, 265, 41);
        playerframes_[i] = frame;
        namecaptions_[i] =
            makelabel(frame, ("Label3_" + n).c_str(), QStringLiteral("Name:"), 8, 16, 49, 17);
        nameboxes_[i] = place(new QLineEdit(frame), ("Text1_" + n).c_str(), 48, 16, 105, 19);
        humanoptions_[i] = place(new QRadioButton(QStringLiteral("Human"), frame),
                                 ("Option1_" + n).c_str(), 160, 16, 65, 17);
        aioptions_[i] = place(new QRadioButton(QStringLiteral("AI"), frame),
                              ("Option2_" + n).c_str(), 224, 16, 33, 17);
        humanoptions_[i]->setChecked(true);        // the pair is exclusive within its frame
        namecaptions_[i]->setBuddy(nameboxes_[i]); // a screen reader names the box "Name:"
        // Tab stops at the frame's selected option only; the arrows move
        // between the two.
        for (QRadioButton* option : {humanoptions_[i], aioptions_[i]}) {
            option->setFocusPolicy(option->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
            connect(option, &QRadioButton::toggled, option, [option](bool on) {
                option->setFocusPolicy(on ? Qt::StrongFocus : Qt::ClickFocus);
            });
        }
        frame->setEnabled(i < kMinPlayers);
    }

    startbutton_ = makebutton(this, "Command1", QStringLiteral("Start"), 8, 232, 89, 25);
    cancelbutton_ = makebutton(this, "Command3", QStringLiteral("Cancel"), 456, 232, 89, 25);

    // Focus order: the scroll bar, frame 0 forwards, every later frame
    // backwards (AI, Human, name), then Start and Cancel.
    QWidget* previous = playercountbar_;
    auto chain = [&previous](QWidget* next) {
        QWidget::setTabOrder(previous, next);
        previous = next;
    };
    chain(nameboxes_[0]);
    chain(humanoptions_[0]);
    chain(aioptions_[0]);
    for (int i = 1; i < kFrames; ++i) {
        chain(aioptions_[i]);
        chain(humanoptions_[i]);
        chain(nameboxes_[i]);
    }
    chain(startbutton_);
    chain(cancelbutton_);

    connect(playercountbar_, &QScrollBar::valueChanged, this, &Form2::playercount);
    connect(startbutton_, &QPushButton::clicked, this, &Form2::start);
    connect(cancelbutton_, &QPushButton::clicked, this, &Form2::cancel);
}

// Window load: default names (the application has filled the catalogue).
void Form2::load() {
    for (int i = 0; i < kFrames; ++i)
        nameboxes_[i]->setText(qtext("Player" + numtext(i + 1)));
}

void Form2::playercount(int v) {
    playercountlabel_->setText(QString::number(v)); // bare digits, no leading blank
    for (QGroupBox* frame : playerframes_)
        frame->setEnabled(false);
    for (int i = 0; i < v && i < kFrames; ++i)
        playerframes_[i]->setEnabled(true);
}

void Form2::start() {
    if (started_ || quitting_)
        return;
    started_ = true;
    std::array<PlayerChoice, 8> choices;
    for (int i = 0; i < kFrames; ++i)
        choices[i] = {nameboxes_[i]->text().toStdString(), aioptions_[i]->isChecked()};
    if (onstart_)
        onstart_(playercountbar_->value(), choices);
}

void Form2::cancel() {
    if (started_ || quitting_)
        return;
    quitting_ = true;
    if (onquit_)
        onquit_();
}

// The close box ends the program, unless the window closes after Start (or
// while the program is already ending).
void Form2::closeEvent(QCloseEvent* event) {
    event->accept();
    cancel();
}

} // namespace ordnix
