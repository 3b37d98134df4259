// Memory over many rounds, played through the real windows on a clock that
// jumps straight to each wake-up (see tests/support/rounddriver.h). Prints the
// resident memory, the widgets and the objects in the object trees after the first and
// every tenth round, and the average growth of the resident memory per round
// from round 50 to the last: by then the allocator has warmed up, and only a
// steady leak still adds.
//
//   bench_roundmemory [rounds] [ai]
//
// 200 rounds by default (at least 60), between two human players who each
// drop a grenade on their own tank; with "ai", two computer players.
#include "objecttrees.h"
#include "rounddriver.h"

#include <QApplication>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include <unistd.h>

namespace {

// Resident set size in kB, from the kernel's page counts.
long residentkb() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

} // namespace

int main(int argc, char** argv) {
    using namespace ordnix;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    const int rounds = argc > 1 ? std::max(60, std::atoi(argv[1])) : 200;
    const bool computers = argc > 2 && std::strcmp(argv[2], "ai") == 0;

    JumpClock clock;
    GameApp game(&clock);
    RoundDriver driver(game, computers);
    long at50 = 0;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        if (!driver.step())
            return;
        const int played = driver.rounds();
        if (played % 10 != 0 && played != 1)
            return;
        // Count once the windows the game has finished with are gone (they
        // go at the next turn of the event loop).
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const long kb = residentkb();
        if (played == 50)
            at50 = kb;
        std::printf("round %4d  resident %7ld kB  widgets %4lld  objects %5ld\n", played, kb,
                    static_cast<long long>(QApplication::allWidgets().size()), objectsintrees());
        if (played == rounds) {
            std::printf("average growth from round 50 to %d: %.2f kB/round\n", rounds,
                        static_cast<double>(kb - at50) / (rounds - 50));
            QApplication::quit();
        }
        std::fflush(stdout);
    });
    look.start(1);
    return QApplication::exec();
}
