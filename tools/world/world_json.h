// Reading and writing the bubble world as JSON for the vesperine-world tool. Every reader
// throws InputError with a one-line message naming the offending field.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>

#include "world/bubble_table.h"
#include "world/geometry.h"

struct InputError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

const nlohmann::json& Field(const nlohmann::json& object, const char* name);
double NumberField(const nlohmann::json& object, const char* name);
int32_t IntegerField(const nlohmann::json& object, const char* name);
int64_t IntegerFieldInRange(const nlohmann::json& object, const char* name, int64_t low,
                            int64_t high);
bool BooleanField(const nlohmann::json& object, const char* name);
// An array of exactly two numbers, such as [wx, wy].
void NumberPairField(const nlohmann::json& object, const char* name, double& first, double& second);

// Fills BubbleTable[1..n] from the "bubbles" array (record k gets Index k) and returns n.
int32_t ReadBubbles(const nlohmann::json& input);
GustBand ReadBand(const nlohmann::json& input);

// Records 1..count as {"bubbles":[...]}; throws InputError when a value has left the
// range of JSON numbers (infinite or NaN), since it could not be read back.
nlohmann::ordered_json BubblesDocument(int32_t count);
