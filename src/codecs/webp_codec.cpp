#include "codecs/webp_codec.h"

#include "codecs/image_alpha.h"

#include <webp/decode.h>
#include <webp/demux.h>
#include <webp/encode.h>

#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

// The byte order of a Format_ARGB32 pixel in memory.
constexpr WEBP_CSP_MODE NativeArgb = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? MODE_BGRA : MODE_ARGB;

QImage NewArgbPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    if (image.isNull())
        throw std::runtime_error("Not enough memory for the WebP image");
    return image;
}

// A still picture decodes straight into the image's rows.
QImage DecodeStill(const std::uint8_t *data, std::size_t size, int width, int height)
{
    QImage image = NewArgbPicture(width, height);
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config))
        throw std::runtime_error("The WebP library does not match");
    config.output.colorspace = NativeArgb;
    config.output.is_external_memory = 1;
    config.output.u.RGBA.rgba = image.bits();
    config.output.u.RGBA.stride = int(image.bytesPerLine());
    config.output.u.RGBA.size = std::size_t(image.sizeInBytes());
    const VP8StatusCode status = WebPDecode(data, size, &config);
    WebPFreeDecBuffer(&config.output);
    if (status != VP8_STATUS_OK)
        throw std::runtime_error("The WebP data is damaged or truncated (status " + std::to_string(status) + ")");
    return image;
}

using AnimDecoder = std::unique_ptr<WebPAnimDecoder, decltype(&WebPAnimDecoderDelete)>;

// The first frame of an animation, as the animation shows it: on a
// transparent canvas of the file's size.
QImage DecodeFirstFrame(const std::uint8_t *data, std::size_t size, int width, int height)
{
    WebPAnimDecoderOptions options;
    if (!WebPAnimDecoderOptionsInit(&options))
        throw std::runtime_error("The WebP library does not match");
    options.color_mode = MODE_RGBA;
    const WebPData bytes{data, size};
    AnimDecoder decoder(WebPAnimDecoderNew(&bytes, &options), WebPAnimDecoderDelete);
    WebPAnimInfo info;
    std::uint8_t *frame = nullptr;
    int timestamp = 0;
    if (!decoder || !WebPAnimDecoderGetInfo(decoder.get(), &info) || int(info.canvas_width) != width ||
        int(info.canvas_height) != height || !WebPAnimDecoderGetNext(decoder.get(), &frame, &timestamp))
        throw std::runtime_error("The WebP animation is damaged or truncated");
    QImage image = NewArgbPicture(width, height);
    for (int y = 0; y < height; ++y) {
        auto *out = reinterpret_cast<QRgb *>(image.scanLine(y));
        const std::uint8_t *in = frame + std::size_t(y) * std::size_t(width) * 4;
        for (int x = 0; x < width; ++x, in += 4)
            out[x] = qRgba(in[0], in[1], in[2], in[3]);
    }
    return image;
}

// libwebp's lossless effort from 0 to 9. Its default of 6 takes several
// times as long as PNG on a traced photograph for a file some 15% smaller;
// at 1 saving takes about as long as PNG.
constexpr int LosslessEffort = 1;

std::string EncodeError(const WebPPicture &picture)
{
    return "WebP encoder: error " + std::to_string(picture.error_code);
}

} // namespace

QImage DecodeWebp(const std::uint8_t *data, std::size_t size, std::uint64_t maxPixels)
{
    WebPBitstreamFeatures features;
    if (!data || WebPGetFeatures(data, size, &features) != VP8_STATUS_OK)
        throw std::runtime_error("The data is not a WebP image");
    CheckPictureSize(features.width, features.height, maxPixels);
    QImage image = features.has_animation ? DecodeFirstFrame(data, size, features.width, features.height)
                                          : DecodeStill(data, size, features.width, features.height);
    if (!HasTransparency(image))
        image.reinterpretAsFormat(QImage::Format_RGB32);
    return image;
}

std::vector<std::uint8_t> EncodeWebp(const QImage &source)
{
    const QImage picture = source.convertToFormat(QImage::Format_RGB32);
    if (picture.isNull())
        throw std::runtime_error("WebP encoder: the picture is empty or memory ran out");
    if (picture.width() > WEBP_MAX_DIMENSION || picture.height() > WEBP_MAX_DIMENSION)
        throw std::runtime_error("A WebP picture has at most 16383 pixels a side");
    WebPConfig config;
    if (!WebPConfigInit(&config) || !WebPConfigLosslessPreset(&config, LosslessEffort))
        throw std::runtime_error("The WebP library does not match");
    config.exact = 1;

    WebPPicture out;
    WebPPictureInit(&out);
    out.use_argb = 1;
    out.width = picture.width();
    out.height = picture.height();
    if (!WebPPictureAlloc(&out))
        throw std::runtime_error(EncodeError(out));
    const std::unique_ptr<WebPPicture, decltype(&WebPPictureFree)> owned(&out, WebPPictureFree);
    // The ARGB words are the picture's own; its fourth byte means nothing
    // yet, so every pixel is written opaque.
    for (int y = 0; y < picture.height(); ++y) {
        const auto *in = reinterpret_cast<const std::uint32_t *>(picture.constScanLine(y));
        std::uint32_t *row = out.argb + std::size_t(y) * std::size_t(out.argb_stride);
        for (int x = 0; x < picture.width(); ++x)
            row[x] = in[x] | 0xFF000000u;
    }
    WebPMemoryWriter writer;
    WebPMemoryWriterInit(&writer);
    const std::unique_ptr<WebPMemoryWriter, decltype(&WebPMemoryWriterClear)> written(&writer,
                                                                                      WebPMemoryWriterClear);
    out.writer = WebPMemoryWrite;
    out.custom_ptr = &writer;
    if (!WebPEncode(&config, &out))
        throw std::runtime_error(EncodeError(out));
    return std::vector<std::uint8_t>(writer.mem, writer.mem + writer.size);
}

QImage LoadWebpFile(const QString &path)
{
    return LoadImageFile(path, [](const std::uint8_t *data, std::size_t size) { return DecodeWebp(data, size); });
}

void SaveWebpFile(const QImage &picture, const QString &path)
{
    WriteFileBytes(path, EncodeWebp(picture));
}
