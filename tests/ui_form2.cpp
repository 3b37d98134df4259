// The player setup window, driven through its controls: player count, the
// player frames, Start and Cancel.

#include "ui/form2.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace ordnix;

namespace {

template <class W> W* control(QWidget& form, const std::string& name) {
    W* w = form.findChild<W*>(QString::fromStdString(name));
    if (!w)
        ADD_FAILURE() << "no control " << name;
    return w;
}

std::string n(const char* base, int i) {
    return base + std::to_string(i);
}

struct SetupWindow {
    Model model;
    int starts = 0;
    int quits = 0;
    Form2 form{model, [this] { ++starts; }, [this] { ++quits; }};

    SetupWindow() { form.show(); }
    QScrollBar* scroll() { return control<QScrollBar>(form, "HScroll1"); }
    QGroupBox* frame(int i) { return control<QGroupBox>(form, n("Frame1_", i)); }
    QLineEdit* name(int i) { return control<QLineEdit>(form, n("Text1_", i)); }
    QRadioButton* ai(int i) { return control<QRadioButton>(form, n("Option2_", i)); }
    QString count() { return control<QLabel>(form, "Label2")->text(); }
    void click(const char* button) {
        QTest::mouseClick(control<QPushButton>(form, button), Qt::LeftButton);
    }
    // Moves the scroll bar with the keyboard, as a player would.
    void setcount(int v) {
        QScrollBar* s = scroll();
        s->setFocus();
        for (int k = 0; k < 8 && s->value() < v; ++k)
            QTest::keyClick(s, Qt::Key_Right);
        for (int k = 0; k < 8 && s->value() > v; ++k)
            QTest::keyClick(s, Qt::Key_Left);
        EXPECT_EQ(s->value(), v);
    }
    std::vector<bool> enabledframes() {
        std::vector<bool> e;
        for (int i = 0; i < 8; ++i)
            e.push_back(frame(i)->isEnabled());
        return e;
    }
};

} // namespace

TEST(Form2, OpensAsDesigned) {
    SetupWindow s;
    EXPECT_EQ(s.form.windowTitle(), "Player Setup:");
    EXPECT_EQ(s.form.size(), QSize(556, 267));
    EXPECT_EQ(s.form.minimumSize(), s.form.maximumSize());
    EXPECT_EQ(s.form.font().family(), "MS Sans Serif");
    EXPECT_EQ(s.form.font().pointSizeF(), 8.0);

    struct Expect {
        std::string name;
        QRect geometry;
        QString caption;
    };
    const Expect controls[] = {
        {"Label1", {8, 8, 105, 17}, "Players:"},
        {"Label2", {520, 8, 25, 17}, "2"},
        {"Frame1_0", {8, 40, 265, 41}, "Player Options:"},
        {"Frame1_3", {8, 184, 265, 41}, "Player Options:"},
        {"Frame1_4", {280, 40, 265, 41}, "Player Options:"},
        {"Frame1_7", {280, 184, 265, 41}, "Player Options:"},
        {"Label3_5", {8, 16, 49, 17}, "Name:"},
        {"Option1_6", {160, 16, 65, 17}, "Human"},
        {"Option2_6", {224, 16, 33, 17}, "AI"},
        {"Command1", {8, 232, 89, 25}, "Start"},
        {"Command3", {456, 232, 89, 25}, "Cancel"},
    };
    for (const Expect& e : controls) {
        SCOPED_TRACE(e.name);
        QWidget* w = control<QWidget>(s.form, e.name);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->geometry(), e.geometry);
        QString caption;
        if (auto* l = qobject_cast<QLabel*>(w))
            caption = l->text();
        else if (auto* g = qobject_cast<QGroupBox*>(w))
            caption = g->title();
        else if (auto* b = qobject_cast<QAbstractButton*>(w))
            caption = b->text();
        EXPECT_EQ(caption, e.caption);
    }
    EXPECT_EQ(s.name(2)->geometry(), QRect(48, 16, 105, 19));
    EXPECT_EQ(s.scroll()->geometry(), QRect(88, 8, 417, 17));
    EXPECT_EQ(s.scroll()->orientation(), Qt::Horizontal);
    EXPECT_EQ(s.scroll()->minimum(), 2);
    EXPECT_EQ(s.scroll()->maximum(), 8);
    EXPECT_EQ(s.scroll()->value(), 2);
}

TEST(Form2, LoadFillsTheCatalogueTwoPlayersAndDefaultNames) {
    SetupWindow s;
    EXPECT_EQ(s.model.weapons[6].name, "Killer bomb");
    EXPECT_EQ(s.model.lastplayer, 1);
    EXPECT_EQ(s.enabledframes(),
              (std::vector<bool>{true, true, false, false, false, false, false, false}));
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(s.name(i)->text(), QString("Player %1").arg(i + 1));
        EXPECT_TRUE(control<QRadioButton>(s.form, n("Option1_", i))->isChecked());
        EXPECT_FALSE(s.ai(i)->isChecked());
    }
}

TEST(Form2, FocusMovesThroughFrameZeroForwardsAndLaterFramesBackwards) {
    SetupWindow s;
    std::vector<std::string> expected = {"HScroll1", "Text1_0", "Option1_0", "Option2_0"};
    for (int i = 1; i < 8; ++i)
        for (const char* base : {"Option2_", "Option1_", "Text1_"})
            expected.push_back(n(base, i));
    expected.push_back("Command1");
    expected.push_back("Command3");

    std::vector<std::string> chain;
    QWidget* w = s.scroll();
    do {
        if (w->focusPolicy() & Qt::TabFocus)
            chain.push_back(w->objectName().toStdString());
        w = w->nextInFocusChain();
    } while (w != s.scroll());
    EXPECT_EQ(chain, expected);
}

TEST(Form2, PlayerCountShowsBareDigitsAndEnablesTheFramesInUse) {
    struct Case {
        int count;
        const char* label;
        int enabled;
    };
    const Case cases[] = {{8, "8", 8}, {3, "3", 3}, {5, "5", 5}, {2, "2", 2}};
    SetupWindow s;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        s.setcount(c.count);
        EXPECT_EQ(s.count(), c.label);
        EXPECT_EQ(s.model.lastplayer, c.count - 1);
        for (int i = 0; i < 8; ++i) {
            EXPECT_EQ(s.frame(i)->isEnabled(), i < c.enabled) << "frame " << i;
            EXPECT_TRUE(s.frame(i)->isVisible()) << "frame " << i;
        }
    }
}

TEST(Form2, StartAtOnceGivesTwoHumanPlayersAtTheEdges) {
    SetupWindow s;
    s.click("Command1");
    ASSERT_EQ(s.starts, 1);
    EXPECT_EQ(s.quits, 0);
    EXPECT_TRUE(s.form.started());
    EXPECT_FALSE(s.form.isVisible());

    const int16_t xs[] = {50, 550};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        const playerrec& p = s.model.players[i];
        EXPECT_EQ(p.name, "Player " + std::to_string(i + 1));
        EXPECT_EQ(p.x, xs[i]);
        EXPECT_EQ(p.hitpoints, 100);
        EXPECT_EQ(p.angle, 30);
        EXPECT_EQ(p.power, 50);
        EXPECT_EQ(p.ammo[0], 9999);
        EXPECT_EQ(p.curweapon, 0);
        EXPECT_EQ(p.target, -1);
        EXPECT_FALSE(p.ai);
    }
    EXPECT_EQ(s.model.players[2].name, "");
    EXPECT_EQ(s.model.players[2].hitpoints, 0);
}

TEST(Form2, NamesInDisabledFramesStayButAreNotUsed) {
    SetupWindow s;
    s.setcount(8);
    s.name(5)->clear();
    QTest::keyClicks(s.name(5), "Zed");
    QTest::mouseClick(s.ai(1), Qt::LeftButton);
    QTest::mouseClick(s.ai(6), Qt::LeftButton);
    s.name(2)->clear(); // an empty name is allowed
    s.setcount(3);

    // A disabled frame takes no typing and no clicks.
    QTest::keyClicks(s.name(5), "xx");
    QTest::mouseClick(s.ai(4), Qt::LeftButton);
    EXPECT_EQ(s.name(5)->text(), "Zed");
    EXPECT_TRUE(s.ai(6)->isChecked());
    EXPECT_FALSE(s.ai(4)->isChecked());

    s.click("Command1");
    ASSERT_EQ(s.starts, 1);
    EXPECT_EQ(s.model.lastplayer, 2);
    EXPECT_EQ(s.model.players[1].name, "Player 2");
    EXPECT_TRUE(s.model.players[1].ai);
    EXPECT_EQ(s.model.players[2].name, "");
    EXPECT_EQ(s.model.players[2].x, 550);
    for (int i = 3; i < 9; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(s.model.players[i].name, "");
        EXPECT_FALSE(s.model.players[i].ai);
        EXPECT_EQ(s.model.players[i].hitpoints, 0);
    }
}

TEST(Form2, EightPlayersStandAtTheirColumns) {
    SetupWindow s;
    s.setcount(8);
    s.click("Command1");
    const int16_t xs[] = {50, 121, 193, 264, 336, 407, 479, 550};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(s.model.players[i].x, xs[i]) << "player " << i;
}

TEST(Form2, CancelAndTheCloseBoxEndTheProgramButNotAfterStart) {
    {
        SetupWindow s;
        s.click("Command3");
        EXPECT_EQ(s.quits, 1);
        EXPECT_EQ(s.starts, 0);
        s.form.close(); // the program's end closes the window: no second quit
        EXPECT_EQ(s.quits, 1);
    }
    {
        SetupWindow s;
        s.form.close();
        EXPECT_EQ(s.quits, 1);
        EXPECT_EQ(s.starts, 0);
    }
    {
        SetupWindow s;
        s.click("Command1");
        s.form.close();
        control<QPushButton>(s.form, "Command1")->click();
        EXPECT_EQ(s.starts, 1);
        EXPECT_EQ(s.quits, 0);
    }
}

TEST(Form2, TheApplicationMayDropTheWindowWhenTheBattlefieldOpens) {
    Model model;
    int starts = 0;
    QPointer<Form2> form;
    form = new Form2(
        model,
        [&] {
            ++starts;
            delete form.data();
        },
        [] {});
    form->show();
    form->findChild<QPushButton*>("Command1")->click();
    EXPECT_EQ(starts, 1);
    EXPECT_TRUE(form.isNull());
}
