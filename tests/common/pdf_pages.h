#pragma once

#include <QFile>
#include <QRegularExpression>
#include <QSizeF>
#include <string>
#include <vector>

#include "platform/qt_text.h"

namespace quarn::testing {

// The size of each page of a PDF file, in points; empty when it is not a PDF file. Qt
// writes the page objects uncompressed.
inline std::vector<QSizeF> PdfPages(const std::string& path) {
  QFile file(ToQt(path));
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray bytes = file.readAll();
  if (!bytes.startsWith("%PDF-")) return {};
  static const QRegularExpression page(
      R"(/Type /Page\b[^s][\s\S]*?/MediaBox \[0 0 ([\d.]+) ([\d.]+)\])");
  std::vector<QSizeF> pages;
  for (const auto& m : page.globalMatch(QString::fromLatin1(bytes))) {
    pages.emplace_back(m.captured(1).toDouble(), m.captured(2).toDouble());
  }
  return pages;
}

}  // namespace quarn::testing
