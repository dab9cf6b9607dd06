#include "engine/picture_copy.h"

#include <cstring>

bool CopyPicture(const QImage &picture, QImage &buffer)
{
    if (buffer.size() != picture.size() || buffer.format() != picture.format())
        buffer = QImage(picture.size(), picture.format());
    if (picture.isNull())
        return true;
    if (buffer.isNull())
        return false;
    std::memcpy(buffer.bits(), picture.constBits(), std::size_t(picture.sizeInBytes()));
    return true;
}
