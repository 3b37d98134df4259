// What every window shows and tells a screen reader: the font of each
// control, the names the controls are read by, and the Tab order of the
// setup window.
#include "game/shop.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/form3.h"
#include "ui_support.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QScrollBar>

#include <map>

using namespace ordnix;

namespace {

struct Face {
    double points = 8;
    bool bold = false, underline = false;
    bool operator==(const Face&) const = default;
};

// Every widget of the window, the window itself and the parts of its lists'
// popups included, against the font it is designed with: "MS Sans Serif",
// 8 pt unless `sized` names another face.
void expectfonts(QWidget* window, const std::map<QString, Face>& sized) {
    for (QComboBox* list : window->findChildren<QComboBox*>()) {
        list->showPopup(); // builds the popup's widgets
        list->hidePopup();
    }
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.prepend(window);
    for (QWidget* w : widgets) {
        const QFont f = w->font();
        const auto it = sized.find(w->objectName());
        const Face want = it == sized.end() ? Face{} : it->second;
        EXPECT_EQ(std::tuple(f.family().toStdString(), f.pointSizeF(), f.bold(), f.underline()),
                  std::tuple(std::string("MS Sans Serif"), want.points, want.bold, want.underline))
            << window->objectName().toStdString() << " " << w->metaObject()->className() << " "
            << w->objectName().toStdString();
    }
}

QString readname(QWidget* w) {
    QAccessibleInterface* read = w ? QAccessible::queryAccessibleInterface(w) : nullptr;
    return read ? read->text(QAccessible::Name) : QString("(nothing)");
}

// The captions a screen reader gives as labels of `w`.
QStringList labelledby(QWidget* w) {
    QStringList names;
    QAccessibleInterface* read = w ? QAccessible::queryAccessibleInterface(w) : nullptr;
    if (read)
        for (const auto& [label, relation] : read->relations(QAccessible::Label))
            names << label->text(QAccessible::Name);
    return names;
}

} // namespace

TEST(Captions, EveryControlOfEveryWindowUsesTheDesignedFont) {
    Model model = newgame({"Red", "Blue"});
    MixRandom random;
    FakeClock clock;
    FakeSound sound;
    {
        Form2 setup(nullptr, nullptr);
        setup.show();
        expectfonts(&setup, {});
    }
    {
        Battle battle(model, random, clock, sound);
        Form1 field(
            battle, [] {}, [] {});
        const Face status{12, true};
        expectfonts(
            &field,
            {{"Label4", status}, {"Label3", status}, {"Label2", status}, {"Label1", status}});
    }
    Form3 results(model, nullptr, nullptr);
    results.show();
    std::map<QString, Face> sized{{"Label1", {12, true, true}}};
    for (int i = 0; i < 8; ++i)
        sized[QString("Label2_%1").arg(i)] = {9.75};
    expectfonts(&results, sized);
}

// Each name box is read by its caption "Name:", each weapon list by the
// caption beside it; the results lines and the shop's captions read exactly
// as they show, names with markup or an ampersand included.
TEST(Captions, ScreenReadersReadWhatThePlayerSees) {
    Model model = newgame({"<i>Ann</i> & Co", "R&D"});
    Form2 setup(nullptr, nullptr);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(readname(control(&setup, QString("Text1_%1").arg(i))), "Name:") << "frame " << i;

    MixRandom random;
    FakeClock clock;
    FakeSound sound;
    {
        Battle battle(model, random, clock, sound);
        Form1 field(
            battle, [] {}, [] {});
        EXPECT_TRUE(labelledby(control(&field, "Combo1")).contains("Selected Weapon:"));
    }

    Form3 results(model, nullptr, nullptr);
    results.show();
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(readname(control(&results, QString("Label2_%1").arg(i))),
                  QString::fromStdString(resultsline(model, i)));
    click(control(&results, "Command1")); // the shop, seat 0
    click(control(&results, "Command1")); // seat 1
    EXPECT_EQ(readname(control(&results, "Frame2")), "Buy menu for R&D");
    EXPECT_TRUE(labelledby(control(&results, "Combo1")).contains("Weapon:"));
    for (const char* name : {"Label3", "Label4", "Label5", "Label6", "Label7"}) {
        auto* label = control<QLabel>(&results, name);
        EXPECT_EQ(readname(label), label->text()) << name;
    }
}

// Tab goes from the player count through each enabled frame once, in the
// designed order (frame 0: name, option; later frames: option, name),
// stopping at the frame's selected option only, then Start and Cancel.
TEST(Form2, TabVisitsEachEnabledFrameOnceAndLandsOnTheSelectedOption) {
    Model model;
    Form2 setup(nullptr, nullptr);
    setup.show();
    setup.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&setup));
    control<QScrollBar>(&setup, "HScroll1")->setValue(3);
    click(control(&setup, "Option2_1")); // player 2 plays as the computer
    control(&setup, "HScroll1")->setFocus();
    const QStringList order{"Text1_0", "Option1_0", "Option2_1", "Text1_1", "Option1_2",
                            "Text1_2", "Command1",  "Command3",  "HScroll1"};
    QStringList forwards, backwards;
    for (int k = 0; k < order.size(); ++k) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        forwards << QApplication::focusWidget()->objectName();
    }
    for (int k = 0; k < order.size(); ++k) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        backwards.prepend(QApplication::focusWidget()->objectName());
    }
    EXPECT_EQ(forwards, order);
    backwards.append(backwards.takeFirst()); // the walk back ends where it began
    EXPECT_EQ(backwards, order);
}
