#include "web/gumboarena.h"

#include <cstddef>
#include <cstdlib>
#include <gumbo.h>

namespace {

// Heads every block the parser asks for, linking it to the others so that an abandoned
// parse can be freed.
struct Block
{
    Block* newer;
    Block* older;
    size_t size;
};

constexpr size_t kAlign = alignof(std::max_align_t);
constexpr size_t kHeader = (sizeof(Block) + kAlign - 1) / kAlign * kAlign;
// A page of nothing but "<p>" needs 84 bytes of tree for each of its bytes; ordinary pages
// need 10 to 30.
constexpr size_t kFloor = size_t(16) << 20;
constexpr size_t kPerPageByte = 112;
} // namespace

GumboArena::GumboArena(size_t ceiling) : m_ceiling(ceiling) {}

GumboArena::~GumboArena()
{
    // The parser's own clean-up would walk the whole tree to free what this frees at once.
    releaseAll();
}

size_t GumboArena::ceilingFor(size_t pageBytes)
{
    return kFloor + kPerPageByte * pageBytes;
}

GumboOutput* GumboArena::parse(const char* data, size_t size)
{
    GumboOptions options = kGumboDefaultOptions;
    options.allocator = &GumboArena::allocate;
    options.deallocator = &GumboArena::release;
    options.userdata = this;
    options.max_errors = 0; // broken pages would fill memory with error records
    // allocate() jumps back here when the ceiling is reached; only the parser's C frames
    // lie in between.
    if (setjmp(m_abort) != 0) {
        releaseAll();
        return nullptr;
    }
    return gumbo_parse_with_options(&options, data, size);
}

void* GumboArena::allocate(void* self, size_t size)
{
    auto* arena = static_cast<GumboArena*>(self);
    if (arena->m_used + size + kHeader > arena->m_ceiling)
        std::longjmp(arena->m_abort, 1);
    auto* block = static_cast<Block*>(std::malloc(kHeader + size));
    if (!block)
        std::longjmp(arena->m_abort, 1);
    auto* latest = static_cast<Block*>(arena->m_blocks);
    block->newer = nullptr;
    block->older = latest;
    block->size = size;
    if (latest)
        latest->newer = block;
    arena->m_blocks = block;
    arena->m_used += size + kHeader;
    if (arena->m_used > arena->m_peak)
        arena->m_peak = arena->m_used;
    return reinterpret_cast<unsigned char*>(block) + kHeader;
}

void GumboArena::release(void* self, void* pointer)
{
    if (!pointer)
        return;
    auto* arena = static_cast<GumboArena*>(self);
    auto* block = reinterpret_cast<Block*>(static_cast<unsigned char*>(pointer) - kHeader);
    if (block->newer)
        block->newer->older = block->older;
    else
        arena->m_blocks = block->older;
    if (block->older)
        block->older->newer = block->newer;
    arena->m_used -= block->size + kHeader;
    std::free(block);
}

void GumboArena::releaseAll()
{
    auto* block = static_cast<Block*>(m_blocks);
    while (block) {
        Block* older = block->older;
        std::free(block);
        block = older;
    }
    m_blocks = nullptr;
    m_used = 0;
}
