#pragma once

#include <algorithm>

#include <QImage>
#include <QRect>

namespace quarn::testing {

// The smallest rectangle that holds every pixel of the image that is not
// (close to) white: what a picture test compares with where a drawing should
// have gone. Anti-aliasing leaves faint grey at edges, so "white" allows a
// little tolerance. An image with no ink gives a null rectangle.
inline QRect InkBounds(const QImage& image, int tolerance = 16) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  int left = rgb.width(), top = rgb.height(), right = -1, bottom = -1;
  for (int y = 0; y < rgb.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    for (int x = 0; x < rgb.width(); ++x) {
      const QRgb p = line[x];
      const bool white =
          qRed(p) >= 255 - tolerance && qGreen(p) >= 255 - tolerance && qBlue(p) >= 255 - tolerance;
      if (white) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  if (right < 0) return {};
  return QRect(QPoint(left, top), QPoint(right, bottom));
}

}  // namespace quarn::testing
