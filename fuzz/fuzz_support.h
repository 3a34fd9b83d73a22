#pragma once

// What every fuzz target shares: a folder of its own for the files it reads and writes, and
// the checks that turn a broken promise of a reader into a finding.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "common/scripted_prompt.h"
#include "text/text_reader.h"

namespace quarn::fuzz {

// In memory where the system offers it: every input is written and read a few times.
inline const std::string& Folder() {
  // Never destroyed, so that the clean-up at exit can still name it.
  static const std::string* folder = [] {
    std::error_code ec;
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
    const std::filesystem::path dir = base / ("quarn-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(Folder(), ignored);
    });
    return new std::string(dir.string());
  }();
  return *folder;
}

inline std::string PathOf(const std::string& name) {
  return Folder() + "/" + name;
}

// Writes the bytes as the named file of the folder and returns its path.
inline std::string WriteFile(const std::string& name, std::string_view bytes) {
  const std::string path = PathOf(name);
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) std::abort();
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
  return path;
}

inline std::string WriteInput(const uint8_t* data, size_t size, const std::string& name) {
  return WriteFile(name, std::string_view(reinterpret_cast<const char*>(data), size));
}

inline std::string FileBytes(const std::string& path) {
  std::string bytes;
  ReadFileBytes(path, bytes);
  return bytes;
}

// A failed check aborts, so that libFuzzer keeps the input as a finding.
inline void Require(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

inline size_t Messages(const testing::ScriptedPrompt& prompt) {
  return prompt.Count("message");
}

// A refused file must say so and leave the record as it was (compared through what the
// record's writer makes of it).
inline void RequireRefusedCleanly(const testing::ScriptedPrompt& prompt, const std::string& before,
                                  const std::string& after) {
  Require(Messages(prompt) > 0, "a file was refused without a message");
  Require(before == after, "a refused file changed the record");
}

}  // namespace quarn::fuzz
