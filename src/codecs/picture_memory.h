#pragma once

#include <QImage>

// A 32-bit image for a picture read from a file, its pixels not yet set; a
// null image when memory runs out. A large picture takes its memory in huge
// pages where the system offers them: writing the pixels into fresh memory
// faults once for every 4 KB page otherwise, which costs about as much as
// decoding them.
QImage NewPicture(int width, int height, QImage::Format format = QImage::Format_RGB32);
