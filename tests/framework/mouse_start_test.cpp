#include "framework/mouse_start.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Report {
  int32_t X, Y;
  bool Forwarded;
  int32_t StartX, StartY;  // the start once the report is taken
};

TEST(MouseStartTracker, RecordsTheFirstReportAndForwardsEveryMoveAwayFromIt) {
  const std::vector<std::vector<Report>> sequences = {
      // Recorded, then each move away forwarded and the start kept; back at it, nothing.
      {{300, 200, false, 300, 200},
       {300, 200, false, 300, 200},
       {301, 200, true, 300, 200},
       {300, 199, true, 300, 200},
       {301, 200, true, 300, 200},
       {300, 200, false, 300, 200}},
      // A first report at (0, 0) records nothing, so the next one is recorded instead.
      {{0, 0, false, 0, 0}, {40, 50, false, 40, 50}, {40, 51, true, 40, 50}, {0, 0, true, 40, 50}},
  };
  for (const std::vector<Report>& sequence : sequences) {
    MouseStartTracker tracker;
    for (const Report& report : sequence) {
      EXPECT_EQ(tracker.Report(report.X, report.Y), report.Forwarded)
          << report.X << "," << report.Y;
      EXPECT_EQ(tracker.StartX(), report.StartX);
      EXPECT_EQ(tracker.StartY(), report.StartY);
    }
  }
}

}  // namespace
