// Every settings test starts and ends with the globals at their process-start values,
// so no test sees what another one loaded.
#pragma once

#include <gtest/gtest.h>

#include "settings/settings.h"

class SettingsGlobalsTest : public ::testing::Test {
 protected:
  void SetUp() override { RestoreInitialSettings(); }
  void TearDown() override { RestoreInitialSettings(); }

  static void ExpectInitialSettings() {
    EXPECT_EQ(BackType, 1);
    EXPECT_EQ(BackPic, "");
    EXPECT_EQ(BallPic, "");
    EXPECT_EQ(PictureList.Count(), 0);
    EXPECT_TRUE(ShowShadow);
    EXPECT_EQ(BallsCount, 10);
    EXPECT_TRUE(SoundOpen);
    EXPECT_EQ(SizeScale, 1.0f);
    EXPECT_EQ(Driver, "");
    EXPECT_TRUE(UseDirectDraw);
  }
};

// The message of a RegistryError, or "" when none is thrown.
template <typename Action>
std::string RegistryErrorOf(Action action) {
  try {
    action();
  } catch (const RegistryError& error) {
    return error.what();
  }
  return "";
}
