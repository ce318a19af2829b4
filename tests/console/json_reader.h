#pragma once
// A small JSON reader, enough to read the console's report back.

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tarnvel::testing {

struct JsonValue {
  enum class Kind { Null, Bool, Number, String, Array, Object } kind = Kind::Null;
  bool boolean = false;
  double number = 0;
  std::string string;
  std::vector<JsonValue> array;
  std::map<std::string, JsonValue> object;

  /// The member Name of an object; throws when it is missing.
  const JsonValue& operator[](const std::string& name) const;
};

/// Parses a whole document; throws std::runtime_error on malformed input.
JsonValue ParseJson(const std::string& text);

}  // namespace tarnvel::testing
