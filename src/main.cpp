// ordnix: a turn-based artillery game for two to eight players.
#include "render/iconart.h"
#include "ui/gameapp.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

#ifdef __GLIBC__
#include <malloc.h>
#endif

int main(int argc, char** argv) {
#ifdef __GLIBC__
    // Big blocks (pictures, window buffers) are mapped on their own and go
    // back to the system when freed. Left to itself the C library raises
    // that threshold to the biggest block freed so far (the icon art's
    // scratch pictures at the start), and from then on keeps the pictures
    // of every round in its heap, where freed pages stay resident.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
    // Under X the game sends its repaints through the connection rather
    // than shared memory. A frame repaints a few thousand pixels, and with
    // shared memory every paint first waits for the server to finish reading
    // the last one: that round trip costs more than sending the pixels.
    qputenv("QT_XCB_NO_MITSHM", "1");
    QApplication app(argc, argv);
    QApplication::setApplicationName("Ordnix");
    // Every window carries the game's icon; the desktop file's name lets a
    // desktop match the running game to its menu entry.
    QApplication::setWindowIcon(ordnix::makewindowicon());
    QGuiApplication::setDesktopFileName(QStringLiteral(ORDNIX_APP_ID));
    int status = 0;
    {
        ordnix::GameApp game;
        game.start();
        status = QApplication::exec();
    } // the windows, the sound and the timers go while the application is still whole

    // Qt's Wayland plugin can wait forever as the application object goes:
    // its event thread may quit with a read still prepared for it, and its
    // second reading thread then waits for that read for good, and the
    // application for that thread. Nothing of the game is left to save or to
    // close, so on Wayland the process ends here, without that wait.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
