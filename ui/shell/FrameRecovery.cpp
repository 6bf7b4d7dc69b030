#include "shell/FrameRecovery.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QtDebug>

#include "io/FileSystem.h"
#include "shell/AppServices.h"
#include "shell/CKeshDoc.h"

namespace kesh::ui {

namespace {

// The write end of the pipe the signal handler wakes the event loop through.
int g_signalPipe[2] = {-1, -1};

void OnSignal(int) {
    const int saved = errno;
    const char byte = 1;
    (void)::write(g_signalPipe[1], &byte, 1);
    errno = saved;
}

// Whether process `pid` still runs (another editor writing its own copy).
bool IsRunning(int64_t pid) {
    if (pid <= 0 || pid == ::getpid()) {
        return false;
    }
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

} // namespace

FrameRecovery::FrameRecovery(Document& doc, std::string folder, TitleSetter setTitle,
                             QObject* parent)
    : QObject(parent), m_doc(doc), m_store(FileSystem::Native(), std::move(folder)),
      m_setTitle(std::move(setTitle)) {
    // Unique among the editors running now and those that ran before.
    static int sessions = 0;
    m_slot = "session-" + std::to_string(::getpid()) + "-" +
             std::to_string(QDateTime::currentMSecsSinceEpoch()) + "-" + std::to_string(++sessions);
    m_timer.setInterval(kIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &FrameRecovery::WriteNow);
    m_timer.start();
}

FrameRecovery::~FrameRecovery() = default;

bool FrameRecovery::WriteNow() {
    const MapModel& map = m_doc.map();
    if (!m_doc.IsModified() || !map.hasCells()) {
        return false;
    }
    RecoveryEntry entry;
    entry.slot = m_slot;
    if (m_doc.file().hasFile()) {
        const QFileInfo file(QFile::decodeName(m_doc.file().path.c_str()));
        entry.originalPath = QFile::encodeName(file.absoluteFilePath()).toStdString();
    }
    entry.savedAt = QDateTime::currentSecsSinceEpoch();
    entry.owner = ::getpid();
    const Status st = m_store.Write(entry, map, m_doc.tiles());
    if (!st) {
        // Not worth interrupting the user every minute; the work itself is intact.
        qWarning("kesh: recovery copy not written: %s", st.message().c_str());
    }
    return bool(st);
}

void FrameRecovery::Discard() {
    if (!m_terminating) {
        m_store.Remove(m_slot);
    }
}

bool FrameRecovery::OfferRecovery() {
    for (const RecoveryEntry& entry : m_store.List()) {
        if (entry.slot == m_slot || IsRunning(entry.owner)) {
            continue;
        }
        if (!entry.originalPath.empty()) {
            const QFileInfo file(QFile::decodeName(entry.originalPath.c_str()));
            if (file.exists() && file.lastModified().toSecsSinceEpoch() > entry.savedAt) {
                m_store.Remove(entry.slot); // saved since: the copy is out of date
                continue;
            }
        }
        const QString name = entry.originalPath.empty()
                                 ? CKeshDoc::UntitledTitle()
                                 : QFile::decodeName(FileNameOf(entry.originalPath).c_str());
        const QString time = QDateTime::fromSecsSinceEpoch(entry.savedAt)
                                 .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        const QString question =
            QStringLiteral("%1\n%2\n%3").arg(QString::fromUtf8(kAskRecover), name, time);
        if (!Services().AskYesNo(question.toStdString())) {
            // Not when the question was cut short by a termination signal.
            if (m_terminating) {
                return false;
            }
            m_store.Remove(entry.slot);
            continue;
        }
        return Recover(entry);
    }
    return false;
}

bool FrameRecovery::Recover(const RecoveryEntry& entry) {
    // An unsaved change of its file: Save writes it there; an untitled map
    // stays untitled. A fresh history, and a map that still needs saving.
    const FileIdentity file =
        entry.originalPath.empty() ? FileIdentity{} : FileIdentity::Of(entry.originalPath);
    const Status st = m_doc.Replace(
        [&](MapModel& map, TileSet& tiles) { return m_store.Load(entry, map, tiles); }, file, true);
    if (!st) {
        Services().ShowMessage(st.message());
        return false;
    }
    if (m_setTitle) {
        m_setTitle(entry.originalPath.empty() ? CKeshDoc::UntitledTitle()
                                              : QFile::decodeName(file.name.c_str()));
    }
    // The work now lives in this session: its own copy replaces the old one.
    if (WriteNow()) {
        m_store.Remove(entry.slot);
    }
    return true;
}

void FrameRecovery::CatchTermination() {
    if (m_notifier || g_signalPipe[0] >= 0) {
        return;
    }
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    m_notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &FrameRecovery::ReadSignalPipe);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGHUP, &action, nullptr);
}

void FrameRecovery::ReadSignalPipe() {
    char bytes[16];
    while (::read(g_signalPipe[0], bytes, sizeof bytes) > 0) {
    }
    OnTerminationSignal();
}

void FrameRecovery::OnTerminationSignal() {
    m_terminating = true;
    WriteNow();
    // Out of every event loop, modal dialogs included, without the clean
    // exit's removal of the copy.
    QCoreApplication::exit(128 + SIGTERM);
}

} // namespace kesh::ui
