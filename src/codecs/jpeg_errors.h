#pragma once

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

// libjpeg reports an error by calling error_exit, which must not return: its
// own ends the process. Ours keeps the message and jumps back to the setjmp
// on Jump; the function holding that setjmp, and everything it calls while
// libjpeg may jump, keeps no local with a destructor alive.
struct JpegErrors {
    jpeg_error_mgr Manager;
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

// Installs the handlers on errors; the result goes into the libjpeg struct's
// err field. Warnings count as errors too: they are how libjpeg reports
// corrupt or missing data while it goes on decoding grey filler.
jpeg_error_mgr *UseJpegErrors(JpegErrors &errors);
