// Helper of the user session test, so that it needs nothing beyond what the
// project builds:
//   png_mirror_check white FILE W H   writes a white W x H PNG
//   png_mirror_check mirror FILE W H  checks that FILE is a W x H PNG holding
//                                     some paint, every painted pixel mirrored
//                                     across the vertical line x = W div 2
#include <QImage>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

int WriteWhite(const char *file, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image.save(QString::fromLocal8Bit(file), "PNG") ? 0 : 1;
}

int CheckMirror(const char *file, int width, int height)
{
    QImage image;
    if (!image.load(QString::fromLocal8Bit(file), "PNG")) {
        std::fprintf(stderr, "%s is not a readable PNG\n", file);
        return 1;
    }
    if (image.width() != width || image.height() != height) {
        std::fprintf(stderr, "%s is %dx%d, expected %dx%d\n", file, image.width(), image.height(), width, height);
        return 1;
    }
    image = image.convertToFormat(QImage::Format_RGB32);
    const int axis2 = 2 * (width / 2);
    int painted = 0;
    for (int y = 0; y < height; ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            if (qRgb(255, 255, 255) == (row[x] | 0xff000000u))
                continue;
            ++painted;
            const int mirrored = axis2 - x;
            if (mirrored < 0 || mirrored >= width)
                continue;
            if ((row[x] | 0xff000000u) != (row[mirrored] | 0xff000000u)) {
                std::fprintf(stderr, "pixel (%d,%d) is not mirrored at (%d,%d)\n", x, y, mirrored, y);
                return 1;
            }
        }
    }
    if (painted == 0) {
        std::fprintf(stderr, "%s holds no painted pixel\n", file);
        return 1;
    }
    std::printf("%d painted pixels, all mirrored\n", painted);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: png_mirror_check white|mirror FILE WIDTH HEIGHT\n");
        return 2;
    }
    const int width = std::stoi(argv[3]);
    const int height = std::stoi(argv[4]);
    if (std::strcmp(argv[1], "white") == 0)
        return WriteWhite(argv[2], width, height);
    return CheckMirror(argv[2], width, height);
}
