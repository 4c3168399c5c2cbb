#pragma once
// Writes 16-colour pictures as 4-bit palette PNG files. Qt's own writer stores every palette
// image at 8 bits per pixel; the window's pictures are meant to be 16-colour bitmaps.

#include <QString>

class QImage;

namespace artwork {

// `image` is Format_Indexed8 with at most 16 colours; palette alpha is kept (tRNS).
// Returns false when the file cannot be written.
bool WritePng4(const QImage& image, const QString& path);

}  // namespace artwork
