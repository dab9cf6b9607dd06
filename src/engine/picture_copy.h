#pragma once

#include <QImage>

// Copies the pixels into the buffer, reusing its memory when it has the
// picture's size and format. Returns false, leaving the buffer empty, when
// its memory cannot be had.
bool CopyPicture(const QImage &picture, QImage &buffer);
