#include "chunk_writer.h"

#include <fcntl.h>

#include <QFileDevice>

#include "error.h"

ChunkWriter::ChunkWriter(QIODevice& out) : m_out(out), m_thread(&ChunkWriter::run, this) {}

ChunkWriter::~ChunkWriter() {
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void ChunkWriter::submit() {
    std::unique_lock lock(m_mutex);
    waitForThread(lock);
    m_handedOver = m_filling;
    m_filling = m_filling == &m_chunks[0] ? &m_chunks[1] : &m_chunks[0];
    lock.unlock();
    m_changed.notify_all();
}

void ChunkWriter::finish() {
    submit();
    std::unique_lock lock(m_mutex);
    waitForThread(lock);
    lock.unlock();
    if (auto* file = qobject_cast<QFileDevice*>(&m_out); file && !file->flush()) {
        throw Error(QStringLiteral("Не удалось записать файл: %1").arg(file->errorString()));
    }
}

// Waits until the thread holds no chunk; rethrows what went wrong in it.
void ChunkWriter::waitForThread(std::unique_lock<std::mutex>& lock) {
    m_changed.wait(lock, [this] { return m_handedOver == nullptr; });
    if (m_failure) {
        std::rethrow_exception(m_failure);
    }
}

void ChunkWriter::run() {
    for (;;) {
        HtmlChunk* chunk;
        bool failed;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] { return m_handedOver != nullptr || m_stop; });
            if (m_stop) {
                return;
            }
            chunk = m_handedOver;
            failed = m_failure != nullptr;
        }
        std::exception_ptr failure;
        if (!failed) {  // after a failure the rest of the document is of no use
            try {
                write(*chunk);
            } catch (...) {
                failure = std::current_exception();
            }
        }
        chunk->clear();
        {
            const std::lock_guard lock(m_mutex);
            m_handedOver = nullptr;
            if (failure) {
                m_failure = failure;
            }
        }
        m_changed.notify_all();
    }
}

void ChunkWriter::write(HtmlChunk& chunk) {
    m_filler.fill(chunk);
    const qint64 written = m_out.write(chunk.bytes.data(), chunk.bytes.size());
    if (written != chunk.bytes.size()) {
        throw Error(QStringLiteral("Не удалось записать файл: %1").arg(m_out.errorString()));
    }
    startWriteBack();
}

// A file that is saved to disk at its end (QSaveFile does) is handed to the disk as it
// grows, so that little is left to wait for then. Only a hint: where the system cannot take
// it, the final sync does all the work as before.
void ChunkWriter::startWriteBack() {
#ifdef __linux__
    constexpr qint64 kWriteBackStep = 8 * 1024 * 1024;
    auto* file = qobject_cast<QFileDevice*>(&m_out);
    if (file == nullptr || file->handle() < 0 || file->pos() - m_handedToDisk < kWriteBackStep) {
        return;
    }
    if (!file->flush()) {
        throw Error(QStringLiteral("Не удалось записать файл: %1").arg(file->errorString()));
    }
    const qint64 end = file->pos();
    sync_file_range(file->handle(), m_handedToDisk, end - m_handedToDisk, SYNC_FILE_RANGE_WRITE);
    m_handedToDisk = end;
#endif
}
