// One GDI+ session for the whole test program, as the saver has one for its process.
#include <gtest/gtest.h>

#include "gdiplus/win/pictures.h"

namespace {

class GdiplusSession : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_TRUE(StartGdiplus()) << "GDI+ did not start"; }
  void TearDown() override { ShutdownGdiplus(); }
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new GdiplusSession);
  return RUN_ALL_TESTS();
}
