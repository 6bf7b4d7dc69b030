#include "image/ParallelDeflate.h"

#include <zlib.h>

#include <algorithm>
#include <new>
#include <system_error>

namespace kesh {

namespace {

constexpr unsigned kMaxThreads = 16;

// One raw deflate stream, reset for every block a worker takes.
class Deflater {
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

    // `in` deflated into `out`, ended by a sync flush, or by the end of the
    // stream when `last`.
    bool Compress(const std::vector<uint8_t>& in, bool last, std::vector<uint8_t>& out) {
        if (!m_ok || deflateReset(&m_zs) != Z_OK)
            return false;
        out.resize(deflateBound(&m_zs, uLong(in.size())) + 16);
        m_zs.next_in = const_cast<Bytef*>(in.data());
        m_zs.avail_in = uInt(in.size());
        const int flush = last ? Z_FINISH : Z_SYNC_FLUSH;
        for (;;) {
            m_zs.next_out = out.data() + m_zs.total_out;
            m_zs.avail_out = uInt(out.size() - m_zs.total_out);
            const int rc = deflate(&m_zs, flush);
            if (rc == Z_STREAM_END || (rc == Z_OK && !last && m_zs.avail_out > 0))
                break;
            if (rc != Z_OK && rc != Z_BUF_ERROR)
                return false;
            out.resize(out.size() * 2); // the bound fell short: more room, and on
        }
        out.resize(m_zs.total_out);
        return true;
    }

private:
    z_stream m_zs{};
    bool m_ok = false;
};

void Compress(Deflater& deflater, std::vector<uint8_t>& in, std::vector<uint8_t>& out, bool last,
              uint32_t& adler, bool& ok) {
    try {
        ok = deflater.Compress(in, last, out);
        adler = uint32_t(adler32(1, in.data(), uInt(in.size())));
    } catch (const std::bad_alloc&) {
        ok = false;
    }
}

} // namespace

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
        Compress(deflater, job->in, job->out, job->last, job->adler, job->ok);
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
    m_next->in.clear();
    return m_next->in;
}

bool ParallelDeflate::Submit(bool last) {
    if (!m_next || m_failed || m_ended)
        return false;
    m_next->last = last;
    m_next->done = false;
    if (m_threads.empty()) {
        Deflater deflater(m_level);
        Compress(deflater, m_next->in, m_next->out, last, m_next->adler, m_next->ok);
        const bool ok = Emit(*m_next);
        m_spare.push_back(std::move(m_next));
        return ok;
    }
    std::unique_lock lock(m_mutex);
    m_waiting.push_back(m_next.get());
    m_inFlight.push_back(std::move(m_next));
    m_queued.notify_one();
    // Two blocks a worker: one compressing, one ready for it.
    while (m_inFlight.size() > 2 * m_threads.size())
        if (!EmitOldest(lock))
            return false;
    return !m_failed;
}

bool ParallelDeflate::EmitOldest(std::unique_lock<std::mutex>& lock) {
    Job& oldest = *m_inFlight.front();
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
    try {
        if (!m_started) {
            // CMF for deflate with a 32 KiB window, FLEVEL as zlib sets it for
            // the level, and the check bits that make the pair a multiple of 31.
            const unsigned flevel = m_level == 1 ? 0 : m_level < 6 ? 1 : m_level == 6 ? 2 : 3;
            unsigned header = 0x7800u | flevel << 6;
            header += 31 - header % 31;
            job.out.insert(job.out.begin(), {uint8_t(header >> 8), uint8_t(header)});
            m_started = true;
        }
        m_adler = uint32_t(adler32_combine(m_adler, job.adler, z_off_t(job.in.size())));
        if (job.last) {
            job.out.insert(job.out.end(), {uint8_t(m_adler >> 24), uint8_t(m_adler >> 16),
                                           uint8_t(m_adler >> 8), uint8_t(m_adler)});
            m_ended = true;
        }
    } catch (const std::bad_alloc&) {
        m_failed = true;
        return false;
    }
    if (!m_sink(job.out.data(), job.out.size()))
        m_failed = true;
    return !m_failed;
}

} // namespace kesh
