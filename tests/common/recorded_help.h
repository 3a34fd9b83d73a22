#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/help_service.h"

namespace quarn::testing {

// A help service that records the help file and keyword of every request.
struct RecordedHelp : HelpService {
  std::vector<std::pair<std::string, std::string>> shown;
  void ShowHelp(const std::string& file, const std::string& keyword) override {
    shown.emplace_back(file, keyword);
  }
};

}  // namespace quarn::testing
