#include "world_json.h"

#include <cmath>
#include <limits>

using nlohmann::json;
using nlohmann::ordered_json;

namespace {

std::string Quoted(const std::string& name) {
  return "\"" + name + "\"";
}

bool IsInteger(const json& value) {
  return value.is_number_integer();
}

int64_t IntegerValue(const json& value, const std::string& name, int64_t low, int64_t high) {
  if (!IsInteger(value)) throw InputError(Quoted(name) + " must be an integer");
  // Unsigned values above the int64_t range are out of every range we accept.
  if (value.is_number_unsigned() && value.get<uint64_t>() > uint64_t(high))
    throw InputError(Quoted(name) + " must lie in " + std::to_string(low) + ".." +
                     std::to_string(high));
  const int64_t v = value.get<int64_t>();
  if (v < low || v > high)
    throw InputError(Quoted(name) + " must lie in " + std::to_string(low) + ".." +
                     std::to_string(high));
  return v;
}

double NumberValue(const json& value, const std::string& name) {
  if (!value.is_number()) throw InputError(Quoted(name) + " must be a number");
  return value.get<double>();
}

const json& Element(const json& array, size_t k) {
  return array.at(k);
}

const json& ArrayField(const json& object, const char* name, size_t size) {
  const json& value = Field(object, name);
  if (!value.is_array() || value.size() != size)
    throw InputError(Quoted(name) + " must be an array of " + std::to_string(size));
  return value;
}

void ReadBubble(const json& item, int32_t index) {
  if (!item.is_object()) throw InputError("bubble " + std::to_string(index) + " must be an object");
  Bubble& b = BubbleTable[index];
  b.Index = index;
  b.X = NumberField(item, "x");
  b.Y = NumberField(item, "y");
  b.VX = NumberField(item, "vx");
  b.VY = NumberField(item, "vy");
  b.Red = IntegerField(item, "red");
  b.Green = IntegerField(item, "green");
  b.Blue = IntegerField(item, "blue");
  b.RedStep = IntegerField(item, "red_step");
  b.GreenStep = IntegerField(item, "green_step");
  b.BlueStep = IntegerField(item, "blue_step");
  b.Active = BooleanField(item, "active");
}

double Finite(double v) {
  if (!std::isfinite(v))
    throw InputError("a result left the range of JSON numbers (the input is too large)");
  return v;
}

ordered_json BubbleObject(const Bubble& b) {
  return ordered_json{
      {"x", Finite(b.X)},        {"y", Finite(b.Y)},      {"vx", Finite(b.VX)},
      {"vy", Finite(b.VY)},      {"red", b.Red},          {"green", b.Green},
      {"blue", b.Blue},          {"red_step", b.RedStep}, {"green_step", b.GreenStep},
      {"blue_step", b.BlueStep}, {"active", b.Active}};
}

}  // namespace

const json& Field(const json& object, const char* name) {
  if (!object.is_object()) throw InputError("the input must be a JSON object");
  const auto found = object.find(name);
  if (found == object.end()) throw InputError("missing field " + Quoted(name));
  return *found;
}

double NumberField(const json& object, const char* name) {
  return NumberValue(Field(object, name), name);
}

int32_t IntegerField(const json& object, const char* name) {
  return static_cast<int32_t>(IntegerFieldInRange(object, name, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

int64_t IntegerFieldInRange(const json& object, const char* name, int64_t low, int64_t high) {
  return IntegerValue(Field(object, name), name, low, high);
}

bool BooleanField(const json& object, const char* name) {
  const json& value = Field(object, name);
  if (!value.is_boolean()) throw InputError(Quoted(name) + " must be true or false");
  return value.get<bool>();
}

void NumberPairField(const json& object, const char* name, double& first, double& second) {
  const json& pair = ArrayField(object, name, 2);
  first = NumberValue(Element(pair, 0), std::string(name) + "[0]");
  second = NumberValue(Element(pair, 1), std::string(name) + "[1]");
}

int32_t ReadBubbles(const json& input) {
  const json& bubbles = Field(input, "bubbles");
  if (!bubbles.is_array()) throw InputError("\"bubbles\" must be an array");
  if (bubbles.size() > size_t(BubbleCapacity))
    throw InputError("\"bubbles\" holds " + std::to_string(bubbles.size()) +
                     " bubbles; the world holds at most " + std::to_string(BubbleCapacity));
  const auto count = static_cast<int32_t>(bubbles.size());
  for (int32_t k = 1; k <= count; ++k) ReadBubble(Element(bubbles, size_t(k - 1)), k);
  return count;
}

GustBand ReadBand(const json& input) {
  const json& corners = ArrayField(input, "corners", 4);
  GustBand band{};
  for (size_t k = 0; k < 4; ++k) {
    const json& corner = Element(corners, k);
    const std::string name = "corners[" + std::to_string(k) + "]";
    if (!corner.is_array() || corner.size() != 2)
      throw InputError(Quoted(name) + " must be an array [x, y]");
    const int64_t low = std::numeric_limits<int32_t>::min();
    const int64_t high = std::numeric_limits<int32_t>::max();
    band.Corner[k].x =
        static_cast<int32_t>(IntegerValue(Element(corner, 0), name + "[0]", low, high));
    band.Corner[k].y =
        static_cast<int32_t>(IntegerValue(Element(corner, 1), name + "[1]", low, high));
  }
  return band;
}

ordered_json BubblesDocument(int32_t count) {
  ordered_json bubbles = ordered_json::array();
  for (int32_t k = 1; k <= count; ++k) bubbles.push_back(BubbleObject(BubbleTable[k]));
  return ordered_json{{"bubbles", bubbles}};
}
