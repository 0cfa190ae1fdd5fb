// ParseJson: recursive descent over the text, with a depth limit.
#include "eval/json_read.h"

#include <cstdlib>
#include <cstring>

namespace zunkhost {
namespace {

class Parser {
 public:
  Parser(const std::string& text, const std::string& skipKey) : s_(text), skip_(skipKey) {}

  bool Document(JsonValue* out, std::string* error) {
    bool ok = Value(out, 0, true);
    Blank();
    if (ok && p_ != s_.size()) {
      ok = false;
      why_ = "text after the end";
    }
    if (!ok)
      *error = why_ + " at byte " + std::to_string(p_);
    return ok;
  }

 private:
  void Blank() {
    while (p_ < s_.size() && std::strchr(" \t\r\n", s_[p_]))
      ++p_;
  }

  bool Expect(char c) {
    Blank();
    if (p_ < s_.size() && s_[p_] == c) {
      ++p_;
      return true;
    }
    why_ = std::string("'") + c + "' expected";
    return false;
  }

  bool Word(const char* w) {
    size_t n = std::strlen(w);
    if (s_.compare(p_, n, w) != 0) {
      why_ = "unknown word";
      return false;
    }
    p_ += n;
    return true;
  }

  bool String(std::string* out) {
    if (!Expect('"'))
      return false;
    while (p_ < s_.size()) {
      char c = s_[p_++];
      if (c == '"')
        return true;
      if (static_cast<unsigned char>(c) < 0x20) {
        why_ = "control character in a string";
        return false;
      }
      if (c != '\\') {
        *out += c;
        continue;
      }
      if (p_ >= s_.size())
        break;
      char e = s_[p_++];
      const char* from = "\"\\/bfnrt";
      const char* to = "\"\\/\b\f\n\r\t";
      if (const char* k = std::strchr(from, e); k && e) {
        *out += to[k - from];
      } else if (e == 'u' && p_ + 4 <= s_.size()) {
        unsigned code = static_cast<unsigned>(std::strtoul(s_.substr(p_, 4).c_str(), nullptr, 16));
        p_ += 4;
        if (code < 0x80) {
          *out += static_cast<char>(code);
        } else if (code < 0x800) {
          *out += static_cast<char>(0xC0 | (code >> 6));
          *out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
          *out += static_cast<char>(0xE0 | (code >> 12));
          *out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
          *out += static_cast<char>(0x80 | (code & 0x3F));
        }
      } else {
        why_ = "bad escape";
        return false;
      }
    }
    why_ = "unterminated string";
    return false;
  }

  bool Number(JsonValue* out) {
    const char* start = s_.c_str() + p_;
    char* end = nullptr;
    out->number = std::strtod(start, &end);
    if (end == start || !*start || !std::strchr("-0123456789", *start)) {
      why_ = "value expected";
      return false;
    }
    out->type = JsonValue::kNumber;
    p_ += static_cast<size_t>(end - start);
    return true;
  }

  bool Value(JsonValue* out, int depth, bool keep) {
    if (depth > 64) {
      why_ = "nested too deep";
      return false;
    }
    Blank();
    if (p_ >= s_.size()) {
      why_ = "value expected";
      return false;
    }
    char c = s_[p_];
    if (c == '{') {
      ++p_;
      out->type = JsonValue::kObject;
      Blank();
      if (p_ < s_.size() && s_[p_] == '}') {
        ++p_;
        return true;
      }
      for (;;) {
        std::string key;
        if (!String(&key) || !Expect(':'))
          return false;
        JsonValue v;
        bool keepMember = keep && key != skip_;
        if (!Value(&v, depth + 1, keepMember))
          return false;
        if (keepMember)
          out->members.emplace_back(std::move(key), std::move(v));
        Blank();
        if (p_ < s_.size() && s_[p_] == ',') {
          ++p_;
          continue;
        }
        return Expect('}');
      }
    }
    if (c == '[') {
      ++p_;
      out->type = JsonValue::kArray;
      Blank();
      if (p_ < s_.size() && s_[p_] == ']') {
        ++p_;
        return true;
      }
      for (;;) {
        JsonValue v;
        if (!Value(&v, depth + 1, keep))
          return false;
        if (keep)
          out->items.push_back(std::move(v));
        Blank();
        if (p_ < s_.size() && s_[p_] == ',') {
          ++p_;
          continue;
        }
        return Expect(']');
      }
    }
    if (c == '"') {
      out->type = JsonValue::kString;
      return String(&out->text);
    }
    if (c == 't' || c == 'f') {
      out->type = JsonValue::kBool;
      out->boolean = c == 't';
      return Word(c == 't' ? "true" : "false");
    }
    if (c == 'n') {
      out->type = JsonValue::kNull;
      return Word("null");
    }
    return Number(out);
  }

  const std::string& s_;
  const std::string& skip_;
  size_t p_ = 0;
  std::string why_;
};

}  // namespace

const JsonValue* JsonValue::Find(const std::string& key) const {
  for (const auto& m : members)
    if (m.first == key)
      return &m.second;
  return nullptr;
}

bool ParseJson(const std::string& text,
               JsonValue* out,
               std::string* error,
               const std::string& skipKey) {
  *out = JsonValue();
  return Parser(text, skipKey).Document(out, error);
}

}  // namespace zunkhost
