#include "codecs/ora_codec.h"
#include "codecs/zip_archive.h"
#include "image_test_util.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Random pixels in all four bytes: every alpha, and colour under alpha 0.
QImage Transparent(int w, int h, unsigned seed)
{
    QImage img = RandomImage(w, h, seed);
    img.reinterpretAsFormat(QImage::Format_ARGB32);
    return img;
}

auto Properties(const TImageLayer &layer)
{
    return std::tuple(layer.Name, layer.Visible, layer.Opacity);
}

} // namespace

// QImage's == compares every bit of ARGB32 pixels.
TEST(OraCodec, LayersComeBackWithNamesOrderVisibilityOpacityAndEveryPixelBit)
{
    QImage background(300, 150, QImage::Format_RGB32);
    background.fill(0xFF336699u);
    const std::vector<TImageLayer> layers = {{"Background", true, 100, background},
                                             {"Lines & <ink> \xC3\xBC", false, 37, Transparent(300, 150, 2)},
                                             {"Colours", true, 0, Transparent(300, 150, 3)}};
    QTemporaryDir dir;
    const QString path = dir.filePath("picture.ora");
    SaveOraFile(layers, Transparent(300, 150, 4), path);

    const TOraImage back = LoadOraFile(path);
    EXPECT_EQ(QSize(back.Width, back.Height), QSize(300, 150));
    EXPECT_FALSE(back.OtherBlending);
    ASSERT_EQ(back.Layers.size(), layers.size());
    for (std::size_t i = 0; i < layers.size(); ++i) {
        EXPECT_EQ(Properties(back.Layers[i]), Properties(layers[i])) << i;
        EXPECT_TRUE(back.Layers[i].Pixels == layers[i].Pixels) << i;
    }
    EXPECT_EQ(back.Layers[0].Pixels.format(), QImage::Format_RGB32);

    // Other programs know the file by its first entry; the PNG entries are
    // stored as they are.
    const Bytes file = ReadFileBytes(path);
    EXPECT_EQ(std::string(file.begin() + 30, file.begin() + 54), "mimetypeimage/openraster");
    const Bytes png = EncodePng(layers[2].Pixels);
    EXPECT_NE(std::search(file.begin(), file.end(), png.begin(), png.end()), file.end());
    const Bytes thumbnail = TZipReader(file.data(), file.size()).Read("Thumbnails/thumbnail.png");
    EXPECT_EQ(DecodePng(thumbnail.data(), thumbnail.size()).size(), QSize(256, 128));
}

TEST(OraCodec, OffsetsNestedStacksAndUnknownPartsOfOtherWritersAreRead)
{
    const QImage bottom = Transparent(6, 4, 5), inner = Transparent(2, 2, 6), top = Transparent(3, 3, 7);
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
    EXPECT_EQ(Properties(b), std::tuple(QString(), true, 100));
    EXPECT_EQ(Properties(i), std::tuple(QString("inner"), false, 30));
    EXPECT_EQ(Properties(t), std::tuple(QString("top"), true, 50));
    EXPECT_TRUE(b.Pixels == bottom);
    EXPECT_EQ(t.Pixels.size(), QSize(6, 4));
    EXPECT_EQ(i.Pixels.pixel(1, 1), inner.pixel(0, 0));
    EXPECT_EQ(i.Pixels.pixel(2, 2), inner.pixel(1, 1));
    EXPECT_EQ(i.Pixels.pixel(0, 1), 0u);
    EXPECT_EQ(t.Pixels.pixel(4, 0), top.pixel(0, 1));
    EXPECT_EQ(t.Pixels.pixel(5, 1), top.pixel(1, 2));
    EXPECT_EQ(t.Pixels.pixel(3, 0), 0u);
    EXPECT_EQ(t.Pixels.pixel(5, 2), 0u);
}

// What refusing large claims costs in memory is checked in
// reader_memory_test.cpp.
TEST(OraCodec, HostileOrDamagedArchivesAreRefusedWithAReason)
{
    const QImage pixel = Transparent(1, 1, 8), noise = Transparent(40, 40, 9);
    const std::vector<std::pair<QByteArray, QImage>> layerA = {{"data/a.png", pixel}};
    Bytes stored = EncodeOra({{"a", true, 100, pixel}}, pixel);
    DeclareEntrySize(stored, "data/layer0.png", 1u << 30, 1u << 30);
    Bytes damaged = EncodeOra({{"a", true, 100, noise}}, noise);
    const Bytes png = EncodePng(noise);
    std::search(damaged.begin(), damaged.end(), png.begin(), png.end())[std::ptrdiff_t(png.size() / 2)] ^= 0x55;
    const std::tuple<const char *, Bytes, const char *> cases[] = {
        {"not a zip", EncodePng(pixel), "not a zip"},
        {"name with ..", OraArchive(OraStack(1, 1, 1, "data/../a.png"), {{"data/../a.png", pixel}}), "outside"},
        {"absolute name", OraArchive(OraStack(1, 1, 1, "/a.png"), {{"/a.png", pixel}}), "outside"},
        {"257 layers", OraArchive(OraStack(1, 1, 257), layerA), "more than 256 layers"},
        {"2^28 + 1 pixels", OraArchive(OraStack(16385, 16384, 1), layerA), "too large"},
        {"256 layers of 2048 x 4096", OraArchive(OraStack(2048, 4096, 256), layerA), "together"},
        {"stored layer beyond the archive", stored, "declares more"},
        {"damaged layer", damaged, "damaged"},
        {"missing layer", OraArchive(OraStack(1, 1, 1)), "has no \"data/a.png\""},
        {"no layers", OraArchive(OraStack(1, 1, 0)), "no layers"},
        {"broken layer list", OraArchive("<image w=\"1\" h=\"1\"><stack><layer"), "damaged"},
    };
    for (const auto &[what, data, reason] : cases) {
        try {
            DecodeOra(data.data(), data.size());
            ADD_FAILURE() << what << " was opened";
        } catch (const std::runtime_error &e) {
            EXPECT_NE(std::string(e.what()).find(reason), std::string::npos) << what << ": " << e.what();
        }
    }
}
