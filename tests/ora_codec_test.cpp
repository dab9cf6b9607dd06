#include "codecs/ora_codec.h"
#include "codecs/zip_archive.h"
#include "image_test_util.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Random pixels in all four bytes: every alpha, and colour under alpha 0.
QImage Transparent(int w, int h, unsigned seed)
{
    QImage img = RandomImage(w, h, seed);
    img.reinterpretAsFormat(QImage::Format_ARGB32);
    return img;
}

QImage Opaque(int w, int h, unsigned seed)
{
    QImage img = RandomImage(w, h, seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            reinterpret_cast<QRgb *>(img.scanLine(y))[x] |= 0xFF000000u;
    return img;
}

bool SameBits(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return false;
    for (int y = 0; y < a.height(); ++y)
        if (std::memcmp(a.constScanLine(y), b.constScanLine(y), std::size_t(a.width()) * 4) != 0)
            return false;
    return true;
}

bool Contains(const Bytes &file, const Bytes &part)
{
    return std::search(file.begin(), file.end(), part.begin(), part.end()) != file.end();
}

} // namespace

TEST(OraCodec, LayersComeBackWithNamesOrderVisibilityOpacityAndEveryPixelBit)
{
    const std::vector<TImageLayer> layers = {
        {"Background", true, 100, Opaque(300, 150, 1)},
        {"Lines & <ink> \xC3\xBC", false, 37, Transparent(300, 150, 2)},
        {"Colours", true, 0, Transparent(300, 150, 3)},
    };
    const QImage merged = Transparent(300, 150, 4);
    QTemporaryDir dir;
    const QString path = dir.filePath("picture.ora");
    SaveOraFile(layers, merged, path);

    const TOraImage back = LoadOraFile(path);
    EXPECT_EQ(back.Width, 300);
    EXPECT_EQ(back.Height, 150);
    EXPECT_FALSE(back.OtherBlending);
    ASSERT_EQ(back.Layers.size(), layers.size());
    for (std::size_t i = 0; i < layers.size(); ++i) {
        EXPECT_EQ(back.Layers[i].Name, layers[i].Name) << i;
        EXPECT_EQ(back.Layers[i].Visible, layers[i].Visible) << i;
        EXPECT_EQ(back.Layers[i].Opacity, layers[i].Opacity) << i;
        EXPECT_TRUE(SameBits(back.Layers[i].Pixels, layers[i].Pixels)) << i;
    }
    EXPECT_EQ(back.Layers[0].Pixels.format(), QImage::Format_RGB32);

    // Other programs know the file by its first entry; the PNG entries are
    // stored as they are.
    const Bytes file = ReadFileBytes(path);
    ASSERT_GT(file.size(), 54u);
    EXPECT_EQ(std::string(file.begin() + 30, file.begin() + 54), "mimetypeimage/openraster");
    EXPECT_TRUE(Contains(file, EncodePng(layers[2].Pixels)));
    const Bytes thumbnail = TZipReader(file.data(), file.size()).Read("Thumbnails/thumbnail.png");
    EXPECT_EQ(DecodePng(thumbnail.data(), thumbnail.size()).size(), QSize(256, 128));
}

TEST(OraCodec, OffsetsNestedStacksAndUnknownPartsOfOtherWritersAreRead)
{
    const QImage bottom = Opaque(6, 4, 5), inner = Transparent(2, 2, 6), top = Transparent(3, 3, 7);
    const Bytes ora = OraArchive(R"(<?xml version="1.0" encoding="UTF-8"?>
<image w="6" h="4" version="0.0.3" xres="72">
 <stack>
  <layer name="top" src="data/top.png" x="4" y="-1" opacity="0.5" selected="true"/>
  <stack name="group" opacity="0.5" visibility="hidden" composite-op="svg:multiply" x="1">
   <layer name="inner" src="data/inner.png" y="1" opacity="0.6"/>
   <text>a text layer</text>
  </stack>
  <filter><layer name="skipped" src="data/none.png"/></filter>
  <layer src="data/bottom.png"/>
 </stack>
</image>)",
                                 {{"data/top.png", top}, {"data/inner.png", inner}, {"data/bottom.png", bottom}});
    const TOraImage image = DecodeOra(ora.data(), ora.size());
    EXPECT_TRUE(image.OtherBlending);
    ASSERT_EQ(image.Layers.size(), 3u);
    const TImageLayer &b = image.Layers[0], &i = image.Layers[1], &t = image.Layers[2];
    EXPECT_EQ(b.Name, "");
    EXPECT_TRUE(b.Visible);
    EXPECT_EQ(b.Opacity, 100);
    EXPECT_TRUE(SameBits(b.Pixels, bottom));
    EXPECT_EQ(i.Name, "inner");
    EXPECT_FALSE(i.Visible);
    EXPECT_EQ(i.Opacity, 30);
    EXPECT_EQ(t.Opacity, 50);
    for (const TImageLayer *layer : {&i, &t})
        EXPECT_EQ(layer->Pixels.size(), QSize(6, 4));
    EXPECT_EQ(i.Pixels.pixel(1, 1), inner.pixel(0, 0));
    EXPECT_EQ(i.Pixels.pixel(2, 2), inner.pixel(1, 1));
    EXPECT_EQ(i.Pixels.pixel(0, 1), 0u);
    EXPECT_EQ(t.Pixels.pixel(4, 0), top.pixel(0, 1));
    EXPECT_EQ(t.Pixels.pixel(5, 1), top.pixel(1, 2));
    EXPECT_EQ(t.Pixels.pixel(3, 0), 0u);
    EXPECT_EQ(t.Pixels.pixel(5, 2), 0u);
}

// The memory these refusals take is checked in reader_memory_test.cpp.
TEST(OraCodec, HostileOrDamagedArchivesAreRefusedWithAReason)
{
    const QImage pixel = Opaque(1, 1, 8);
    const auto stack = [](int w, int h, int layers, const char *src = "data/a.png") {
        QByteArray xml = "<image w=\"" + QByteArray::number(w) + "\" h=\"" + QByteArray::number(h) + "\"><stack>";
        for (int i = 0; i < layers; ++i)
            xml += "<layer src=\"" + QByteArray(src) + "\"/>";
        return xml + "</stack></image>";
    };
    Bytes stored = EncodeOra({{"a", true, 100, pixel}}, pixel);
    DeclareEntrySize(stored, "data/layer0.png", 1u << 30, 1u << 30);
    const QImage noise = Opaque(40, 40, 9);
    Bytes damaged = EncodeOra({{"a", true, 100, noise}}, noise);
    const Bytes layerPng = EncodePng(noise);
    const auto at = std::search(damaged.begin(), damaged.end(), layerPng.begin(), layerPng.end());
    at[std::ptrdiff_t(layerPng.size() / 2)] ^= 0x55;
    struct Case {
        const char *what;
        Bytes data;
        const char *reason;
    };
    const Case cases[] = {
        {"not a zip", EncodePng(pixel), "not a zip"},
        {"name with ..", OraArchive(stack(1, 1, 1, "data/../a.png"), {{"data/../a.png", pixel}}), "outside"},
        {"absolute name", OraArchive(stack(1, 1, 1, "/a.png"), {{"/a.png", pixel}}), "outside"},
        {"257 layers", OraArchive(stack(1, 1, 257), {{"data/a.png", pixel}}), "more than 256 layers"},
        {"2^28 + 1 pixels", OraArchive(stack(16385, 16384, 1), {{"data/a.png", pixel}}), "too large"},
        {"256 layers of 2048 x 4096", OraArchive(stack(2048, 4096, 256), {{"data/a.png", pixel}}), "together"},
        {"stored layer beyond the archive", stored, "declares more"},
        {"damaged layer", damaged, "damaged"},
        {"missing layer", OraArchive(stack(1, 1, 1)), "has no \"data/a.png\""},
        {"no layers", OraArchive(stack(1, 1, 0)), "no layers"},
        {"broken layer list", OraArchive("<image w=\"1\" h=\"1\"><stack><layer"), "damaged"},
    };
    for (const Case &c : cases) {
        try {
            DecodeOra(c.data.data(), c.data.size());
            ADD_FAILURE() << c.what << " was opened";
        } catch (const std::runtime_error &e) {
            EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << c.what << ": " << e.what();
        }
    }
}
