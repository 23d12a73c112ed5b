#include <algorithm>
#include <limits>

#include "world_fixture.h"

class Chime : public WorldTest {
 protected:
  // The note of ringing an index with itself, which does not depend on the random draw.
  uint32_t NoteOf(int32_t index) {
    Log.Messages.clear();
    Bell->Ring(index, index);
    EXPECT_EQ(Log.Messages.size(), 1u);
    return Log.Messages.empty() ? 0 : (Log.Messages[0] >> 8) & 0xFF;
  }

  MidiLog Log;
  std::unique_ptr<TWindBell> Bell =
      std::make_unique<TWindBell>(std::make_unique<RecordingMidiPort>(Log), 0x1234);
};

TEST_F(Chime, OpeningSetsTheElectricPianoAndThenTheModulationWheel) {
  EXPECT_EQ(Log.Window, 0x1234u);
  EXPECT_TRUE(Bell->Enabled);
  EXPECT_EQ(Log.Messages, (std::vector<uint32_t>{0x000004C0, 0x005001B0}));
  EXPECT_EQ(Bell->LastMsg, 0x005001B0);
}

TEST_F(Chime, IndicesPlayThePentatonicScaleAndWrapRoundItsFifteenNotes) {
  const std::pair<int32_t, uint32_t> expected[] = {
      {1, 60},  {2, 62},  {3, 65},  {4, 67},  {5, 70},  {6, 72},  {7, 74},
      {8, 77},  {9, 79},  {10, 82}, {11, 84}, {12, 86}, {13, 89}, {14, 91},
      {15, 94}, {16, 62}, {30, 60}, {31, 62}, {45, 60}, {46, 62}, {100, 84}};
  for (auto [index, note] : expected) EXPECT_EQ(NoteOf(index), note) << index;
  for (int32_t index : {0, -1, -15, std::numeric_limits<int32_t>::min()}) {
    const auto note = static_cast<int32_t>(NoteOf(index));
    EXPECT_NE(std::find(ChimeNotes + 1, ChimeNotes + 16, note), ChimeNotes + 16) << index;
  }
}

TEST_F(Chime, EachRingIsOneFullVelocityNoteOfEitherBubbleAsTheGeneratorDecides) {
  SeedRandom(77);
  std::vector<uint32_t> expected;
  for (int k = 0; k < 64; ++k) expected.push_back(NoteOn(Random(2) == 0 ? 65 : 62));
  ASSERT_NE(std::count(expected.begin(), expected.end(), NoteOn(65)) % 64, 0);
  SeedRandom(77);
  Log.Messages.clear();
  for (int k = 0; k < 64; ++k) Bell->Ring(3, 16);
  EXPECT_EQ(Log.Messages, expected);
  EXPECT_EQ(static_cast<uint32_t>(Bell->LastMsg), expected.back());
}

TEST_F(Chime, DisabledBellSendsNothingButItsObserverSeesEveryRing) {
  std::vector<std::pair<int32_t, int32_t>> seen;
  Bell->OnRing = [&](int32_t a, int32_t b) { seen.push_back({a, b}); };
  Bell->Enabled = false;
  Bell->Ring(46, 3);
  EXPECT_EQ(Log.Messages.size(), 2u);
  EXPECT_EQ(seen, (std::vector<std::pair<int32_t, int32_t>>{{46, 3}}));
  Bell.reset();
  EXPECT_TRUE(Log.Closed);
  EXPECT_EQ(Log.Messages.size(), 2u) << "closing sends no message";
}

TEST_F(Chime, FailingPortLeavesAUsableSilentBell) {
  Log = MidiLog{};
  Log.FailOpen = true;
  Bell = std::make_unique<TWindBell>(std::make_unique<RecordingMidiPort>(Log), 0);
  EXPECT_TRUE(Bell->Enabled);
  EXPECT_TRUE(Log.Messages.empty()) << "the instrument is set only after a good open";
  Log.FailSend = true;
  Bell->Ring(1, 2);
  Log.FailSend = false;
  Bell->Ring(5, 5);
  EXPECT_EQ(Log.Messages, std::vector<uint32_t>{NoteOn(70)});
}

// Natively the system port is silent; under Wine there is no MIDI device.
TEST_F(Chime, BellOverTheSystemPortOrNoPortRunsSilently) {
  TWindBell system(CreateSystemMidiPort(), 0);
  TWindBell portless(nullptr, 0);
  for (TWindBell* bell : {&system, &portless}) {
    bell->Ring(7, 7);
    EXPECT_EQ(static_cast<uint32_t>(bell->LastMsg), NoteOn(74));
  }
}
