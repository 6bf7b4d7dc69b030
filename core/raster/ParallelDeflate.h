#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace kesh {

// One zlib stream compressed on several cores, as parallel gzip tools do it.
// The data comes in blocks; each is deflated on its own, with no history
// from the one before, and ended on a byte boundary by a sync flush (the last
// by finishing the stream). One zlib header, the blocks' deflate data in
// order and the adler32 of all the data (combined from the blocks' own) make
// a single valid stream. Blocks are compressed by `threads` workers while the
// caller fills the next ones; with no threads, on the caller's thread. At
// most a few blocks are held at a time, so memory does not grow with the data.
class ParallelDeflate {
public:
    // Takes the stream's bytes in order; false stops the stream.
    using Sink = std::function<bool(const uint8_t* data, size_t size)>;

    ParallelDeflate(int level, int threads, Sink sink);
    ~ParallelDeflate();
    ParallelDeflate(const ParallelDeflate&) = delete;
    ParallelDeflate& operator=(const ParallelDeflate&) = delete;

    // The buffer for the next block, for the caller to size and fill (it
    // holds what an earlier block left, so one of the same size costs no
    // clearing).
    std::vector<uint8_t>& Buffer();
    // Hands the filled buffer on; `last` ends the stream after it. False
    // when the sink refused bytes or a block could not be compressed.
    bool Submit(bool last);
    // Waits for every block and passes the rest of the stream to the sink;
    // false when anything failed (or the last block was never submitted).
    bool Finish();

    // The workers worth starting for data of `blocks` blocks: none for a
    // single one, else one per core.
    static int ThreadsFor(size_t blocks);

private:
    struct Job {
        std::vector<uint8_t> in;
        std::vector<uint8_t> out; // the deflate data after room for the header
        size_t outSize = 0;
        uint32_t adler = 1;
        bool last = false;
        bool done = false;
        bool ok = false;
    };

    class Deflater;

    void Work();
    void Run(Job& job, Deflater& deflater);
    bool Emit(Job& job);
    bool EmitOldest(std::unique_lock<std::mutex>& lock);
    void StopWorkers();

    int m_level;
    Sink m_sink;
    std::vector<std::thread> m_threads;
    std::mutex m_mutex;
    std::condition_variable m_queued;            // a job for the workers, or stop
    std::condition_variable m_doneCv;            // a job finished
    std::deque<std::unique_ptr<Job>> m_inFlight; // submitted, in order
    std::deque<Job*> m_waiting;                  // not yet taken by a worker
    std::vector<std::unique_ptr<Job>> m_spare;
    std::unique_ptr<Job> m_next;
    std::unique_ptr<Deflater> m_own; // the caller's, for blocks it compresses itself
    bool m_stop = false;
    bool m_failed = false;
    bool m_started = false; // the zlib header was written
    bool m_ended = false;   // the last block and the check value were written
    uint32_t m_adler = 1;
};

} // namespace kesh
