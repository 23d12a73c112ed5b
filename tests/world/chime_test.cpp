#include <algorithm>
#include <limits>

#include "world_fixture.h"

namespace {

uint32_t NoteOn(uint32_t note) {
  return Packed(0x90, note, 127);
}

}  // namespace

class Chime : public WorldTest {
 protected:
  std::unique_ptr<TWindBell> MakeBell(uintptr_t window = 0) {
    auto port = std::make_unique<RecordingMidiPort>(Log);
    Port = port.get();
    return std::make_unique<TWindBell>(std::move(port), window);
  }

  // A bell whose port has opened with the first note, its messages cleared.
  std::unique_ptr<TWindBell> OpenedBell() {
    auto bell = MakeBell();
    bell->Ring(1, 1);
    Log.Messages.clear();
    return bell;
  }

  // The note a ring of a with itself plays, whatever the random draw.
  uint32_t NotePlayedFor(TWindBell& bell, int32_t index) {
    Log.Messages.clear();
    bell.Ring(index, index);
    EXPECT_EQ(Log.Messages.size(), 1u);
    return Log.Messages.empty() ? 0 : (Log.Messages.back() >> 8) & 0xFF;
  }

  MidiLog Log;
  RecordingMidiPort* Port = nullptr;
};

TEST_F(Chime, TheFirstNoteOpensThePortWithTheElectricPianoAndThenTheModulationWheel) {
  auto bell = MakeBell(0x1234);
  EXPECT_TRUE(bell->Enabled);
  EXPECT_FALSE(Log.Opened) << "a bell that never rings opens no device";
  bell->Ring(1, 1);
  bell->Ring(2, 2);
  EXPECT_TRUE(Log.Opened);
  EXPECT_EQ(Log.Window, 0x1234u);
  ASSERT_EQ(Log.Messages.size(), 4u);
  EXPECT_EQ(Log.Messages[0], 0x000004C0u);
  EXPECT_EQ(Log.Messages[1], 0x005001B0u);
  EXPECT_EQ(Log.Messages[2], NoteOn(60));
  EXPECT_EQ(Log.Messages[3], NoteOn(62));
}

TEST_F(Chime, EveryRingAfterOpeningIsOneNoteOnAtFullVelocity) {
  auto bell = MakeBell();
  for (int32_t k = 1; k <= 40; ++k) bell->Ring(k, 41 - k);
  ASSERT_EQ(Log.Messages.size(), 42u);
  for (size_t k = 2; k < Log.Messages.size(); ++k) {
    EXPECT_EQ(Log.Messages[k] & 0xFF00FFu, 0x7F0090u) << k;
  }
  EXPECT_EQ(static_cast<uint32_t>(bell->LastMsg), Log.Messages.back());
}

TEST_F(Chime, FirstFifteenIndicesPlayThePentatonicScaleFromMiddleC) {
  auto bell = OpenedBell();
  const uint32_t scale[] = {60, 62, 65, 67, 70, 72, 74, 77, 79, 82, 84, 86, 89, 91, 94};
  for (int32_t k = 1; k <= 15; ++k) EXPECT_EQ(NotePlayedFor(*bell, k), scale[k - 1]) << k;
  EXPECT_EQ(Log.Messages.back(), NoteOn(94));
}

TEST_F(Chime, HigherIndicesWrapRoundTheFifteenNotes) {
  auto bell = OpenedBell();
  EXPECT_EQ(NotePlayedFor(*bell, 16), 62u);
  EXPECT_EQ(NotePlayedFor(*bell, 30), 60u);
  EXPECT_EQ(NotePlayedFor(*bell, 31), 62u);
  EXPECT_EQ(NotePlayedFor(*bell, 45), 60u);
  EXPECT_EQ(NotePlayedFor(*bell, 46), 62u);
  EXPECT_EQ(NotePlayedFor(*bell, 100), 84u);
}

TEST_F(Chime, IndicesBelowOneStillPlayANoteOfTheScale) {
  auto bell = OpenedBell();
  for (int32_t index : {0, -1, -15, std::numeric_limits<int32_t>::min()}) {
    const uint32_t note = NotePlayedFor(*bell, index);
    EXPECT_NE(std::find(ChimeNotes + 1, ChimeNotes + 16, int32_t(note)), ChimeNotes + 16) << index;
  }
}

TEST_F(Chime, RingPlaysEitherBubblesNoteAsTheSharedGeneratorDecides) {
  auto bell = OpenedBell();
  SeedRandom(77);
  std::vector<int32_t> draws;
  for (int k = 0; k < 64; ++k) draws.push_back(Random(2));
  SeedRandom(77);
  Log.Messages.clear();
  for (int k = 0; k < 64; ++k) bell->Ring(3, 16);  // notes 65 and 62
  ASSERT_EQ(Log.Messages.size(), 64u);
  for (int k = 0; k < 64; ++k) EXPECT_EQ(Log.Messages[k], NoteOn(draws[k] == 0 ? 65 : 62)) << k;
  EXPECT_NE(std::count(draws.begin(), draws.end(), 0), 0);
  EXPECT_NE(std::count(draws.begin(), draws.end(), 1), 0);
}

TEST_F(Chime, DisabledBellSendsNothing) {
  auto bell = MakeBell();
  bell->Enabled = false;
  bell->Ring(1, 2);
  EXPECT_TRUE(Log.Messages.empty());
  EXPECT_FALSE(Log.Opened);
}

TEST_F(Chime, FreeingTheBellClosesThePortWithoutAnotherMessage) {
  auto bell = MakeBell();
  bell->Ring(1, 1);
  bell.reset();
  EXPECT_TRUE(Log.Closed);
  EXPECT_EQ(Log.Messages.size(), 3u);
}

TEST_F(Chime, PortThatFailsToOpenLeavesAUsableSilentBell) {
  auto port = std::make_unique<RecordingMidiPort>(Log);
  port->ThrowOnOpen = true;
  TWindBell bell(std::move(port), 0);
  EXPECT_TRUE(bell.Enabled);
  bell.Ring(1, 2);
  bell.Ring(1, 2);
  EXPECT_EQ(Log.Messages.size(), 2u) << "the instrument is skipped with the open";
}

TEST_F(Chime, PortThatFailsToSendIsSilentAndTheBellRingsOn) {
  auto bell = MakeBell();
  Port->ThrowOnSend = true;
  bell->Ring(1, 2);
  bell->Ring(3, 4);
  Port->ThrowOnSend = false;
  bell->Ring(5, 5);
  EXPECT_EQ(Log.Messages.back(), NoteOn(70));
}

TEST_F(Chime, BellWithoutAPortOrOverTheSystemPortRunsSilently) {
  TWindBell portless(nullptr, 0);
  portless.Ring(1, 2);
  const auto last = static_cast<uint32_t>(portless.LastMsg);
  EXPECT_TRUE(last == NoteOn(60) || last == NoteOn(62)) << std::hex << last;

  // No MIDI device natively nor under Wine: opening, ringing and closing stay silent.
  auto system = std::make_unique<TWindBell>(CreateSystemMidiPort(), 0);
  system->Ring(7, 7);
  EXPECT_EQ(system->LastMsg, static_cast<int32_t>(NoteOn(74)));
  system.reset();
}

TEST_F(Chime, RingObserverSeesTheArgumentsAsGiven) {
  auto bell = MakeBell();
  std::vector<std::pair<int32_t, int32_t>> seen;
  bell->OnRing = [&](int32_t a, int32_t b) { seen.push_back({a, b}); };
  bell->Ring(46, 3);
  bell->Enabled = false;
  bell->Ring(2, 99);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], std::make_pair(46, 3));
  EXPECT_EQ(seen[1], std::make_pair(2, 99));
}
