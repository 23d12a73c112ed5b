// One GDI+ session with the built-in pictures for the whole program, as the saver has
// during a GDI+ run.
#include <gtest/gtest.h>

#include "gdiplus/win/pictures.h"

namespace {

class SceneSession : public ::testing::Environment {
 public:
  void SetUp() override {
    ASSERT_TRUE(StartGdiplus()) << "GDI+ did not start";
    LoadGdiplusPictures();
  }
  void TearDown() override { ShutdownGdiplus(); }
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new SceneSession);
  return RUN_ALL_TESTS();
}
