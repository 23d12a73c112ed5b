// Every value of the settings key, declared once: its name, how it is stored, what its
// global holds until it is loaded, and the range the dialog keeps it in. The load reads
// the values in the table's order; a value that cannot be read stops it there.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "world/bubble_table.h"

enum class SettingKind { String, Integer, Boolean };

// The rows of the table, in its order.
enum SettingRow : uint8_t {
  RowBackType,
  RowBackPic,
  RowBallPic,
  RowShowShadow,
  RowBallsCount,
  RowSoundOpen,
  RowBallSize,
  RowDriver,
};

struct SettingRange {
  int32_t Minimum = 0;
  int32_t Maximum = 0;
};

struct SettingDefinition {
  SettingRow Row;
  const char* Name;
  SettingKind Kind;
  int32_t Default = 0;  // integers, and Booleans as 0 or 1; every string starts empty
  bool HasRange = false;
  SettingRange Range{};
};

inline constexpr std::array<SettingDefinition, 8> SettingTable = {{
    {RowBackType, "BackType", SettingKind::Integer, 1},
    {RowBackPic, "BackPic", SettingKind::String},
    {RowBallPic, "BallPic", SettingKind::String},
    {RowShowShadow, "ShowShadow", SettingKind::Boolean, 1},
    // The dialog offers no more bubbles than the world's table holds.
    {RowBallsCount, "BallsCount", SettingKind::Integer, 10, true, {0, BubbleCapacity}},
    {RowSoundOpen, "SoundOpen", SettingKind::Boolean, 1},
    // Tenths of the base bubble size.
    {RowBallSize, "BallSize", SettingKind::Integer, 10, true, {2, 20}},
    {RowDriver, "Driver", SettingKind::String},
}};

constexpr const SettingDefinition& SettingFor(SettingRow row) {
  return SettingTable[row];
}

constexpr bool RowsInOrder() {
  for (size_t i = 0; i < SettingTable.size(); ++i) {
    if (static_cast<size_t>(SettingTable[i].Row) != i) return false;
  }
  return true;
}
static_assert(RowsInOrder(), "SettingFor indexes the table by row");

constexpr int32_t InitialInteger(SettingRow row) {
  return SettingFor(row).Default;
}
constexpr bool InitialBool(SettingRow row) {
  return SettingFor(row).Default != 0;
}

constexpr int32_t ClampToRange(SettingRow row, int32_t value) {
  const SettingRange range = SettingFor(row).Range;
  return value < range.Minimum ? range.Minimum : value > range.Maximum ? range.Maximum : value;
}

// BallSize is stored in tenths of the base size and lives in memory as the factor.
constexpr float SizeScaleFromBallSize(int32_t tenths) {
  return static_cast<float>(tenths) / 10.0f;
}

// The DirectDraw caption starts with a capital D; no stored choice means DirectDraw.
constexpr bool DriverMeansDirectDraw(std::string_view driver) {
  return driver.empty() || driver.front() == 'D';
}
