#pragma once

#include <functional>
#include <string>

#include <QObject>
#include <QTimer>

#include "app/RecoveryStore.h"
#include "doc/Document.h"

class QSocketNotifier;

namespace kesh::ui {

// The question asked at start when an earlier session left unsaved work;
// the file's name and the time of the copy follow on lines of their own.
inline constexpr const char* kAskRecover = "저장하지 않은 작업이 남아 있습니다. 복구할까요?";

// Keeps a recovery copy of the changed map and its tile set, so that a
// crash or a kill costs at most a minute of work. While the map is changed
// a copy is written every minute (and when the program is told to end by
// SIGTERM or SIGHUP); saving the map, replacing it (File New, an open) or
// a clean exit removes it. At start an earlier session's copy is offered back.
class FrameRecovery : public QObject {
    Q_OBJECT
public:
    static constexpr int kIntervalMs = 60 * 1000;
    using TitleSetter = std::function<void(const QString&)>;

    // Copies of `doc`; they live in `folder` (RecoveryStore::DefaultFolder()
    // in the editor).
    FrameRecovery(Document& doc, std::string folder, TitleSetter setTitle,
                  QObject* parent = nullptr);
    ~FrameRecovery() override;

    // This session's copy: written when the map is changed; removed otherwise.
    // True when a copy was written.
    bool WriteNow();
    // Removes this session's copy (the work was saved or dropped on purpose).
    // Once the program is ending on a signal nothing is removed any more:
    // the questions still open then answer No by themselves.
    void Discard();

    // At start: for each copy left by a session that is no longer running,
    // newest first, whose file is older than the copy (or gone, or untitled),
    // asks whether to recover it. Yes reads it as an unsaved change of its
    // file and ends the questions; No removes it. Copies older than their
    // file are out of date and go without a question. True when one was recovered.
    bool OfferRecovery();

    // Writes the copy and ends the event loop with 128 + SIGTERM when the
    // process receives SIGTERM or SIGHUP. Once per process.
    void CatchTermination();
    // What a termination signal does: writes the copy, keeps every copy from
    // now on, and ends the event loops.
    void OnTerminationSignal();

    const std::string& slot() const { return m_slot; }
    RecoveryStore& store() { return m_store; }
    QTimer& timer() { return m_timer; }

private:
    bool Recover(const RecoveryEntry& entry);
    void ReadSignalPipe();

    Document& m_doc;
    RecoveryStore m_store;
    std::string m_slot;
    TitleSetter m_setTitle;
    QTimer m_timer;
    QSocketNotifier* m_notifier = nullptr;
    bool m_terminating = false;
};

} // namespace kesh::ui
