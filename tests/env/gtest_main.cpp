#include <gtest/gtest.h>

#include "env/private_test_env.h"

int main(int argc, char** argv) {
  quarn::testing::UsePrivateTestFolders();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
