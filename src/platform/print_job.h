#pragma once

#include <string>
#include <string_view>

#include "text/date_time.h"

namespace quarn {

// The size of a text page in characters of the printer's font.
struct PageFormat {
  int lines_per_page = 80;
  int chars_per_line = 110;
};

// What a print job puts its laid-out pages on: the printer, a PDF file or a test's record.
// A job hands over whole lines, already cut to the page width, each with its line number
// on the page (0 at the top).
class PageDevice {
 public:
  virtual ~PageDevice() = default;
  // Opens a document at its first output; false when it cannot be opened (the user
  // cancelled the file name, the printer refused), and the job then drops what is left.
  virtual bool BeginDocument() = 0;
  virtual void PrintLine(int line_on_page, std::string_view text) = 0;
  virtual void NewPage() = 0;
  virtual void EndDocument() = 0;
  // The clock that dates every printed title.
  virtual DateTime Now() const = 0;
};

// Text printing by character columns, as every printout of the program is laid out. Items
// build up the current line; the line goes to the page when it ends. Columns count from 1.
// Texts are Windows-1252 bytes, one byte a character.
//
// A line longer than the page is cut at the right margin; a line past the bottom of a page
// starts a new page (with no heading: headings are the reports' own business). A document
// opens with its first output and ends with EndDocument; ending it again, or ending one
// that printed nothing, does nothing. Output after an end opens the next document.
class PrintJob {
 public:
  PrintJob(PageDevice& device, PageFormat format);

  // The item at column `column` of the current line: blanks up to it, or, when the line
  // is already past that column, on a new line at that column.
  void Tab(int column, std::string_view item);
  // The item directly after the last one.
  void Item(std::string_view item);
  // Ends the current line (an empty line when nothing is on it).
  void EndLine();
  // Ends a line that holds items, then prints an empty line.
  void EmptyLine();
  // Goes on at the top of a new page; a page with nothing on it yet is not wasted.
  void NewPage();
  void EndDocument();
  // A whole page for a picture, at the start of a new page when the current one is in
  // use; the next line goes onto the page after it. False when the output is dropped.
  bool ClaimPage();

  int LinesPerPage() const { return format_.lines_per_page; }
  // The lines the current page still takes, the line being built not counted: a table that
  // repeats its headings on each page asks before a row that would not fit.
  int LinesLeftOnPage() const { return format_.lines_per_page - lines_on_page_; }
  int CharsPerLine() const { return format_.chars_per_line; }
  DateTime Now() const { return device_.Now(); }

 private:
  bool Open();
  void Emit(std::string_view text);

  PageDevice& device_;
  PageFormat format_;
  std::string line_;
  bool line_started_ = false;
  bool open_ = false;
  bool dropped_ = false;
  bool page_used_ = false;
  int lines_on_page_ = 0;
};

}  // namespace quarn
