#include "codecs/picture_memory.h"

#include <cstddef>
#include <cstdlib>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {

constexpr std::size_t HugePage = std::size_t(2) << 20;

void FreeBlock(void *block)
{
    std::free(block);
}

} // namespace

QImage NewPicture(int width, int height, QImage::Format format)
{
    const std::size_t stride = std::size_t(width) * 4;
    const std::size_t bytes = stride * std::size_t(height);
#if defined(MADV_HUGEPAGE)
    if (width > 0 && height > 0 && bytes >= HugePage) {
        const std::size_t whole = (bytes + HugePage - 1) / HugePage * HugePage;
        void *block = std::aligned_alloc(HugePage, whole);
        if (!block)
            return QImage();
        // Only advice: without huge pages the memory works as any other.
        madvise(block, whole, MADV_HUGEPAGE);
        return QImage(static_cast<uchar *>(block), width, height, qsizetype(stride), format, FreeBlock,
                      block);
    }
#endif
    return QImage(width, height, format);
}
