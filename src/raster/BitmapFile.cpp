#include "raster/BitmapFile.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstdint>
#include <vector>

namespace pelsid {

bool writeBitmap(const QString& path, int width, int height,
                 const std::function<const QRgb*(int y)>& row, QString* error) {
    // A 24-bit Windows bitmap, bottom row first, written straight from the
    // rows in pieces of a reused buffer: the layout QImage writes, without
    // its copies or a picture-sized allocation per file.
    const std::size_t rowBytes = (std::size_t(width) * 3 + 3) & ~std::size_t(3);
    const std::size_t pixelBytes = rowBytes * std::size_t(height);
    constexpr std::size_t kHeader = 14 + 40;
    std::uint8_t header[kHeader] = {'B', 'M'};
    auto put = [&header](std::size_t at, std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) header[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
    };
    put(2, std::uint32_t(kHeader + pixelBytes), 4);
    put(10, kHeader, 4);
    put(14, 40, 4);
    put(18, std::uint32_t(width), 4);
    put(22, std::uint32_t(height), 4);
    put(26, 1, 2);   // planes
    put(28, 24, 2);  // bits per pixel
    put(34, std::uint32_t(pixelBytes), 4);
    put(38, 3780, 4);  // 96 dots per inch, in dots per metre
    put(42, 3780, 4);

    QFile file(path);
    // A short write is tried again, so that the one that fails names the reason.
    auto writeAll = [&file](const void* data, std::size_t size) {
        const char* p = static_cast<const char*>(data);
        for (qint64 left = qint64(size); left > 0;) {
            const qint64 n = file.write(p, left);
            if (n <= 0) return false;
            p += n;
            left -= n;
        }
        return true;
    };
    // Unbuffered, so a failed write reports the system's reason (a full disk, say).
    const bool opened =
        file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
    bool ok = opened && writeAll(header, kHeader);
    constexpr std::size_t kPiece = 64 * 1024;  // small enough to come from the heap, not mmap
    std::vector<std::uint8_t> piece(std::max(kPiece, rowBytes));
    std::size_t used = 0;
    for (int y = height - 1; ok && y >= 0; --y) {
        if (used + rowBytes > piece.size()) {
            ok = writeAll(piece.data(), used);
            used = 0;
        }
        std::uint8_t* o = piece.data() + used;
        const QRgb* r = row(y);
        for (int x = 0; x < width; ++x) {
            *o++ = std::uint8_t(qBlue(r[x]));
            *o++ = std::uint8_t(qGreen(r[x]));
            *o++ = std::uint8_t(qRed(r[x]));
        }
        std::fill(o, piece.data() + used + rowBytes, std::uint8_t(0));  // row padding
        used += rowBytes;
    }
    ok = ok && writeAll(piece.data(), used) && file.flush();
    if (ok) return true;
    if (error)
        *error = file.errorString().isEmpty() ? QStringLiteral("write failed") : file.errorString();
    // No partial picture stays behind; a device such as /dev/full is not ours to remove.
    file.close();
    if (opened && QFileInfo(path).isFile()) QFile::remove(path);
    return false;
}

}  // namespace pelsid
