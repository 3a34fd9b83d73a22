#include "platform/print_job.h"

#include <algorithm>

namespace quarn {

PrintJob::PrintJob(PageDevice& device, PageFormat format) : device_(device), format_(format) {
  format_.lines_per_page = std::max(format_.lines_per_page, 1);
  format_.chars_per_line = std::max(format_.chars_per_line, 1);
}

void PrintJob::Tab(int column, std::string_view item) {
  const size_t at = static_cast<size_t>(std::max(column, 1) - 1);
  if (line_.size() > at) EndLine();
  line_.resize(std::max(line_.size(), at), ' ');
  Item(item);
}

void PrintJob::Item(std::string_view item) {
  line_ += item;
  line_started_ = true;
}

void PrintJob::EndLine() {
  Emit(line_);
  line_.clear();
  line_started_ = false;
}

void PrintJob::EmptyLine() {
  if (line_started_) EndLine();
  EndLine();
}

void PrintJob::NewPage() {
  if (line_started_) EndLine();
  if (!Open()) return;
  if (page_used_) {
    device_.NewPage();
    page_used_ = false;
    lines_on_page_ = 0;
  }
}

void PrintJob::EndDocument() {
  if (line_started_) EndLine();
  if (!open_) return;
  device_.EndDocument();
  open_ = false;
  page_used_ = false;
  lines_on_page_ = 0;
}

bool PrintJob::ClaimPage() {
  NewPage();
  if (dropped_) return false;
  page_used_ = true;
  lines_on_page_ = format_.lines_per_page;
  return true;
}

bool PrintJob::Open() {
  if (dropped_) return false;
  if (!open_) {
    if (!device_.BeginDocument()) {
      dropped_ = true;
      return false;
    }
    open_ = true;
  }
  return true;
}

void PrintJob::Emit(std::string_view text) {
  if (!Open()) return;
  if (lines_on_page_ >= format_.lines_per_page) {
    device_.NewPage();
    lines_on_page_ = 0;
  }
  const size_t width = static_cast<size_t>(format_.chars_per_line);
  device_.PrintLine(lines_on_page_, text.substr(0, std::min(text.size(), width)));
  ++lines_on_page_;
  page_used_ = true;
}

}  // namespace quarn
