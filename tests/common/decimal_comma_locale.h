#pragma once

#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace quarn::testing {

// Switches the process to a German locale built in a scratch folder, where the C library's
// decimal point is a comma, and back again. Machines rarely have one installed, so the test
// builds its own with localedef (Debian package locales).
class DecimalCommaLocale {
 public:
  DecimalCommaLocale() {
    namespace fs = std::filesystem;
    dir_ = fs::temp_directory_path() / ("quarn-locale-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    if (std::system("command -v localedef >/dev/null 2>&1") != 0) return;
    const std::string command =
        "localedef -i de_DE -f UTF-8 '" + (dir_ / "de_DE.UTF-8").string() + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) return;
    saved_ = std::setlocale(LC_ALL, nullptr);
    ::setenv("LOCPATH", dir_.c_str(), 1);
    active_ = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr &&
              std::string(std::localeconv()->decimal_point) == ",";
  }
  ~DecimalCommaLocale() {
    if (!saved_.empty()) std::setlocale(LC_ALL, saved_.c_str());
    ::unsetenv("LOCPATH");
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  DecimalCommaLocale(const DecimalCommaLocale&) = delete;
  DecimalCommaLocale& operator=(const DecimalCommaLocale&) = delete;
  bool active() const { return active_; }

 private:
  std::filesystem::path dir_;
  std::string saved_;
  bool active_ = false;
};

}  // namespace quarn::testing
