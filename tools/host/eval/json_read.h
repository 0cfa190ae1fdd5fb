// A small JSON reader for the timelines this program writes (and any other valid JSON):
// values into a plain tree.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace zunkhost {

struct JsonValue {
  enum Type { kNull, kBool, kNumber, kString, kArray, kObject };
  Type type = kNull;
  bool boolean = false;
  double number = 0;
  std::string text;
  std::vector<JsonValue> items;                            // kArray
  std::vector<std::pair<std::string, JsonValue>> members;  // kObject, in file order

  // The member named key of an object, or null.
  const JsonValue* Find(const std::string& key) const;
};

// Parses the whole text. Members named skipKey are checked but not kept (a timeline's
// per-frame rows). False with the reason and the byte offset in *error.
bool ParseJson(const std::string& text,
               JsonValue* out,
               std::string* error,
               const std::string& skipKey = "");

}  // namespace zunkhost
