#pragma once

#include <QtGlobal>

#include <memory>
#include <vector>

namespace chunkmemory {
// Has the system hand over the pages of a new chunk in one call: touched one page at a time,
// opening a file of a week's samples took a page fault every 4 kB.
void Prefault(void* chunk, size_t bytes);
} // namespace chunkmemory

// An array that grows a chunk at a time: what it holds never moves, so a run that goes on
// for a week grows by its samples alone, never by the copy at twice the size that a growing
// vector makes, and needs no single block of hundreds of megabytes.
template <typename T> class TChunkedArray
{
public:
    static constexpr int kChunkBits = 15;
    static constexpr qsizetype kChunkSize = qsizetype(1) << kChunkBits;

    qsizetype size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    const T& operator[](qsizetype i) const { return m_chunks[Chunk(i)][Offset(i)]; }
    T& operator[](qsizetype i) { return m_chunks[Chunk(i)][Offset(i)]; }
    const T& back() const { return (*this)[m_size - 1]; }
    T& back() { return (*this)[m_size - 1]; }

    void push_back(const T& value)
    {
        if (Chunk(m_size) == m_chunks.size()) {
            m_chunks.push_back(std::make_unique_for_overwrite<T[]>(size_t(kChunkSize)));
            chunkmemory::Prefault(m_chunks.back().get(), sizeof(T) * size_t(kChunkSize));
        }
        (*this)[m_size++] = value;
    }
    // Room in the table of chunks for `count` elements; the chunks come as they fill.
    void reserve(qsizetype count) { m_chunks.reserve(Chunk(count + kChunkSize - 1)); }
    void clear()
    {
        m_chunks.clear();
        m_size = 0;
    }

private:
    static size_t Chunk(qsizetype i) { return size_t(i >> kChunkBits); }
    static size_t Offset(qsizetype i) { return size_t(i & (kChunkSize - 1)); }

    std::vector<std::unique_ptr<T[]>> m_chunks;
    qsizetype m_size = 0;
};
