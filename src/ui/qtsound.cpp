#include "ui/qtsound.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

#include <cstdio>

namespace ordnix {

namespace {

// Qt Multimedia complains on the console when it finds no sound server while
// looking for devices. A game without sound is normal, so the look-up runs
// with debug messages and warnings dropped; worse messages still pass.
QtMessageHandler previoushandler = nullptr;

void quiethandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtDebugMsg || type == QtInfoMsg || type == QtWarningMsg)
        return;
    if (previoushandler)
        previoushandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

class QuietConsole {
  public:
    QuietConsole() { previoushandler = qInstallMessageHandler(quiethandler); }
    ~QuietConsole() { qInstallMessageHandler(previoushandler); }
    QuietConsole(const QuietConsole&) = delete;
    QuietConsole& operator=(const QuietConsole&) = delete;
};

bool hasaudiooutput() {
    const QuietConsole quiet;
    return !QMediaDevices::audioOutputs().isEmpty();
}

// An effect for the file, or none when there is no file: a missing sound is
// silence, not an error message.
std::unique_ptr<QSoundEffect> loadeffect(const QString& path) {
    const QFileInfo file(path);
    if (path.isEmpty() || !file.isFile())
        return nullptr;
    auto effect = std::make_unique<QSoundEffect>();
    effect->setSource(QUrl::fromLocalFile(file.absoluteFilePath()));
    return effect;
}

} // namespace

QString findsound(const QString& exedir, const QString& name) {
    const QDir beside(exedir);
    for (const QString& path :
         {beside.filePath(name), QDir(beside.filePath(kInstalledSoundDir)).filePath(name)}) {
        const QFileInfo file(path);
        if (file.isFile())
            return file.absoluteFilePath();
    }
    return QString();
}

QtSound::QtSound(const QString& folder) {
    // No output device, no effects: an effect would complain on the console
    // as soon as its file is decoded, and again at every play.
    if (!hasaudiooutput())
        return;
    const auto path = [&](const QString& name) {
        return folder.isEmpty() ? findsound(QCoreApplication::applicationDirPath(), name)
                                : QDir(folder).filePath(name);
    };
    fire_ = loadeffect(path(QStringLiteral("fire.wav")));
    explode_ = loadeffect(path(QStringLiteral("explode.wav")));
}

QtSound::~QtSound() = default;

QSoundEffect* QtSound::effect(SoundId id) const {
    return id == SoundId::Fire ? fire_.get() : explode_.get();
}

bool QtSound::ready(SoundId id) const {
    const QSoundEffect* e = effect(id);
    return e && e->status() == QSoundEffect::Ready;
}

void QtSound::play(SoundId id) {
    // A new sound cuts off whatever is still playing, itself included.
    for (QSoundEffect* e : {fire_.get(), explode_.get()})
        if (e)
            e->stop();
    if (QSoundEffect* e = effect(id))
        e->play();
}

} // namespace ordnix
