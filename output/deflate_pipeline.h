#pragma once

#include <QByteArray>
#include <QIODevice>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

// Compresses a long text into the middle of a raw deflate stream on two threads, so that a
// workbook of a million rows takes about half the time one thread would. The text comes in
// pieces; each piece is compressed on its own, primed with the end of the piece before (so
// the ratio stays that of one stream) and ended by a flush to a byte boundary, so that the
// compressed pieces, written to `out` in their order, continue one stream. The stream's
// start and end are the caller's (see deflatePart). `out` belongs to the threads until
// finish() returns.
class DeflatePipeline {
public:
    explicit DeflatePipeline(QIODevice& out);
    // Stops the threads; pieces not yet written are dropped.
    ~DeflatePipeline();
    DeflatePipeline(const DeflatePipeline&) = delete;
    DeflatePipeline& operator=(const DeflatePipeline&) = delete;

    // Hands a piece over; waits while the threads are behind. Throws the Error of a piece
    // that could not be compressed or written; its text is the reason alone.
    void add(QByteArray piece);

    struct Totals {
        std::uint32_t crc = 0;     // CRC-32 of all the text
        std::int64_t length = 0;   // bytes of text
        std::int64_t written = 0;  // compressed bytes written
    };
    // Returns once every piece is written, or throws the Error of one that was not.
    Totals finish();

private:
    struct Job {
        std::uint64_t number;
        QByteArray text;
        QByteArray dictionary;  // the end of the piece before
    };

    void run();
    void stop();

    QIODevice& m_out;
    QByteArray m_lastTail;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Job> m_jobs;
    std::uint64_t m_added = 0;    // pieces handed over
    std::uint64_t m_written = 0;  // pieces written, in order
    Totals m_totals;
    bool m_stop = false;
    std::exception_ptr m_failure;
    std::vector<std::thread> m_threads;  // last, so that they start on complete members
};

// Deflates `text` as a part of a raw deflate stream (default level, as libxlsxwriter's zip
// writer): a middle part ends with a flush to a byte boundary, the last part ends the stream.
QByteArray deflatePart(QByteArrayView text, QByteArrayView dictionary, bool last);
