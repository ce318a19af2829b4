#include "console/json_reader.h"

#include <cstdlib>
#include <stdexcept>

#include "sysroutines/utf8.h"

namespace tarnvel::testing {
namespace {

class Parser {
 public:
  explicit Parser(const std::string& text) : text_(text) {}

  JsonValue Document() {
    JsonValue value = Value();
    Skip();
    if (at_ != text_.size()) Fail("text after the document");
    return value;
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    throw std::runtime_error("JSON: " + what + " at " + std::to_string(at_));
  }
  void Skip() {
    while (at_ < text_.size() &&
           (text_[at_] == ' ' || text_[at_] == '\n' || text_[at_] == '\r' || text_[at_] == '\t'))
      ++at_;
  }
  bool Take(char c) {
    Skip();
    if (at_ < text_.size() && text_[at_] == c) {
      ++at_;
      return true;
    }
    return false;
  }
  void Expect(char c) {
    if (!Take(c)) Fail(std::string("expected ") + c);
  }
  bool Word(const char* word) {
    const std::string w(word);
    if (text_.compare(at_, w.size(), w) != 0) return false;
    at_ += w.size();
    return true;
  }

  std::string String() {
    Expect('"');
    std::string out;
    for (;;) {
      if (at_ >= text_.size()) Fail("unterminated string");
      const char c = text_[at_++];
      if (c == '"') return out;
      if (static_cast<unsigned char>(c) < 0x20) Fail("control character in a string");
      if (c != '\\') {
        out += c;
        continue;
      }
      if (at_ >= text_.size()) Fail("unterminated escape");
      const char e = text_[at_++];
      switch (e) {
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case '"':
        case '\\':
        case '/':
          out += e;
          break;
        case 'u': {
          if (at_ + 4 > text_.size()) Fail("short \\u escape");
          sys::AppendUtf8(out,
                          static_cast<char32_t>(std::strtoul(text_.substr(at_, 4).c_str(), nullptr, 16)));
          at_ += 4;
          break;
        }
        default:
          Fail("unknown escape");
      }
    }
  }

  JsonValue Value() {
    Skip();
    if (at_ >= text_.size()) Fail("unexpected end");
    JsonValue value;
    const char c = text_[at_];
    if (c == '"') {
      value.kind = JsonValue::Kind::String;
      value.string = String();
    } else if (c == '{') {
      ++at_;
      value.kind = JsonValue::Kind::Object;
      if (Take('}')) return value;
      do {
        Skip();
        std::string name = String();
        Expect(':');
        value.object[name] = Value();
      } while (Take(','));
      Expect('}');
    } else if (c == '[') {
      ++at_;
      value.kind = JsonValue::Kind::Array;
      if (Take(']')) return value;
      do value.array.push_back(Value());
      while (Take(','));
      Expect(']');
    } else if (Word("true") || Word("false")) {
      value.kind = JsonValue::Kind::Bool;
      value.boolean = text_[at_ - 1] == 'e' && text_[at_ - 2] == 'u';
    } else if (Word("null")) {
    } else {
      char* end = nullptr;
      value.kind = JsonValue::Kind::Number;
      value.number = std::strtod(text_.c_str() + at_, &end);
      if (end == text_.c_str() + at_) Fail("unexpected character");
      at_ = static_cast<std::size_t>(end - text_.c_str());
    }
    return value;
  }

  const std::string& text_;
  std::size_t at_ = 0;
};

}  // namespace

const JsonValue& JsonValue::operator[](const std::string& name) const {
  const auto found = object.find(name);
  if (found == object.end()) throw std::runtime_error("JSON: no member " + name);
  return found->second;
}

JsonValue ParseJson(const std::string& text) {
  return Parser(text).Document();
}

}  // namespace tarnvel::testing
