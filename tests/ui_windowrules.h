#pragma once
// What a player must always see in the game's windows, whatever was typed or
// clicked before: one game window at a time, captions in their formats, and
// the battlefield's controls in step with the rules. Each check returns what
// is wrong, or an empty string.
#include "game/battle.h"
#include "game/numbers.h"
#include "game/shop.h"
#include "newgame.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>

#include <map>
#include <string>

namespace windowrules {

using namespace ordnix;

// A number in a caption: a blank or a minus sign, then digits without
// leading zeros.
#define CAPTION_NUMBER "( (0|[1-9][0-9]*)|-[1-9][0-9]*)"

// Whether all of `text` has the form `pattern`; each pattern is compiled once.
inline bool matches(const QString& text, const char* pattern) {
    static std::map<std::string, QRegularExpression> compiled;
    auto it = compiled.find(pattern);
    if (it == compiled.end()) {
        const QString anchored = QRegularExpression::anchoredPattern(QString::fromUtf8(pattern));
        it = compiled.emplace(pattern, QRegularExpression(anchored)).first;
    }
    return it->second.match(text).hasMatch();
}

inline std::string show(const QString& text) {
    return '"' + text.toStdString() + '"';
}

inline QString caption(const QWidget* w, const char* name) {
    const auto* label = w->findChild<QLabel*>(name);
    return label ? label->text() : QStringLiteral("<no %1>").arg(name);
}

inline bool isgamewindow(const QWidget* w) {
    const QString name = w->objectName();
    return name == "Form1" || name == "Form2" || name == "Form3";
}

// The game windows shown now.
inline QWidgetList shownwindows() {
    QWidgetList shown;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (isgamewindow(w) && w->isVisible())
            shown << w;
    return shown;
}

inline std::string checkmodel(const Model& m) {
    if (m.lastplayer < 1 || m.lastplayer > 7)
        return "lastplayer " + std::to_string(m.lastplayer);
    for (int i = m.lastplayer + 1; i < kPlayerSlots; ++i)
        if (!pristine(m.players[i]))
            return "slot " + std::to_string(i) + " above the last player changed";
    for (int i = 0; i <= m.lastplayer; ++i) {
        const playerrec& p = m.players[i];
        if (p.hitpoints > 100 || p.money < 0 || p.curweapon < 0 || p.curweapon >= kCatalogueRows)
            return "player " + std::to_string(i) + " out of range";
        for (int16_t stock : p.ammo)
            if (stock < 0)
                return "player " + std::to_string(i) + " has a negative stock";
    }
    return {};
}

// Player setup: the count shows bare digits and enables the frames in use;
// each frame has exactly one of Human and AI. The player table is written
// only at Start, so the model is not compared here.
inline std::string checksetup(const QWidget* form, const Model&) {
    const auto* count = form->findChild<QScrollBar*>("HScroll1");
    if (!count)
        return "no player count";
    const int n = count->value();
    if (n < 2 || n > 8 || caption(form, "Label2") != QString::number(n))
        return "player count " + show(caption(form, "Label2")) + " for " + std::to_string(n);
    for (int i = 0; i < 8; ++i) {
        const auto* frame = form->findChild<QGroupBox*>(QString("Frame1_%1").arg(i));
        const auto* human = form->findChild<QRadioButton*>(QString("Option1_%1").arg(i));
        const auto* ai = form->findChild<QRadioButton*>(QString("Option2_%1").arg(i));
        if (!frame || !human || !ai)
            return "frame " + std::to_string(i) + " incomplete";
        if (frame->isEnabled() != (i < n))
            return "frame " + std::to_string(i) + " enabled wrongly for " + std::to_string(n);
        if (human->isChecked() == ai->isChecked())
            return "frame " + std::to_string(i) + " has not exactly one of Human and AI";
    }
    return {};
}

// The battlefield: the list holds the seven weapons, the ammunition label
// and the status lines read as the rules say, the marker stands over the
// aiming tank.
inline std::string checkbattlefield(const QWidget* form, const Battle& b, const Model& m) {
    if (b.curplayer < 0 || b.curplayer > m.lastplayer)
        return "current player " + std::to_string(b.curplayer);
    if (b.shotstate != 0 && b.shotstate != 1)
        return "shot state " + std::to_string(b.shotstate);
    for (int16_t h : b.heights)
        if (h > 360)
            return "ground deeper than row 360";
    const auto* list = form->findChild<QComboBox*>("Combo1");
    if (!list || list->count() != kCatalogueRows || list->currentIndex() < 0 ||
        list->currentIndex() >= kCatalogueRows)
        return "weapon list not seven entries with one chosen";
    for (int i = 0; i < kCatalogueRows; ++i)
        if (list->itemText(i).toStdString() != m.weapons[i].name)
            return "weapon list entry " + std::to_string(i) + " " + show(list->itemText(i));
    const QString ammo = caption(form, "Label3");
    if (!matches(ammo, "(Ammo|Stück):" CAPTION_NUMBER) || ammo.contains('-'))
        return "ammunition label " + show(ammo);

    // Until the round's first frame the status lines keep their designed
    // captions; from then on they are the rules' lines.
    const QString two = caption(form, "Label2"), one = caption(form, "Label1");
    const bool designed = two == "Player: 1 Hitpoints: 100" && one == "Label1";
    if (!designed) {
        if (two.toStdString() != b.statusline2() || one.toStdString() != b.statusline1())
            return "status lines " + show(two) + " " + show(one) + " instead of the rules' lines";
        if (!matches(two, ".*: Hitpoints:" CAPTION_NUMBER " Score:" CAPTION_NUMBER))
            return "status line " + show(two);
        if (!matches(one, "Angle:" CAPTION_NUMBER " Power:" CAPTION_NUMBER " Wind:" CAPTION_NUMBER))
            return "status line " + show(one);
        const int wind = one.section(':', 3).trimmed().toInt();
        if (wind < -50 || wind > 49)
            return "wind shown " + std::to_string(wind);
    }

    // The marker shows while the player aims and hides for the flight.
    const auto* marker = form->findChild<QLabel*>("Image1");
    if (!marker || marker->isHidden() != (b.shotstate == 1))
        return "marker shown " + std::to_string(marker && !marker->isHidden()) + " in shot state " +
               std::to_string(b.shotstate);
    const playerrec& p = m.players[b.curplayer];
    if (b.shotstate == 0 && marker->pos() != QPoint(p.x - 6, b.heights[p.x + 8] - 50))
        return "marker not over the current tank";

    if (const auto* q = form->findChild<QMessageBox*>("QuitQuestion"); q && q->isVisible()) {
        if (q->text() != "Do you realy want to quit?" || q->windowTitle() != "Ordnix")
            return "quit question " + show(q->text());
    }
    return {};
}

// Results and shop: one page at a time, a line per player, shop labels in
// their formats.
inline std::string checkresults(const QWidget* form, const Model& m) {
    const auto* results = form->findChild<QGroupBox*>("Frame1");
    const auto* shop = form->findChild<QGroupBox*>("Frame2");
    if (!results || !shop || results->isHidden() == shop->isHidden())
        return "not exactly one of the results and the shop shown";
    for (int i = 0; i < 8; ++i) {
        const auto* line = form->findChild<QLabel*>(QString("Label2_%1").arg(i));
        if (!line || line->isHidden() != (i > m.lastplayer))
            return "results line " + std::to_string(i) + " shown wrongly";
        if (i <= m.lastplayer && line->text().toStdString() != resultsline(m, i))
            return "results line " + show(line->text());
        if (i <= m.lastplayer &&
            !matches(line->text(), "Player:" CAPTION_NUMBER " \\(.*\\) Total score:" CAPTION_NUMBER
                                   " Last round:" CAPTION_NUMBER))
            return "results line " + show(line->text());
    }
    const std::pair<const char*, const char*> labels[] = {
        {"Label4", "Cost:" CAPTION_NUMBER},
        {"Label5", "Quantity:" CAPTION_NUMBER},
        {"Label6", "Already have:" CAPTION_NUMBER},
        {"Label7", "Money:" CAPTION_NUMBER}};
    for (const auto& [name, pattern] : labels)
        if (!matches(caption(form, name), pattern))
            return "shop label " + show(caption(form, name));
    if (!shop->title().startsWith("Buy menu for "))
        return "shop title " + show(shop->title());
    const auto* list = form->findChild<QComboBox*>("Combo1");
    if (!list || list->count() != kLastShopRow || list->currentIndex() < 0)
        return "shop list not six weapons with one chosen";
    return {};
}

#undef CAPTION_NUMBER

} // namespace windowrules
