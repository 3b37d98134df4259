// What reaches the screen. The battlefield picture repaints only the boxes
// that the drawing changed, and its copies to and from the back buffer move
// only where the two pictures differ. Over a scripted round, after every
// drawing operation, the window shows exactly the visible picture, and both
// pictures are exactly those of whole-picture copies and whole repaints.
#include "render/imagesurface.h"
#include "ui/form1.h"
#include "ui/picturebox.h"
#include "ui_support.h"

#include <QLabel>
#include <QPaintEvent>
#include <QScreen>
#include <QWidget>

#include <functional>
#include <string>

using namespace ordnix;

namespace {

// The pixels of a picture, whatever its format.
QImage rgb32(const QImage& image) {
    return image.convertToFormat(QImage::Format_RGB32);
}

// Runs the repaints that Qt has gathered, then reads back what the window
// system was given for the window: the pixels a player sees.
QImage presented(QWidget& window, const QRect& area) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    return window.screen()
        ->grabWindow(window.winId(), area.x(), area.y(), area.width(), area.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

// The battlefield picture alone in a window, as the battlefield window shows it.
struct Screen {
    ImageSurface surface{kSky};
    QWidget window;
    PictureBox* picture = new PictureBox(surface.visible(), &window);
    Screen() {
        window.setFixedSize(ImageSurface::kWidth, ImageSurface::kHeight);
        picture->setGeometry(window.rect());
        surface.changed = [this](const QRect& box) { picture->update(box); };
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    QImage shown() { return presented(window, picture->geometry()); }
};

// Draws every operation on the surface under test and on a reference that
// copies and repaints whole pictures, and compares after each one.
struct Checked final : Surface {
    Screen& screen;
    ImageSurface reference{kSky, ImageSurface::Copies::Whole};
    long operations = 0;
    std::string firstfault; // empty while all is well

    explicit Checked(Screen& s) : screen(s) {}

    // Pixel by pixel: the reference keeps its pictures in RGB32. The back
    // buffers are compared where they change.
    void check(const char* what, bool backchanged = false) {
        ++operations;
        if (!firstfault.empty())
            return;
        const ImageSurface& s = screen.surface;
        const QImage visible = rgb32(s.visible());
        const char* fault = visible != reference.visible()                       ? "visible picture"
                            : backchanged && rgb32(s.back()) != reference.back() ? "back buffer"
                            : screen.shown() != visible ? "picture on screen"
                                                        : nullptr;
        if (fault)
            firstfault = std::string(fault) + " differs after operation " +
                         std::to_string(operations) + " (" + what + ")";
    }
    void clear(Rgb sky) override {
        screen.surface.clear(sky);
        reference.clear(sky);
        check("clear");
    }
    void polygon(const Point* points, int count, Rgb fill, Rgb outline) override {
        screen.surface.polygon(points, count, fill, outline);
        reference.polygon(points, count, fill, outline);
        check("polygon");
    }
    void line(float x1, float y1, float x2, float y2, Rgb colour) override {
        screen.surface.line(x1, y1, x2, y2, colour);
        reference.line(x1, y1, x2, y2, colour);
        check("line");
    }
    void disc(float cx, float cy, float radius, Rgb fill, Rgb outline) override {
        screen.surface.disc(cx, cy, radius, fill, outline);
        reference.disc(cx, cy, radius, fill, outline);
        check("disc");
    }
    void savetoback() override {
        screen.surface.savetoback();
        reference.savetoback();
        check("copy into the back buffer", true);
    }
    void restorefromback() override {
        screen.surface.restorefromback();
        reference.restorefromback();
        check("copy from the back buffer", true);
    }
};

// A round between two human players on a generated landscape, driven
// through the rules' own keys and wake-ups on a clock that jumps to each.
struct Round {
    Model model = newgame({"Red", "Blue"});
    MixRandom random{7};
    FakeClock clock;
    FakeSound sound;
    Battle battle{model, random, clock, sound};
    bool over = false;

    explicit Round(Surface& surface) {
        battle.attach(&surface, nullptr);
        battle.setup();
        battle.begin();
    }
    void wake() {
        const Wake next = battle.wake();
        over = over || next.decided;
        clock.t += next.seconds;
    }
    // Holds a key (0: none) for this many frames.
    void hold(int key, int frames) {
        if (key)
            battle.keydown(key);
        for (const long until = battle.frames + frames; battle.frames < until && !over;)
            wake();
        battle.keyup();
    }
    // Enter until the shell leaves, then wake-ups until the next turn.
    void shoot() {
        battle.keydown(kKeyEnter);
        for (int i = 0; i < 100 && battle.shotstate == 0 && !over; ++i)
            wake();
        battle.keyup();
        EXPECT_EQ(battle.shotstate, 1) << "the shell did not leave";
        for (int i = 0; i < 2000 && (battle.shotstate == 1 || battle.exploding()) && !over; ++i)
            wake();
    }
};

} // namespace

// The whole round: aiming still and with held arrows, a high shot above the
// top edge that lands mid-field with its rings, a big blast, shells dropped
// on one's own tank, a shot off the right edge, and the end of the round.
TEST(Presentation, EveryDrawingOperationOfARoundShowsTheSamePicturesAsWholeRepaints) {
    Screen screen;
    Checked checked(screen);
    Round round(checked);
    playerrec& red = round.model.players[0];
    playerrec& blue = round.model.players[1];
    blue.ammo[6] = 1; // the biggest blast, for Blue's first shot

    struct Turn {
        int right = 0, left = 0, up = 0, down = 0;
        int weapon = 0;
    };
    const std::pair<playerrec*, Turn> turns[] = {
        {&red, {.right = 85, .left = 10, .up = 40}}, // high over the top, lands mid-field
        {&blue, {.weapon = 6}},                      // angle 30: the big blast mid-field
        {&red, {.down = 95}},                        // power 0: onto its own tank
        {&blue, {.right = 150, .weapon = 0}},        // flat to the right, off the field
        {&red, {}},                                  // onto its own tank again: the end
    };
    round.hold(0, 3);
    for (const auto& [who, turn] : turns) {
        ASSERT_EQ(&round.model.players[round.battle.curplayer], who);
        who->curweapon = static_cast<int16_t>(turn.weapon);
        round.hold(kKeyRight, turn.right);
        round.hold(kKeyLeft, turn.left);
        round.hold(kKeyUp, turn.up);
        round.hold(kKeyDown, turn.down);
        round.shoot();
    }
    for (int i = 0; i < 10 && !round.over; ++i)
        round.wake();

    EXPECT_TRUE(round.over) << "the round should be decided";
    EXPECT_LE(red.hitpoints, 0);
    EXPECT_GT(checked.operations, 300);
    EXPECT_EQ(checked.firstfault, "");
}

// A window uncovered in the middle of a flight is painted from the retained
// picture: the trail so far is still there.
TEST(Presentation, AnUncoveredWindowShowsTheTrailDrawnSoFar) {
    Screen screen;
    Round round(screen.surface);
    round.model.players[0].angle = 90;
    round.model.players[0].power = 100;
    round.hold(kKeyEnter, 10); // launch, then nine flight frames
    ASSERT_EQ(round.battle.shotstate, 1);
    const QImage before = rgb32(screen.surface.visible());
    ASSERT_NE(before, rgb32(screen.surface.back())) << "a trail should be on the picture";

    EXPECT_EQ(screen.shown(), before) << "the trail should be on the screen";

    screen.window.hide();
    screen.window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&screen.window));
    EXPECT_TRUE(spin(1000, [&] { return screen.shown() == before; }));
    EXPECT_EQ(rgb32(screen.surface.visible()), before);
}

// A battlefield window opened as the application opens it, on a clock that
// jumps to each wake-up.
struct OpenField {
    Model model = newgame({"Red", "Blue"});
    MixRandom random;
    JumpClock clock{kStepByStep};
    FakeSound sound;
    Battle battle{model, random, clock, sound};
    Form1 form{battle, [] {}, [] {}};
    OpenField() {
        battle.setup();
        form.show();
        battle.begin();
    }
};

// The battlefield window itself, on its own timer and the real key path:
// while an arrow turns the barrel, the screen always holds what a full
// repaint of the picture (with the marker on it) would show.
TEST(Presentation, TheBattlefieldWindowShowsTheWholePictureWhileTheBarrelTurns) {
    OpenField f;
    auto& [model, random, clock, sound, battle, form] = f;
    form.startclock();
    auto* picture = control(&form, "Picture1");
    ASSERT_TRUE(spin(1000, [&] { return battle.frames > 0; }));
    const auto full = [&] {
        return picture->grab().toImage().convertToFormat(QImage::Format_RGB32);
    };

    std::vector<int> angles;
    for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Left}) {
        QTest::simulateEvent(picture, true, key, Qt::NoModifier, QString(), false);
        for (int sample = 0; sample < 5; ++sample) {
            const long frames = battle.frames;
            spin(200, [&] { return battle.frames >= frames + 3; });
            EXPECT_EQ(presented(form, picture->geometry()), full()) << "sample " << sample;
        }
        QTest::simulateEvent(picture, false, key, Qt::NoModifier, QString(), false);
        angles.push_back(model.players[battle.curplayer].angle);
    }
    ASSERT_EQ(angles.size(), 2u);
    EXPECT_GT(angles[0], 30) << "Right should have turned the barrel";
    EXPECT_LT(angles[1], angles[0]) << "Left should have turned it back";
}

// A whole new scene (after a blast, or the round's first) repaints the whole
// battlefield window, which reaches the window system as it is; a small
// change leaves the rest of the window alone. The screen shows the picture
// either way.
TEST(Presentation, ANewSceneRepaintsTheWholeWindowASmallChangeOnlyThePicture) {
    OpenField f;
    auto& [model, random, clock, sound, battle, form] = f;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    auto* picture = control(&form, "Picture1");
    struct Painted final : QObject {
        QWidget* watched;
        QRegion region; // painted since the last look
        explicit Painted(QWidget* w) : watched(w) { w->installEventFilter(this); }
        bool eventFilter(QObject* o, QEvent* e) override {
            if (o == watched && e->type() == QEvent::Paint)
                region += static_cast<QPaintEvent*>(e)->region();
            return false;
        }
    } window(&form);
    const auto full = [&] {
        return picture->grab().toImage().convertToFormat(QImage::Format_RGB32);
    };
    for (const bool scene : {true, false, true}) {
        presented(form, picture->geometry());
        window.region = QRegion();
        if (scene)
            battle.realdraw();
        else
            model.players[battle.curplayer].angle += 5; // the barrel turns
        battle.draw();
        EXPECT_EQ(presented(form, picture->geometry()), full()) << scene;
        EXPECT_EQ(window.region.boundingRect(), scene ? form.rect() : QRect()) << scene;
    }
}

// The turn marker over the picture: the picture draws it in its own repaint,
// and the screen shows, pixel for pixel, what Qt shows for a label with the
// marker's picture over a label with the battlefield's, as the marker
// shows, stands over the turning barrel, moves (its old place uncovered),
// hides and shows again, at the edges of the picture too.
TEST(Presentation, TheMarkerShowsOverThePictureAsALabelOverItWould) {
    OpenField f;
    auto& [model, random, clock, sound, battle, form] = f;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    auto* picture = control<PictureBox>(&form, "Picture1");
    auto* marker = control<QLabel>(&form, "Image1");
    ASSERT_TRUE(picture && marker);
    // Qt's own painting of the same two labels.
    const auto bylabels = [&] {
        QLabel back;
        back.setPixmap(QPixmap::fromImage(picture->image()));
        back.resize(picture->size());
        if (!marker->isHidden()) {
            auto* front = new QLabel(&back);
            front->setPixmap(marker->pixmap());
            front->setGeometry(marker->geometry());
        }
        return back.grab().toImage().convertToFormat(QImage::Format_RGB32);
    };
    playerrec& p = model.players[battle.curplayer];
    const int left = p.x - 6, top = battle.heights[p.x + 8] - 50;
    struct Step {
        const char* what;
        std::function<void()> act;
    };
    const Step steps[] = {
        {"over the tank", [&] { form.showmarker(left, top); }},
        {"barrel turned up under it",
         [&] {
             p.angle = 90;
             battle.draw();
         }},
        {"moved right", [&] { form.showmarker(left + 40, top + 3); }},
        {"hidden", [&] { form.hidemarker(); }},
        {"moved while hidden, shown", [&] { form.showmarker(left - 20, top); }},
        {"half off the top left", [&] { form.showmarker(-16, -20); }},
        {"half off the bottom right", [&] { form.showmarker(590, 350); }},
        {"back over the tank", [&] { form.showmarker(left, top); }},
    };
    for (const Step& step : steps) {
        step.act();
        EXPECT_EQ(presented(form, picture->geometry()), bylabels()) << step.what;
    }
}
