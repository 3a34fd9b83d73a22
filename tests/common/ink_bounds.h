#pragma once

#include <algorithm>

#include <QImage>
#include <QRect>
#include <QRectF>
#include <QSize>

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

// The pixels of a picture page that a rectangle of page units covers (31,100 units each
// way, as the printer service sets a picture page).
inline QRect OnPicture(const QRectF& units, QSize picture) {
  const double sx = picture.width() / 31100.0, sy = picture.height() / 31100.0;
  return QRectF(units.x() * sx, units.y() * sy, units.width() * sx, units.height() * sy)
      .toAlignedRect();
}

}  // namespace quarn::testing
