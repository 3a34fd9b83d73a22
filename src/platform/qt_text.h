#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "text/cp1252.h"

namespace quarn {

// The model keeps Windows-1252 bytes; Qt works in UTF-16. These two are the only
// crossing points between the two, so that no window guesses an encoding.
inline QString ToQt(std::string_view cp1252) {
  return QString::fromStdString(Cp1252ToUtf8(cp1252));
}

inline std::string FromQt(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return Utf8ToCp1252(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

// Window sizes of the program are in twips; the screen has 15 twips to a pixel.
inline constexpr int kTwipsPerPixel = 15;
inline int TwipsToPixels(int twips) {
  return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}
inline int PixelsToTwips(int pixels) {
  return pixels * kTwipsPerPixel;
}

}  // namespace quarn
