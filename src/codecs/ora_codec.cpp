#include "codecs/ora_codec.h"

#include "codecs/picture_memory.h"
#include "codecs/png_codec.h"
#include "codecs/zip_archive.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

namespace {

const QByteArray kMimeType = "image/openraster";
const QByteArray kStackName = "stack.xml";
const QByteArray kMergedName = "mergedimage.png";
constexpr int kThumbnailSide = 256;
const QLatin1String kNormalBlending("svg:src-over");

// --------------------------------------------------------------- writing

QByteArray LayerSource(std::size_t index)
{
    return "data/layer" + QByteArray::number(qulonglong(index)) + ".png";
}

// Two decimals give every percent back exactly.
QString OpacityText(int percent)
{
    return QString::number(percent / 100.0, 'f', 2);
}

// The layers top first, as the format lists them.
QByteArray StackXml(const std::vector<TImageLayer> &layers, QSize size)
{
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement("image");
    xml.writeAttribute("version", "0.0.5");
    xml.writeAttribute("w", QString::number(size.width()));
    xml.writeAttribute("h", QString::number(size.height()));
    xml.writeStartElement("stack");
    for (std::size_t i = layers.size(); i-- > 0;) {
        xml.writeEmptyElement("layer");
        xml.writeAttribute("name", layers[i].Name);
        xml.writeAttribute("src", QString::fromLatin1(LayerSource(i)));
        xml.writeAttribute("visibility", layers[i].Visible ? "visible" : "hidden");
        xml.writeAttribute("opacity", OpacityText(layers[i].Opacity));
        xml.writeAttribute("x", "0");
        xml.writeAttribute("y", "0");
        xml.writeAttribute("composite-op", kNormalBlending);
    }
    xml.writeEndDocument();
    return out;
}

std::vector<std::uint8_t> Bytes(const QByteArray &text)
{
    return std::vector<std::uint8_t>(text.cbegin(), text.cend());
}

QImage Thumbnail(const QImage &merged)
{
    if (merged.width() <= kThumbnailSide && merged.height() <= kThumbnailSide)
        return merged;
    const QSize fit = merged.size().scaled(kThumbnailSide, kThumbnailSide, Qt::KeepAspectRatio).expandedTo({1, 1});
    return merged.scaled(fit, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// --------------------------------------------------------------- reading

// What a stack passes on to the layers inside it.
struct TGroup {
    double Opacity = 1;
    bool Visible = true;
    qint64 X = 0;
    qint64 Y = 0;
};

struct TLayerEntry {
    TImageLayer Layer; // without pixels
    QByteArray Source;
    qint64 X = 0;
    qint64 Y = 0;
};

struct TStack {
    int Width = 0;
    int Height = 0;
    std::vector<TLayerEntry> Layers; // top first
    bool OtherBlending = false;
};

// A missing or unreadable value is fully opaque.
double Fraction(QStringView text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok && !std::isnan(value) ? std::clamp(value, 0.0, 1.0) : 1.0;
}

// Some writers give offsets as decimals; far beyond any picture they only
// need to stay beyond it.
qint64 Offset(QStringView text)
{
    constexpr double kFar = double(std::int64_t(1) << 40);
    const double value = text.toDouble();
    return std::isnan(value) ? 0 : qint64(std::llround(std::clamp(value, -kFar, kFar)));
}

TGroup Inside(const TGroup &outer, const QXmlStreamAttributes &a, bool &otherBlending)
{
    const QStringView blending = a.value("composite-op");
    otherBlending |= !blending.isEmpty() && blending != kNormalBlending;
    return {outer.Opacity * Fraction(a.value("opacity")), outer.Visible && a.value("visibility") != u"hidden",
            outer.X + Offset(a.value("x")), outer.Y + Offset(a.value("y"))};
}

TLayerEntry Entry(const TGroup &group, const QXmlStreamAttributes &a, bool &otherBlending)
{
    const TGroup own = Inside(group, a, otherBlending);
    TLayerEntry entry;
    entry.Layer.Name = a.value("name").toString();
    entry.Layer.Visible = own.Visible;
    entry.Layer.Opacity = int(std::lround(own.Opacity * 100));
    entry.Source = a.value("src").toUtf8();
    entry.X = own.X;
    entry.Y = own.Y;
    return entry;
}

// Nested stacks are walked without recursion, so their depth costs only the
// memory of the document itself.
TStack ParseStack(const std::vector<std::uint8_t> &bytes)
{
    const auto *text = reinterpret_cast<const char *>(bytes.data());
    QXmlStreamReader xml(QByteArray::fromRawData(text, qsizetype(bytes.size())));
    if (!xml.readNextStartElement() || xml.name() != u"image")
        throw std::runtime_error("The layer list is not an OpenRaster image");
    TStack stack;
    stack.Width = xml.attributes().value("w").toInt();
    stack.Height = xml.attributes().value("h").toInt();
    std::vector<TGroup> groups(1);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == u"stack" && groups.size() > 1)
            groups.pop_back();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == u"stack") {
            groups.push_back(Inside(groups.back(), xml.attributes(), stack.OtherBlending));
            continue;
        }
        if (xml.name() == u"layer") {
            if (stack.Layers.size() == std::size_t(kMaxOraLayers))
                throw std::runtime_error("The image has more than " + std::to_string(kMaxOraLayers) + " layers");
            stack.Layers.push_back(Entry(groups.back(), xml.attributes(), stack.OtherBlending));
        }
        xml.skipCurrentElement();
    }
    if (xml.hasError())
        throw std::runtime_error("The layer list is damaged: " + xml.errorString().toStdString());
    return stack;
}

// The layer's pixels at their offset in a transparent layer of the
// picture's size, clipped to it; pixels that already are such a layer are
// taken as they are.
QImage Placed(const QImage &pixels, qint64 x, qint64 y, QSize size)
{
    if (x == 0 && y == 0 && pixels.size() == size)
        return pixels;
    QImage layer = NewPicture(size.width(), size.height(), QImage::Format_ARGB32);
    if (layer.isNull())
        throw std::runtime_error("Out of memory");
    layer.fill(0u);
    const qint64 left = std::max<qint64>(x, 0), right = std::min<qint64>(x + pixels.width(), size.width());
    const qint64 top = std::max<qint64>(y, 0), bottom = std::min<qint64>(y + pixels.height(), size.height());
    for (qint64 row = top; row < bottom && left < right; ++row)
        std::memcpy(layer.scanLine(int(row)) + left * 4, pixels.constScanLine(int(row - y)) + (left - x) * 4,
                    std::size_t(right - left) * 4);
    return layer;
}

} // namespace

std::vector<std::uint8_t> EncodeOra(const std::vector<TImageLayer> &layers, const QImage &merged)
{
    return EncodeOra(layers, merged, DefaultPngSettings(), {});
}

std::vector<std::uint8_t> EncodeOra(const std::vector<TImageLayer> &layers, const QImage &merged,
                                    const PngSettings &png, const PngText &mergedText)
{
    if (layers.empty() || merged.isNull())
        throw std::runtime_error("The picture has no layers");
    if (layers.size() > std::size_t(kMaxOraLayers))
        throw std::runtime_error("An OpenRaster file holds at most " + std::to_string(kMaxOraLayers) + " layers");
    for (const TImageLayer &layer : layers) {
        if (layer.Pixels.size() != merged.size())
            throw std::runtime_error("The layers differ in size from the picture");
    }
    TZipWriter zip;
    // Stored and first, so the file's first bytes tell its type.
    zip.Add("mimetype", Bytes(kMimeType), true);
    zip.Add(kStackName, Bytes(StackXml(layers, merged.size())), false);
    // PNG data is compressed already.
    for (std::size_t i = 0; i < layers.size(); ++i)
        zip.Add(LayerSource(i), EncodePng(layers[i].Pixels, png), true);
    zip.Add("Thumbnails/thumbnail.png", EncodePng(Thumbnail(merged), png), true);
    zip.Add(kMergedName, mergedText.Keyword.isEmpty() ? EncodePng(merged, png) : EncodePngWithText(merged, png, mergedText),
            true);
    return zip.Finish();
}

TOraImage DecodeOra(const std::uint8_t *data, std::size_t size, std::uint64_t maxPixels)
{
    const TZipReader zip(data, size);
    const TStack stack = ParseStack(zip.Read(kStackName));
    CheckPictureSize(stack.Width, stack.Height, maxPixels);
    if (stack.Layers.empty())
        throw std::runtime_error("The image has no layers");
    const std::uint64_t pixels = std::uint64_t(stack.Width) * std::uint64_t(stack.Height);
    if (stack.Layers.size() * pixels > kOraLayerPixelsPerPicture * maxPixels)
        throw std::runtime_error("The layers are too large together");

    TOraImage image{stack.Width, stack.Height, {}, stack.OtherBlending};
    image.Layers.reserve(stack.Layers.size());
    for (auto entry = stack.Layers.rbegin(); entry != stack.Layers.rend(); ++entry) {
        const std::vector<std::uint8_t> png = zip.Read(entry->Source);
        TImageLayer layer = entry->Layer;
        layer.Pixels = Placed(DecodePng(png.data(), png.size(), maxPixels), entry->X, entry->Y,
                              QSize(stack.Width, stack.Height));
        image.Layers.push_back(std::move(layer));
    }
    return image;
}

std::vector<std::uint8_t> ReadOraMergedPng(const std::uint8_t *data, std::size_t size)
{
    return TZipReader(data, size).Read(kMergedName);
}

TOraImage LoadOraFile(const QString &path)
{
    return LoadImageFile(path, [](const std::uint8_t *data, std::size_t size) { return DecodeOra(data, size); });
}

void SaveOraFile(const std::vector<TImageLayer> &layers, const QImage &merged, const QString &path)
{
    WriteFileBytes(path, EncodeOra(layers, merged));
}
