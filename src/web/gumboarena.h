#pragma once

#include <csetjmp>
#include <cstddef>

typedef struct GumboInternalOutput GumboOutput;

// The memory of one parse, with a ceiling. The HTML parser clones the open formatting
// elements into every paragraph they spill into, so a page of 77 KB asked for 7 GB; past
// the ceiling the parse is abandoned and everything it held is freed. The tree of a
// finished parse lives as long as the arena.
class GumboArena
{
public:
    explicit GumboArena(size_t ceiling);
    ~GumboArena();

    GumboArena(const GumboArena&) = delete;
    GumboArena& operator=(const GumboArena&) = delete;

    // The tree of `data`, or nullptr when building it needed more than the ceiling.
    // Once per arena.
    GumboOutput* parse(const char* data, size_t size);

    // The ceiling for a page of `pageBytes`: far above what real pages need.
    static size_t ceilingFor(size_t pageBytes);

    size_t peak() const { return m_peak; }
    size_t ceiling() const { return m_ceiling; }

private:
    static void* allocate(void* self, size_t size);
    static void release(void* self, void* pointer);
    void releaseAll();

    size_t m_ceiling;
    size_t m_used = 0;
    size_t m_peak = 0;
    void* m_blocks = nullptr; // the latest block; each links to the one before
    std::jmp_buf m_abort;
};
