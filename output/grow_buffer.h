#pragma once

#include <QtGlobal>
#include <algorithm>
#include <cstring>
#include <memory>
#include <type_traits>

// A growable array of plain values whose new space is left uninitialised: the builders
// fill hundreds of megabytes through it, and zeroing that first would cost time for nothing.
template <typename T>
class GrowBuffer {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    T* data() { return m_data.get(); }
    const T* data() const { return m_data.get(); }
    qsizetype size() const { return m_size; }
    void clear() { m_size = 0; }

    // Room for n more values at the end; returns where they go. Call setEnd() afterwards.
    T* reserveMore(qsizetype n) {
        if (m_capacity - m_size < n) {
            grow(n);
        }
        return m_data.get() + m_size;
    }
    void setEnd(T* end) { m_size = end - m_data.get(); }

    void append(const T* values, qsizetype n) {
        std::memcpy(reserveMore(n), values, std::size_t(n) * sizeof(T));
        m_size += n;
    }
    void append(T value) {
        *reserveMore(1) = value;
        ++m_size;
    }

    void swap(GrowBuffer& other) noexcept {
        std::swap(m_data, other.m_data);
        std::swap(m_size, other.m_size);
        std::swap(m_capacity, other.m_capacity);
    }

private:
    void grow(qsizetype n) {
        const qsizetype capacity = std::max(m_capacity * 2, m_size + n);
        auto bigger = std::make_unique_for_overwrite<T[]>(std::size_t(capacity));
        if (m_size > 0) {
            std::memcpy(bigger.get(), m_data.get(), std::size_t(m_size) * sizeof(T));
        }
        m_data = std::move(bigger);
        m_capacity = capacity;
    }

    std::unique_ptr<T[]> m_data;
    qsizetype m_size = 0;
    qsizetype m_capacity = 0;
};
