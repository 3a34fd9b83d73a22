#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

namespace quarn::testing {

// Another running copy of the program: `body` runs in a child process forked from the test
// (so it starts from the test's state), and the two sides talk a line at a time.
class OtherCopy {
 public:
  explicit OtherCopy(const std::function<void(OtherCopy&)>& body) {
    if (::pipe(to_copy_) != 0 || ::pipe(to_test_) != 0) return;
    child_ = ::fork();
    in_copy_ = child_ == 0;
    // Each side keeps the ends it uses, so that a side that ends is read as the end.
    ::close(in_copy_ ? to_copy_[1] : to_copy_[0]);
    ::close(in_copy_ ? to_test_[0] : to_test_[1]);
    if (in_copy_) {
      body(*this);
      ::_exit(0);
    }
  }
  ~OtherCopy() {
    ::close(Out());
    ::close(In());
    if (child_ > 0) ::waitpid(child_, nullptr, 0);
  }
  OtherCopy(const OtherCopy&) = delete;
  OtherCopy& operator=(const OtherCopy&) = delete;

  void Send(const std::string& line) {
    const std::string text = line + "\n";
    if (::write(Out(), text.data(), text.size()) < 0) return;
  }
  // The next line from the other side; empty once it has ended.
  std::string Receive() {
    std::string line;
    char c = 0;
    while (::read(In(), &c, 1) == 1 && c != '\n') line += c;
    return line;
  }

 private:
  int Out() const { return in_copy_ ? to_test_[1] : to_copy_[1]; }
  int In() const { return in_copy_ ? to_copy_[0] : to_test_[0]; }

  int to_copy_[2] = {-1, -1};
  int to_test_[2] = {-1, -1};
  pid_t child_ = -1;
  bool in_copy_ = false;
};

}  // namespace quarn::testing
