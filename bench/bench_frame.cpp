// One aiming frame end to end on the offscreen platform: the rules turn the
// barrel and draw it (copy from the back buffer, the tank on top), then Qt
// repaints what changed. Beside it the same frame with whole-picture copies
// and repaints, the whole battlefield window's frame (status lines included),
// the status line's repaint alone, and one repeated press of a held arrow.
#include "clocks.h"
#include "fakes.h"
#include "game/battle.h"
#include "heapbytes.h"
#include "newgame.h"
#include "render/imagesurface.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/gameapp.h"
#include "ui/picturebox.h"
#include "ui/statuslabel.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QPaintEvent>
#include <QTest>
#include <QWindow>

#include <benchmark/benchmark.h>

namespace {

using namespace ordnix;

// Delivers what the frame posted, as the event loop would, which runs the
// repaints that Qt has gathered.
void present() {
    QCoreApplication::sendPostedEvents();
}

// Counts the paint events that widgets get and the pixels they repaint.
class PaintCounter final : public QObject {
  public:
    long paints = 0;
    long pixels = 0;
    explicit PaintCounter(QWidget& window) {
        window.installEventFilter(this);
        for (QWidget* w : window.findChildren<QWidget*>())
            w->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
            for (const QRect& r : static_cast<QPaintEvent*>(event)->region())
                pixels += static_cast<long>(r.width()) * r.height();
        }
        return false;
    }
    void report(benchmark::State& state) const {
        state.counters["paints"] =
            benchmark::Counter(static_cast<double>(paints), benchmark::Counter::kAvgIterations);
        state.counters["pixels"] =
            benchmark::Counter(static_cast<double>(pixels), benchmark::Counter::kAvgIterations);
    }
};

// Shows a window and lets it become exposed: a window not yet on screen
// paints nothing.
void showexposed(QWidget& window) {
    window.show();
    for (int i = 0; i < 1000 && !(window.windowHandle() && window.windowHandle()->isExposed()); ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    present();
}

// The held arrow turns the barrel one degree a frame, back and forth.
void turn(Battle& battle, long frame) {
    battle.heldkey = (frame / 60) % 2 ? kKeyLeft : kKeyRight;
    battle.frame(kTick);
}

// The benchmark's frames: the barrel turns and Qt repaints, counted in
// `window`'s paints.
void aimingframes(benchmark::State& state, Battle& battle, QWidget& window) {
    PaintCounter counter(window);
    long frame = 0;
    for (auto _ : state) {
        turn(battle, frame++);
        present();
    }
    counter.report(state);
}

// The battlefield picture alone in a window, its surface copying the changed
// box or the whole picture.
void BM_AimingFrame(benchmark::State& state) {
    const auto copies =
        state.range(0) ? ImageSurface::Copies::Whole : ImageSurface::Copies::Changed;
    Model model = newgame({"Red", "Blue"});
    MixRandom random;
    FakeClock clock;
    FakeSound sound;
    Battle battle(model, random, clock, sound);
    ImageSurface surface(kSky, copies);
    QWidget window;
    window.setFixedSize(ImageSurface::kWidth, ImageSurface::kHeight);
    auto* picture = new PictureBox(surface.visible(), &window);
    picture->setGeometry(window.rect());
    surface.changed = [picture](const QRect& box) { picture->update(box); };
    showexposed(window);
    battle.attach(&surface, nullptr);
    battle.setup();
    battle.begin();
    present();
    aimingframes(state, battle, window);
    battle.detach(&surface);
}
BENCHMARK(BM_AimingFrame)->ArgName("whole")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The battlefield window as the game shows it: barrel, marker, status lines.
void BM_AimingFrameWindow(benchmark::State& state) {
    Model model = newgame({"Red", "Blue"});
    MixRandom random;
    FakeClock clock;
    FakeSound sound;
    Battle battle(model, random, clock, sound);
    Form1 form(battle, nullptr, nullptr);
    battle.setup(); // as the application opens the battlefield
    showexposed(form);
    battle.begin();
    aimingframes(state, battle, form);
}
BENCHMARK(BM_AimingFrameWindow)->Unit(benchmark::kMicrosecond);

// What the status line costs: Label1 rewritten with a new angle, repainted,
// over and over the angles of a whole sweep of the barrel; and the heap it
// holds for them afterwards (kept kB).
void BM_StatusLine(benchmark::State& state) {
    Model model = newgame({"Red", "Blue"});
    MixRandom random;
    FakeClock clock;
    FakeSound sound;
    Battle battle(model, random, clock, sound);
    Form1 form(battle, nullptr, nullptr);
    auto* label1 = static_cast<StatusLabel*>(form.findChild<QLabel*>("Label1"));
    showexposed(form);
    PaintCounter counter(form);
    const std::size_t heap = heapinuse();
    int angle = 0;
    for (auto _ : state) {
        angle = (angle + 1) % 181;
        label1->setText(QString("Angle: %1 Power: 50 Wind: 12").arg(angle));
        present();
    }
    counter.report(state);
    state.counters["kept kB"] =
        (static_cast<double>(heapinuse()) - static_cast<double>(heap)) / 1024;
}
BENCHMARK(BM_StatusLine)->Unit(benchmark::kMicrosecond);

// One repeated press of a held arrow, as the X server sends it some 25 times
// a second while a player holds the key: the repeat's release and press,
// delivered to the battlefield as Qt delivers keys (the press's shortcut
// check first) through every key filter of the running game, the battlefield
// window's and the application's; then what they posted. The key is already
// held and the next frame applies it, so nothing is drawn.
void BM_KeyRepeat(benchmark::State& state) {
    FakeClock clock; // stands still: no frame runs meanwhile
    GameApp app(&clock);
    app.start();
    app.setup()->findChild<QAbstractButton*>("Command1")->click(); // two players
    Form1& form = *app.battlefield();
    showexposed(form);
    QWidget* field = form.findChild<QWidget*>("Picture1");
    QTest::simulateEvent(field, true, Qt::Key_Right, Qt::NoModifier, QString(), false);
    PaintCounter counter(form);
    for (auto _ : state) {
        QTest::simulateEvent(field, false, Qt::Key_Right, Qt::NoModifier, QString(), true);
        QTest::simulateEvent(field, true, Qt::Key_Right, Qt::NoModifier, QString(), true);
        present();
    }
    counter.report(state);
    if (app.battle().heldkey != kKeyRight)
        state.SkipWithError("a repeat let go of the held key");
    QTest::simulateEvent(field, false, Qt::Key_Right, Qt::NoModifier, QString(), false);
}
BENCHMARK(BM_KeyRepeat)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
