#include "env/private_test_env.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace quarn::testing {
namespace {

std::string& Root() {
  static std::string root;
  return root;
}
pid_t& Owner() {
  static pid_t owner = 0;
  return owner;
}

// A child a test forks leaves the folder to the process that made it.
void RemoveRoot() {
  std::error_code ignored;
  if (!Root().empty() && getpid() == Owner()) std::filesystem::remove_all(Root(), ignored);
}

}  // namespace

void UsePrivateTestFolders() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/quarn-test-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) {
    std::perror("quarn tests: cannot create a private temporary folder");
    std::exit(2);
  }
  Root() = pattern;
  Owner() = getpid();
  std::atexit(RemoveRoot);
  for (const char* name : {"TMPDIR", "HOME", "XDG_RUNTIME_DIR", "XDG_CACHE_HOME", "XDG_CONFIG_HOME",
                           "XDG_DATA_HOME"}) {
    const std::string folder = pattern + "/" + name;
    mkdir(folder.c_str(), 0700);
    setenv(name, folder.c_str(), 1);
  }
}

}  // namespace quarn::testing
