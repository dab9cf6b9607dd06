#include "codecs/png_codec.h"
#include "codecs/snapshot_codec.h"
#include "image_test_util.h"

#include <QPainter>
#include <gtest/gtest.h>
#include <zlib.h>

#include <stdexcept>
#include <string>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Flat areas and hard edges, as a painting has, so that every filter meets
// long matches and changes of colour.
QImage Painting(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setPen(QPen(QColor(200, 30, 60), 9));
    p.drawEllipse(QPoint(w / 2, h / 2), w / 3, h / 3);
    p.fillRect(QRect(w / 5, h / 7, w / 4, h / 3), QColor(10, 200, 90));
    p.setPen(QPen(QColor(0, 0, 250), 1));
    for (int i = 0; i < 40; ++i)
        p.drawLine(i * 17 % w, 0, w - 1 - i * 29 % w, h - 1);
    return img;
}

void PutBE32(Bytes &out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(std::uint8_t(v >> shift));
}

// Chunks built with zlib's CRC, so our reader is checked against another
// implementation.
void PutChunk(Bytes &out, const std::string &type, const Bytes &data)
{
    PutBE32(out, std::uint32_t(data.size()));
    Bytes body(type.begin(), type.end());
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    PutBE32(out, std::uint32_t(crc32(0, body.data(), uInt(body.size()))));
}

Bytes Header(std::uint32_t w, std::uint32_t h, std::uint8_t colorType = 2)
{
    Bytes ihdr;
    PutBE32(ihdr, w);
    PutBE32(ihdr, h);
    ihdr.insert(ihdr.end(), {8, colorType, 0, 0, 0});
    return ihdr;
}

Bytes BuildPng(const Bytes &ihdr, const Bytes &idat)
{
    Bytes png{137, 80, 78, 71, 13, 10, 26, 10};
    PutChunk(png, "IHDR", ihdr);
    PutChunk(png, "IDAT", idat);
    PutChunk(png, "IEND", {});
    return png;
}

Bytes Zlib(const Bytes &raw)
{
    uLongf size = compressBound(uLong(raw.size()));
    Bytes out(size);
    EXPECT_EQ(compress(out.data(), &size, raw.data(), uLong(raw.size())), Z_OK);
    out.resize(size);
    return out;
}

void ExpectRefused(const Bytes &data, const std::string &what)
{
    EXPECT_THROW(DecodeSnapshot(data.data(), data.size()), std::runtime_error) << what;
}

} // namespace

TEST(SnapshotCodec, RoundTripsAreExactWithEveryFilterAndLibpngAgrees)
{
    const std::vector<QImage> pictures{RandomImage(1, 1, 1), RandomImage(3, 2, 2), RandomImage(2, 3, 3), RandomImage(33, 7, 4),
                                       Painting(800, 600)};
    for (const QImage &img : pictures) {
        for (int filter = pfNone; filter <= pfPaeth; ++filter) {
            const Bytes png = EncodeSnapshot(img, {1, filter});
            const QImage back = DecodeSnapshot(png.data(), png.size());
            EXPECT_EQ(back.format(), QImage::Format_RGB32);
            EXPECT_EQ(back, img) << img.width() << "x" << img.height() << " filter " << filter;
            EXPECT_EQ(DecodePng(png.data(), png.size()), img) << img.width() << "x" << img.height() << " filter "
                                                              << filter;
        }
    }
    // The fourth byte is not stored: restored pixels are opaque.
    const Bytes png = EncodeSnapshot(pictures[1]);
    EXPECT_EQ(DecodeSnapshot(png.data(), png.size()).pixel(2, 1) >> 24, 0xFFu);
}

TEST(SnapshotCodec, LargeNoisePictureRoundTrips)
{
    const QImage img = RandomImage(3000, 3000, 7);
    const Bytes png = EncodeSnapshot(img);
    EXPECT_EQ(DecodeSnapshot(png.data(), png.size()), img);
    EXPECT_EQ(DecodePng(png.data(), png.size()), img);
}

TEST(SnapshotCodec, WritesRgb8WithTheMandatoryChunksOnly)
{
    ExpectPlainRgb8Png(EncodeSnapshot(Painting(50, 40)), 50, 40);

    EXPECT_THROW(EncodeSnapshot(QImage()), std::runtime_error);
    EXPECT_THROW(EncodeSnapshot(RandomImage(2, 2, 0), {13, pfNone}), std::runtime_error);
    EXPECT_THROW(EncodeSnapshot(RandomImage(2, 2, 0), {1, 5}), std::runtime_error);
}

TEST(SnapshotDecode, EveryTruncationAndDamagedByteIsRefused)
{
    const Bytes good = EncodeSnapshot(RandomImage(40, 30, 5));
    ASSERT_NO_THROW(DecodeSnapshot(good.data(), good.size()));
    for (std::size_t n = 0; n < good.size(); ++n)
        EXPECT_THROW(DecodeSnapshot(good.data(), n), std::runtime_error) << "truncated to " << n;
    EXPECT_THROW(DecodeSnapshot(nullptr, 0), std::runtime_error);
    Bytes longer = good;
    longer.push_back(0);
    ExpectRefused(longer, "a byte after IEND");

    // The signature, the lengths and the CRCs cover every byte.
    for (std::size_t i = 0; i < good.size(); ++i) {
        Bytes bad = good;
        bad[i] ^= std::uint8_t(1u << (i % 8));
        ExpectRefused(bad, "bit flipped at " + std::to_string(i));
    }
}

TEST(SnapshotDecode, WellFormedChunksWithContentsOfAnotherKindAreRefused)
{
    const int w = 6, h = 4;
    Bytes rows(std::size_t(h) * (1 + 3 * w), 0);
    const Bytes plain = BuildPng(Header(w, h), Zlib(rows));
    ASSERT_EQ(DecodeSnapshot(plain.data(), plain.size()).pixel(5, 3), 0xFF000000u);

    ExpectRefused(BuildPng(Header(w, h + 1), Zlib(rows)), "stream shorter than the rows");
    ExpectRefused(BuildPng(Header(w, h - 1), Zlib(rows)), "stream longer than the rows");
    Bytes badFilter = rows;
    badFilter[std::size_t(2) * (1 + 3 * w)] = 5;
    ExpectRefused(BuildPng(Header(w, h), Zlib(badFilter)), "unknown row filter");
    Bytes garbage = Zlib(rows);
    for (std::size_t i = 2; i < garbage.size(); ++i)
        garbage[i] = std::uint8_t(0xA5 ^ i);
    ExpectRefused(BuildPng(Header(w, h), garbage), "damaged stream");
    Bytes trailing = Zlib(rows);
    trailing.push_back(0);
    ExpectRefused(BuildPng(Header(w, h), trailing), "data after the stream");

    ExpectRefused(BuildPng(Header(w, h, 6), Zlib(rows)), "RGBA");
    ExpectRefused(BuildPng(Header(0, h), Zlib(rows)), "zero width");
    try {
        const Bytes huge = BuildPng(Header(100000, 100000), Zlib(rows));
        DecodeSnapshot(huge.data(), huge.size());
        FAIL() << "decoded a 100000 x 100000 header";
    } catch (const std::runtime_error &e) {
        EXPECT_NE(std::string(e.what()).find("too large"), std::string::npos) << e.what();
    }

    // Any chunk besides the three, or two IDAT chunks, is another program's.
    Bytes extra{137, 80, 78, 71, 13, 10, 26, 10};
    PutChunk(extra, "IHDR", Header(w, h));
    PutChunk(extra, "tEXt", {'a', 0, 'b'});
    PutChunk(extra, "IDAT", Zlib(rows));
    PutChunk(extra, "IEND", {});
    ExpectRefused(extra, "text chunk");
    const Bytes stream = Zlib(rows);
    Bytes split{137, 80, 78, 71, 13, 10, 26, 10};
    PutChunk(split, "IHDR", Header(w, h));
    PutChunk(split, "IDAT", Bytes(stream.begin(), stream.begin() + 4));
    PutChunk(split, "IDAT", Bytes(stream.begin() + 4, stream.end()));
    PutChunk(split, "IEND", {});
    ExpectRefused(split, "two IDAT chunks");
}
