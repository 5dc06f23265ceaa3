// The main of the GoogleTest programs. A run of tests closes with GoogleTest's summary line;
// a listing (--gtest_list_tests, which CTest's test discovery runs) closes with none, so this
// prints one: cmake/wine-run.sh passes a test program's run only if its closing line is there.
#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  if (GTEST_FLAG_GET(list_tests)) std::printf("End of the list of tests.\n");
  return result;
}
