#pragma once

#include <QIODevice>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

#include "cp1251_filler.h"
#include "html_chunk.h"

// Converts and writes HtmlChunks on a thread of its own, so that the next chunk is built
// while the previous one goes through the encoder and the device: two chunks take turns.
// The device is used by that thread alone until finish() returns.
class ChunkWriter {
public:
    explicit ChunkWriter(QIODevice& out);
    // Stops the thread; a chunk not yet handed over is dropped.
    ~ChunkWriter();
    ChunkWriter(const ChunkWriter&) = delete;
    ChunkWriter& operator=(const ChunkWriter&) = delete;

    // The chunk to fill.
    HtmlChunk& chunk() { return *m_filling; }
    // Hands the filled chunk over once the previous one is written; then chunk() is an
    // empty one. Throws the Error of an earlier chunk that failed.
    void submit();
    // Submits the last chunk and returns when all of it has reached the device.
    void finish();

private:
    void run();
    void waitForThread(std::unique_lock<std::mutex>& lock);
    void write(HtmlChunk& chunk);
    void startWriteBack();

    QIODevice& m_out;
    Cp1251Filler m_filler;  // the thread's
    HtmlChunk m_chunks[2];
    HtmlChunk* m_filling = &m_chunks[0];

    std::mutex m_mutex;
    std::condition_variable m_changed;
    HtmlChunk* m_handedOver = nullptr;  // set until the thread has written it
    bool m_stop = false;
    std::exception_ptr m_failure;
    qint64 m_handedToDisk = 0;  // the thread's: where the disk's write-back was started up to
    std::thread m_thread;       // last, so that it starts on complete members
};
