#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "text/work_folder.h"

namespace quarn::testing {

// While it lives, every work file the program makes is replaced, before anything is written
// into it, by a symbolic link to `victim`: what another account that may write in the work
// folder could do between the making and the writing.
class PlantedLinks {
 public:
  explicit PlantedLinks(std::string victim) {
    Victim() = std::move(victim);
    SetWorkFolderHook(&Plant);
  }
  ~PlantedLinks() { SetWorkFolderHook(nullptr); }
  PlantedLinks(const PlantedLinks&) = delete;
  PlantedLinks& operator=(const PlantedLinks&) = delete;

 private:
  static std::string& Victim() {
    static std::string victim;
    return victim;
  }
  static void Plant(WorkFolderMoment moment, const std::string& path) {
    if (moment != WorkFolderMoment::WorkFileMade) return;
    const std::string link = path + ".planted";
    ASSERT_EQ(::symlink(Victim().c_str(), link.c_str()), 0);
    ASSERT_EQ(std::rename(link.c_str(), path.c_str()), 0);
  }
};

}  // namespace quarn::testing
