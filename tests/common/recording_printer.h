#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/printer_service.h"

namespace quarn::testing {

// A printed line as its layout gives it: each text from its column (columns from 1).
inline std::string Line(std::initializer_list<std::pair<int, std::string>> items) {
  std::string line;
  for (const auto& [column, text] : items) {
    line.resize(static_cast<size_t>(column - 1), ' ');
    line += text;
  }
  return line;
}

// A printer that keeps what was printed: the pages of every document, text pages as
// their lines (cut and broken exactly as a printed page cuts them) and picture pages as
// images of `picture_size` pixels. The page size and the clock are the test's to set.
class RecordingPrinter : public PrinterService {
 public:
  struct Page {
    int document = 0;  // from 0, in the order the documents were opened
    std::vector<std::string> lines;
    QImage picture;  // null on a text page
  };

  PageFormat format;
  QSize picture_size{620, 877};
  DateTime now{2026, 12, 8, 14, 5, 9};

  std::vector<Page> pages;
  int documents = 0;  // documents ended
  int setups = 0;

  // Every line of every page, in order.
  std::vector<std::string> Lines() const {
    std::vector<std::string> all;
    for (const Page& p : pages) all.insert(all.end(), p.lines.begin(), p.lines.end());
    return all;
  }

  void Setup() override { ++setups; }
  PageFormat TextFormat() override { return format; }
  DateTime Now() const override { return now; }
  bool BeginDocument() override {
    opened_ = documents_opened_++;
    pages.push_back({opened_, {}, {}});
    return true;
  }
  void PrintLine(int line_on_page, std::string_view text) override {
    EXPECT_EQ(line_on_page, static_cast<int>(pages.back().lines.size()));
    pages.back().lines.emplace_back(text);
  }
  void NewPage() override { pages.push_back({opened_, {}, {}}); }
  void EndDocument() override { ++documents; }

 protected:
  void DrawPicture(const PictureDrawing& draw) override {
    Paint([&](QPainter& painter) {
      SetPicturePage(painter, QRect(QPoint(0, 0), picture_size));
      draw(painter);
    });
  }
  void DrawImage(const QImage& image) override {
    Paint([&](QPainter& painter) {
      painter.drawImage(ImageArea(image.size(), picture_size), image);
    });
  }

 private:
  template <typename F>
  void Paint(F paint) {
    QImage& page = pages.back().picture;
    page = QImage(picture_size, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    paint(painter);
  }

  int documents_opened_ = 0;
  int opened_ = 0;
};

}  // namespace quarn::testing
