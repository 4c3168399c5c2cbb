#include "png4.h"

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QtEndian>
#include <array>
#include <cstdint>
#include <stdexcept>

namespace artwork {
namespace {

std::uint32_t Crc32(const QByteArray& bytes) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (char byte : bytes)
        crc = table[(crc ^ static_cast<std::uint8_t>(byte)) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

void AppendUint32(QByteArray& out, std::uint32_t value) {
    char bytes[4];
    qToBigEndian(value, bytes);
    out.append(bytes, 4);
}

void AppendChunk(QByteArray& out, const char* type, const QByteArray& data) {
    AppendUint32(out, static_cast<std::uint32_t>(data.size()));
    const QByteArray typed = QByteArray(type) + data;
    out.append(typed);
    AppendUint32(out, Crc32(typed));
}

}  // namespace

bool WritePng4(const QImage& image, const QString& path) {
    if (image.format() != QImage::Format_Indexed8 || image.colorCount() > 16)
        throw std::invalid_argument("WritePng4 needs an indexed image of at most 16 colours");
    const int width = image.width();
    const int height = image.height();

    QByteArray header;
    AppendUint32(header, static_cast<std::uint32_t>(width));
    AppendUint32(header, static_cast<std::uint32_t>(height));
    header.append(char(4));     // bit depth
    header.append(char(3));     // colour type: palette
    header.append(3, char(0));  // deflate, adaptive filtering, no interlace

    QByteArray palette;
    QByteArray alpha;
    bool any_transparent = false;
    for (QRgb colour : image.colorTable()) {
        palette.append(char(qRed(colour))).append(char(qGreen(colour))).append(char(qBlue(colour)));
        alpha.append(char(qAlpha(colour)));
        any_transparent = any_transparent || qAlpha(colour) != 255;
    }

    QByteArray rows;
    for (int y = 0; y < height; ++y) {
        rows.append(char(0));  // filter: none
        const uchar* line = image.constScanLine(y);
        for (int x = 0; x < width; x += 2) {
            const int high = line[x] & 0x0F;
            const int low = x + 1 < width ? line[x + 1] & 0x0F : 0;
            rows.append(char((high << 4) | low));
        }
    }
    // qCompress prefixes the zlib stream with its own 4-byte length.
    const QByteArray compressed = qCompress(rows, 9).mid(4);

    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    AppendChunk(png, "IHDR", header);
    AppendChunk(png, "PLTE", palette);
    if (any_transparent) AppendChunk(png, "tRNS", alpha);
    AppendChunk(png, "IDAT", compressed);
    AppendChunk(png, "IEND", QByteArray());

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    return file.write(png) == png.size() && file.flush();
}

}  // namespace artwork
