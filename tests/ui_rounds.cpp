// Round after round through the real windows leaves nothing behind: the
// objects and the widgets are, at the results of a later round, what they
// were at the first, and the heap has not grown with the rounds.
#include "heapbytes.h"
#include "objecttrees.h"
#include "rounddriver.h"
#include "ui_support.h"

#include <QApplication>
#include <QWindow>

#include <algorithm>

using namespace ordnix;

TEST(GameFlow, RoundAfterRoundLeavesNoObjectsWidgetsOrStylePicturesBehind) {
    // Objects, widgets, and bytes on the heap (the style's cached pictures
    // of the controls are heap images: each round that adds its own
    // pictures keeps about 40 kB more).
    auto leftovers = [&] {
        // Windows the game has finished with go at the next turn of the event
        // loop; count what stays after that.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return std::tuple(objectsintrees(), QApplication::allWidgets().size(), heapinuse());
    };
    // The heap settles in the first rounds, as fonts and every page of the
    // windows are first drawn; it is compared from then on. The slack covers
    // the allocator's per-thread cache of freed blocks (at most about 240 kB),
    // which it counts as in use.
    constexpr int kSettled = 11, kRounds = 61;
    constexpr long kHeapSlack = 384 * 1024;
    JumpClock clock;
    GameApp app(&clock);
    RoundDriver driver(app, false);
    // A round's reading waits until its results window is on the screen:
    // until then the window has no picture of itself yet (some 400 kB), and
    // whether a reading came before or after that would decide the test.
    auto onscreen = [&] {
        const QWidget* results = app.results();
        return results && results->windowHandle() && results->windowHandle()->isExposed();
    };
    std::tuple<long, qsizetype, std::size_t> first{}, settled{}, last{};
    int waiting = 0; // the round counted and not read yet
    ASSERT_TRUE(spin(120000,
                     [&] {
                         if (waiting == 0 && driver.rounds() < kRounds && driver.step())
                             waiting = driver.rounds();
                         if (waiting != 0 && onscreen()) {
                             if (waiting == 1)
                                 first = leftovers();
                             if (waiting == kSettled)
                                 settled = leftovers();
                             if (waiting == kRounds)
                                 last = leftovers();
                             waiting = 0;
                         }
                         return driver.rounds() == kRounds && waiting == 0;
                     }))
        << "played " << driver.rounds() << " rounds";
    EXPECT_EQ(std::get<0>(last), std::get<0>(first)) << "objects";
    EXPECT_EQ(std::get<1>(last), std::get<1>(first)) << "widgets";
    const long grown =
        static_cast<long>(std::get<2>(last)) - static_cast<long>(std::get<2>(settled));
    EXPECT_LT(grown, kHeapSlack) << "the heap grew by " << grown << " bytes in "
                                 << kRounds - kSettled << " rounds";
}

// The list and the Quit button on the battlefield's top strip show the strip
// colour, through one palette that every new battlefield window shares: a
// palette of its own would give the style's cached pictures new keys.
TEST(Form1, StripControlsShowTheStripColourThroughOneSharedPalette) {
    Model model = newgame({"Red", "Blue"});
    MixRandom random;
    JumpClock clock;
    FakeSound sound;
    Battle battle{model, random, clock, sound};
    std::vector<qint64> keys;
    for (int window = 0; window < 2; ++window) {
        Form1 form{battle, [] {}, [] {}};
        form.show(); // class palettes reach a widget when it is polished
        for (const char* name : {"Picture4", "Combo1", "Command1", "Picture3"}) {
            const QPalette palette = control(&form, name)->palette();
            EXPECT_EQ(palette.window().color(), QColor(0, 0, 255)) << name;
            keys.push_back(palette.cacheKey());
        }
    }
    EXPECT_EQ(std::count(keys.begin(), keys.end(), keys.front()), 8);
}
