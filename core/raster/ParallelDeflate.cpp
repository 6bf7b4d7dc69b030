#include "raster/ParallelDeflate.h"

#include <zlib.h>

#include <algorithm>
#include <new>
#include <system_error>

#include "raster/Adler32.h"

namespace kesh {

namespace {

constexpr unsigned kMaxThreads = 16;
constexpr size_t kFront = 2; // room for the zlib header before a block's data
constexpr size_t kBack = 4;  // and for the adler32 after it

} // namespace

// One raw deflate stream, reset for every block a thread takes.
class ParallelDeflate::Deflater {
public:
    explicit Deflater(int level) {
        m_ok = deflateInit2(&m_zs, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) == Z_OK;
    }
    ~Deflater() {
        if (m_ok)
            deflateEnd(&m_zs);
    }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    // `in` deflated into `out` from byte kFront on, ended by a sync flush,
    // or by the end of the stream when `last`; `size` is the bytes made.
    // kFront bytes before and kBack after are left for the stream's header
    // and check value. `out` only grows, so a buffer used again is not
    // filled with zeros again.
    bool Compress(const std::vector<uint8_t>& in, bool last, std::vector<uint8_t>& out,
                  size_t& size) {
        if (!m_ok || deflateReset(&m_zs) != Z_OK)
            return false;
        const size_t room = kFront + deflateBound(&m_zs, uLong(in.size())) + 16 + kBack;
        if (out.size() < room)
            out.resize(room);
        m_zs.next_in = const_cast<Bytef*>(in.data());
        m_zs.avail_in = uInt(in.size());
        const int flush = last ? Z_FINISH : Z_SYNC_FLUSH;
        for (;;) {
            m_zs.next_out = out.data() + kFront + m_zs.total_out;
            m_zs.avail_out = uInt(out.size() - kFront - kBack - m_zs.total_out);
            const int rc = deflate(&m_zs, flush);
            if (rc == Z_STREAM_END || (rc == Z_OK && !last && m_zs.avail_out > 0))
                break;
            if (rc != Z_OK && rc != Z_BUF_ERROR)
                return false;
            out.resize(out.size() * 2); // the bound fell short: more room, and on
        }
        size = m_zs.total_out;
        return true;
    }

private:
    z_stream m_zs{};
    bool m_ok = false;
};

void ParallelDeflate::Run(Job& job, Deflater& deflater) {
    try {
        job.ok = deflater.Compress(job.in, job.last, job.out, job.outSize);
        job.adler = Adler32(1, job.in.data(), job.in.size());
    } catch (const std::bad_alloc&) {
        job.ok = false;
    }
}

int ParallelDeflate::ThreadsFor(size_t blocks) {
    if (blocks <= 1)
        return 0;
    const unsigned cores = std::clamp(std::thread::hardware_concurrency(), 1u, kMaxThreads);
    return int(std::min<size_t>(cores, blocks));
}

ParallelDeflate::ParallelDeflate(int level, int threads, Sink sink)
    : m_level(level), m_sink(std::move(sink)) {
    try {
        for (int i = 0; i < threads; ++i)
            m_threads.emplace_back([this] { Work(); });
    } catch (const std::system_error&) {
        // As many as could be started; none means the caller's thread does it all.
    }
}

ParallelDeflate::~ParallelDeflate() {
    StopWorkers();
}

void ParallelDeflate::StopWorkers() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_queued.notify_all();
    for (auto& thread : m_threads)
        thread.join();
    m_threads.clear();
}

void ParallelDeflate::Work() {
    Deflater deflater(m_level);
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_queued.wait(lock, [this] { return m_stop || !m_waiting.empty(); });
        if (m_stop)
            return;
        Job* job = m_waiting.front();
        m_waiting.pop_front();
        lock.unlock();
        Run(*job, deflater);
        lock.lock();
        job->done = true;
        m_doneCv.notify_all();
    }
}

std::vector<uint8_t>& ParallelDeflate::Buffer() {
    if (!m_next) {
        if (!m_spare.empty()) {
            m_next = std::move(m_spare.back());
            m_spare.pop_back();
        } else {
            m_next = std::make_unique<Job>();
        }
    }
    return m_next->in;
}

bool ParallelDeflate::Submit(bool last) {
    if (!m_next || m_failed || m_ended)
        return false;
    m_next->last = last;
    m_next->done = false;
    if (!m_own)
        m_own = std::make_unique<Deflater>(m_level);
    if (m_threads.empty()) {
        Run(*m_next, *m_own);
        const bool ok = Emit(*m_next);
        m_spare.push_back(std::move(m_next));
        return ok;
    }
    std::unique_lock lock(m_mutex);
    m_waiting.push_back(m_next.get());
    m_inFlight.push_back(std::move(m_next));
    m_queued.notify_one();
    // A few blocks a worker, so that they never run dry while the caller
    // makes the next block.
    while (m_inFlight.size() > 4 * m_threads.size())
        if (!EmitOldest(lock))
            return false;
    return !m_failed;
}

bool ParallelDeflate::EmitOldest(std::unique_lock<std::mutex>& lock) {
    Job& oldest = *m_inFlight.front();
    // Rather than wait, compress blocks no worker has taken yet.
    while (!oldest.done && !m_waiting.empty()) {
        Job* job = m_waiting.front();
        m_waiting.pop_front();
        lock.unlock();
        Run(*job, *m_own);
        lock.lock();
        job->done = true;
    }
    m_doneCv.wait(lock, [&] { return oldest.done; });
    std::unique_ptr<Job> job = std::move(m_inFlight.front());
    m_inFlight.pop_front();
    lock.unlock();
    const bool ok = Emit(*job);
    lock.lock();
    m_spare.push_back(std::move(job));
    return ok;
}

bool ParallelDeflate::Finish() {
    {
        std::unique_lock lock(m_mutex);
        while (!m_inFlight.empty())
            if (!EmitOldest(lock))
                break;
    }
    StopWorkers();
    return !m_failed && m_ended;
}

bool ParallelDeflate::Emit(Job& job) {
    if (m_failed || !job.ok) {
        m_failed = true;
        return false;
    }
    uint8_t* data = job.out.data() + kFront;
    size_t size = job.outSize;
    if (!m_started) {
        // CMF for deflate with a 32 KiB window, FLEVEL as zlib sets it for
        // the level, and the check bits that make the pair a multiple of 31.
        const unsigned flevel = m_level == 1 ? 0 : m_level < 6 ? 1 : m_level == 6 ? 2 : 3;
        unsigned header = 0x7800u | flevel << 6;
        header += 31 - header % 31;
        data -= kFront;
        size += kFront;
        data[0] = uint8_t(header >> 8);
        data[1] = uint8_t(header);
        m_started = true;
    }
    m_adler = uint32_t(adler32_combine(m_adler, job.adler, z_off_t(job.in.size())));
    if (job.last) {
        uint8_t* check = job.out.data() + kFront + job.outSize;
        check[0] = uint8_t(m_adler >> 24);
        check[1] = uint8_t(m_adler >> 16);
        check[2] = uint8_t(m_adler >> 8);
        check[3] = uint8_t(m_adler);
        size += kBack;
        m_ended = true;
    }
    if (!m_sink(data, size))
        m_failed = true;
    return !m_failed;
}

} // namespace kesh
