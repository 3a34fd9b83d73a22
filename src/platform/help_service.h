#pragma once

#include <functional>
#include <string>

class QUrl;

namespace quarn {

class Prompt;

// Help for a window: the named help file, opened at the window's keyword.
class HelpService {
 public:
  virtual ~HelpService() = default;
  virtual void ShowHelp(const std::string& help_file, const std::string& keyword) = 0;
};

// Looks for the help file in the help folder whatever its letter case and opens it with
// the system's viewer at the keyword; where no help file is installed it says so.
class QtHelpService : public HelpService {
 public:
  using Opener = std::function<bool(const QUrl&)>;
  // `opener` shows a URL; by default the desktop's viewer.
  QtHelpService(Prompt& prompt, std::string help_folder, Opener opener = {});
  void ShowHelp(const std::string& help_file, const std::string& keyword) override;

 private:
  Prompt& prompt_;
  std::string help_folder_;
  Opener opener_;
};

}  // namespace quarn
