#include "codecs/jpeg_errors.h"

namespace {

[[noreturn]] void OnJpegError(j_common_ptr info)
{
    auto *errors = reinterpret_cast<JpegErrors *>(info->err);
    (*info->err->format_message)(info, errors->Message);
    std::longjmp(errors->Jump, 1);
}

// Trace messages are dropped instead of printed to stderr.
void OnJpegMessage(j_common_ptr info, int level)
{
    if (level < 0)
        OnJpegError(info);
}

} // namespace

jpeg_error_mgr *UseJpegErrors(JpegErrors &errors)
{
    jpeg_error_mgr *manager = jpeg_std_error(&errors.Manager);
    manager->error_exit = OnJpegError;
    manager->emit_message = OnJpegMessage;
    return manager;
}
