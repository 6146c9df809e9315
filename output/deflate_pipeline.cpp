#include "deflate_pipeline.h"

#include <zlib.h>

#include "error.h"

namespace {

constexpr int kThreads = 2;
constexpr std::size_t kMostWaiting = 4;   // pieces queued before add() waits
constexpr qsizetype kWindow = 32 * 1024;  // what deflate may refer back to

[[noreturn]] void fail(const char* what) {
    throw Error(QStringLiteral("сбой zlib в %1").arg(QString::fromLatin1(what)));
}

}  // namespace

QByteArray deflatePart(QByteArrayView text, QByteArrayView dictionary, bool last) {
    z_stream z{};
    if (deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) !=
        Z_OK)
        fail("deflateInit2");
    struct End {
        z_stream& z;
        ~End() { deflateEnd(&z); }
    } end{z};
    if (!dictionary.isEmpty() &&
        deflateSetDictionary(&z, reinterpret_cast<const Bytef*>(dictionary.data()),
                             uInt(dictionary.size())) != Z_OK)
        fail("deflateSetDictionary");
    QByteArray out;
    out.resize(qsizetype(deflateBound(&z, uLong(text.size()))) + 64);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    z.avail_in = uInt(text.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = uInt(out.size());
    const int flush = last ? Z_FINISH : Z_SYNC_FLUSH;
    for (;;) {
        const int rc = deflate(&z, flush);
        if (rc == Z_STREAM_ERROR)
            fail("deflate");
        const bool done = last ? rc == Z_STREAM_END : z.avail_in == 0 && z.avail_out > 0;
        if (done)
            break;
        const qsizetype used = out.size() - qsizetype(z.avail_out);
        out.resize(out.size() + 64 * 1024);
        z.next_out = reinterpret_cast<Bytef*>(out.data() + used);
        z.avail_out = uInt(out.size() - used);
    }
    out.resize(out.size() - qsizetype(z.avail_out));
    return out;
}

DeflatePipeline::DeflatePipeline(QIODevice& out) : m_out(out) {
    for (int i = 0; i < kThreads; ++i)
        m_threads.emplace_back([this] { run(); });
}

DeflatePipeline::~DeflatePipeline() {
    stop();
}

void DeflatePipeline::stop() {
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    for (std::thread& t : m_threads)
        if (t.joinable())
            t.join();
}

void DeflatePipeline::add(QByteArray piece) {
    QByteArray tail = piece.right(kWindow);
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return m_failure || m_jobs.size() < kMostWaiting; });
    if (m_failure)
        std::rethrow_exception(m_failure);
    m_jobs.push_back({m_added++, std::move(piece), std::exchange(m_lastTail, std::move(tail))});
    lock.unlock();
    m_changed.notify_all();
}

void DeflatePipeline::run() {
    for (;;) {
        Job job;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [&] { return m_stop || !m_jobs.empty(); });
            if (m_stop)
                return;
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        m_changed.notify_all();  // room for the next piece
        try {
            const QByteArray compressed = deflatePart(job.text, job.dictionary, false);
            const auto crc = std::uint32_t(
                crc32(0, reinterpret_cast<const Bytef*>(job.text.data()), uInt(job.text.size())));
            // Pieces are written in their order: wait for this one's turn.
            {
                std::unique_lock lock(m_mutex);
                m_changed.wait(lock, [&] { return m_stop || m_written == job.number; });
                if (m_stop)
                    return;
            }
            if (m_out.write(compressed) != compressed.size())
                throw Error(m_out.errorString());
            const std::lock_guard lock(m_mutex);
            m_totals.crc = std::uint32_t(crc32_combine(m_totals.crc, crc, job.text.size()));
            m_totals.length += job.text.size();
            m_totals.written += compressed.size();
            ++m_written;
        } catch (...) {
            const std::lock_guard lock(m_mutex);
            if (!m_failure)
                m_failure = std::current_exception();
            m_stop = true;
        }
        m_changed.notify_all();
    }
}

DeflatePipeline::Totals DeflatePipeline::finish() {
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_failure || m_written == m_added; });
    }
    stop();
    if (m_failure)
        std::rethrow_exception(m_failure);
    return m_totals;
}
