// Round after round through the real windows leaves nothing behind: the
// live objects, the widgets and the style's cached pictures of the controls
// are, at the results of a later round, what they were at the first.
#define Q_TEST_QPIXMAPCACHE // QPixmapCache::totalUsed()
#include "liveobjects.h"
#include "rounddriver.h"
#include "ui_support.h"

#include <QApplication>
#include <QPixmapCache>

#include <algorithm>

using namespace ordnix;

TEST(GameFlow, RoundAfterRoundLeavesNoObjectsWidgetsOrStylePicturesBehind) {
    ASSERT_TRUE(LiveObjects::available());
    const LiveObjects live;
    // Objects, widgets, and megabytes of pictures in the style's cache (each
    // round that adds its own pictures adds about 30 kB).
    auto leftovers = [&] {
        // Windows the game has finished with go at the next turn of the event
        // loop; count what stays after that.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return std::tuple(live.count(), QApplication::allWidgets().size(),
                          QPixmapCache::totalUsed());
    };
    constexpr int kRounds = 61;
    JumpClock clock;
    GameApp app(&clock);
    RoundDriver driver(app, false);
    std::tuple<long, qsizetype, int> first{}, last{};
    ASSERT_TRUE(spin(120000,
                     [&] {
                         if (driver.step()) {
                             if (driver.rounds() == 1)
                                 first = leftovers();
                             if (driver.rounds() == kRounds)
                                 last = leftovers();
                         }
                         return driver.rounds() == kRounds;
                     }))
        << "played " << driver.rounds() << " rounds";
    EXPECT_EQ(last, first) << "(objects, widgets, cached pictures in MB)";
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
