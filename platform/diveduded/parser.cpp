#include "platform/diveduded/parser.h"

#include <atomic>
#include <charconv>
#include <cmath>
#include <string>
#include <unordered_set>

namespace diveduded {

namespace {

inline bool isSpace(unsigned char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

inline bool isControl(unsigned char c) { return c < 0x20 || c == 0x7f; }

inline char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string quoted(std::string_view s) {
  // Shows at most 40 bytes of the offending token, never half a UTF-8
  // character; control bytes as '?', so a message stays one printable line
  // whatever the file holds.
  std::string out = "\"";
  std::size_t shown = s.size() > 40 ? 40 : s.size();
  // Cut before a character whose continuation bytes would fall past the end
  // (a token that is no UTF-8 at all is cut where it reaches 37 bytes).
  for (std::size_t back = 0; shown < s.size() && back < 3 && (static_cast<unsigned char>(s[shown]) & 0xC0) == 0x80;
       ++back)
    --shown;
  for (std::size_t i = 0; i < shown; ++i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    out += isControl(c) ? '?' : static_cast<char>(c);
  }
  if (shown < s.size()) out += "...";
  out += '"';
  return out;
}

struct Token {
  std::string_view text;  // empty at the end of the input
  int line = 0;
};

// Splits the text into white-space separated tokens, skipping '#' comments.
class Lexer {
 public:
  explicit Lexer(std::string_view text) : text_(text) {}

  // False on a control character that is no white space (a NUL byte, for
  // instance), comments included.
  bool next(Token& tok, ParseError& err) {
    for (;;) {
      while (pos_ < text_.size() && isSpace(static_cast<unsigned char>(text_[pos_]))) {
        if (text_[pos_] == '\n') ++line_;
        ++pos_;
      }
      if (pos_ < text_.size() && text_[pos_] == '#') {
        for (; pos_ < text_.size() && text_[pos_] != '\n'; ++pos_) {
          const unsigned char c = static_cast<unsigned char>(text_[pos_]);
          if (isControl(c) && !isSpace(c)) return controlCharacter(c, err);
        }
        continue;
      }
      break;
    }
    const std::size_t start = pos_;
    while (pos_ < text_.size()) {
      const unsigned char c = static_cast<unsigned char>(text_[pos_]);
      if (isSpace(c) || c == '#') break;
      if (isControl(c)) return controlCharacter(c, err);
      ++pos_;
    }
    tok.text = text_.substr(start, pos_ - start);
    tok.line = line_;
    return true;
  }

  std::size_t remaining() const { return text_.size() - pos_; }
  int line() const { return line_; }

 private:
  bool controlCharacter(unsigned char c, ParseError& err) const {
    err = {line_, "control character (byte " + std::to_string(c) + ") in the text"};
    return false;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  int line_ = 1;
};

class Parser {
 public:
  Parser(std::string_view text, Network& net, ParseError& err) : lex_(text), net_(net), err_(err) {}

  bool run() {
    long long version = 0;
    if (!keyword("ZKR") || !count("ZKR", 0, 1'000'000, version)) return false;
    if (version != 1) return fail(last_line_, "unsupported format version " + std::to_string(version) + " (expected 1)");
    if (!keyword("OUTPUT") || !name("OUTPUT", net_.output)) return false;

    long long n = 0;
    if (!keyword("INPUTS") || !count("INPUTS", 0, kMaxInputs, n)) return false;
    if (!fits(n * 3, "INPUT lines")) return false;
    const std::size_t inputs = static_cast<std::size_t>(n);
    net_.tags.resize(inputs);
    net_.offsets.resize(inputs);
    net_.scales.resize(inputs);
    std::unordered_set<std::string> seen;
    for (std::size_t i = 0; i < inputs; ++i) {
      if (!keyword("INPUT") || !name("INPUT", net_.tags[i])) return false;
      std::string key(net_.tags[i]);
      for (char& c : key) c = upper(c);
      if (!seen.insert(key).second) return fail(last_line_, "duplicate input tag " + quoted(net_.tags[i]) +
                                                                " (tags are unique regardless of case)");
      if (!number("INPUT offset", net_.offsets[i]) || !number("INPUT scale", net_.scales[i])) return false;
    }

    if (!keyword("OUTPUTSCALE") || !number("OUTPUTSCALE offset", net_.out_offset) ||
        !number("OUTPUTSCALE scale", net_.out_scale))
      return false;

    long long layers = 0;
    if (!keyword("LAYERS") || !count("LAYERS", 1, kMaxLayers, layers)) return false;
    if (!fits(layers * 4, "LAYER blocks")) return false;
    net_.layers.resize(static_cast<std::size_t>(layers));
    long long below = n;
    long long weights = 0;
    for (long long l = 0; l < layers; ++l) {
      Layer& layer = net_.layers[static_cast<std::size_t>(l)];
      const std::string what = "LAYER " + std::to_string(l + 1);
      long long m = 0;
      if (!keyword("LAYER") || !count(what.c_str(), 1, kMaxWidth, m)) return false;
      if (l + 1 == layers && m != 1)
        return fail(last_line_, "the last layer must have width 1, found " + std::to_string(m));
      Token act;
      if (!take(act)) return false;
      if (act.text.empty()) return fail(0, "truncated: expected the activation of " + what);
      if (!activationFromName(act.text, layer.act))
        return fail(act.line, "unknown activation " + quoted(act.text) + " (LINEAR, TANH, SIGMOID or SOFTPLUS)");
      const long long cells = m * below;
      weights += cells;
      if (weights > kMaxWeights)
        return fail(last_line_, "more than " + std::to_string(kMaxWeights) + " weights in the file");
      layer.rows = static_cast<int>(m);
      layer.cols = static_cast<int>(below);
      if (!keyword("W") || !numbers(what + " W", cells, layer.weights)) return false;
      if (!keyword("B") || !numbers(what + " B", m, layer.bias)) return false;
      below = m;
    }

    for (;;) {
      Token tok;
      if (!take(tok)) return false;
      if (tok.text.empty()) return fail(0, "truncated: expected \"CHECK\" or \"END\"");
      if (tok.text == "END") break;
      if (tok.text != "CHECK")
        return fail(tok.line, "expected \"CHECK\" or \"END\", found " + quoted(tok.text));
      if (static_cast<long long>(net_.checks.size()) >= kMaxChecks)
        return fail(tok.line, "more than " + std::to_string(kMaxChecks) + " CHECK lines");
      CheckPoint point;
      if (!numbers("CHECK", n, point.inputs) || !number("CHECK expected value", point.expected)) return false;
      net_.checks.push_back(std::move(point));
    }
    Token rest;
    if (!take(rest)) return false;
    if (!rest.text.empty()) return fail(rest.line, "text after \"END\": " + quoted(rest.text));
    return true;
  }

 private:
  bool fail(int line, std::string message) {
    err_.line = line;
    err_.message = std::move(message);
    return false;
  }

  bool take(Token& tok) {
    if (!lex_.next(tok, err_)) return false;
    if (!tok.text.empty()) last_line_ = tok.line;
    return true;
  }

  bool keyword(const char* word) {
    Token tok;
    if (!take(tok)) return false;
    if (tok.text.empty()) return fail(0, std::string("truncated: expected \"") + word + "\"");
    if (tok.text != word) return fail(tok.line, std::string("expected \"") + word + "\", found " + quoted(tok.text));
    return true;
  }

  bool name(const char* what, std::string& out) {
    Token tok;
    if (!take(tok)) return false;
    if (tok.text.empty()) return fail(0, std::string("truncated: expected the name after \"") + what + "\"");
    if (tok.text.size() > kMaxNameLength)
      return fail(tok.line, std::string(what) + " name of " + std::to_string(tok.text.size()) +
                                " bytes (at most " + std::to_string(kMaxNameLength) + ")");
    out.assign(tok.text);
    return true;
  }

  bool count(const char* what, long long lo, long long hi, long long& out) {
    Token tok;
    if (!take(tok)) return false;
    if (tok.text.empty()) return fail(0, std::string("truncated: expected the count of \"") + what + "\"");
    unsigned long long v = 0;
    const char* b = tok.text.data();
    const char* e = b + tok.text.size();
    const auto r = std::from_chars(b, e, v);
    if (r.ec == std::errc::result_out_of_range && r.ptr == e)
      return fail(tok.line, std::string(what) + " count " + quoted(tok.text) + " is out of range");
    if (r.ec != std::errc() || r.ptr != e)
      return fail(tok.line, std::string("expected a whole number after \"") + what + "\", found " + quoted(tok.text));
    if (v < static_cast<unsigned long long>(lo) || v > static_cast<unsigned long long>(hi))
      return fail(tok.line, std::string(what) + " count " + std::to_string(v) + " is outside " +
                                std::to_string(lo) + ".." + std::to_string(hi));
    out = static_cast<long long>(v);
    return true;
  }

  bool number(const std::string& what, double& out) {
    Token tok;
    if (!take(tok)) return false;
    if (tok.text.empty()) return fail(0, "truncated: expected a number for " + what);
    if (!parseNumber(tok.text, out))
      return fail(tok.line, "expected a finite number for " + what + ", found " + quoted(tok.text));
    return true;
  }

  // Reads exactly count numbers. A keyword met early means a wrong count.
  bool numbers(const std::string& what, long long count, std::vector<double>& out) {
    if (!fits(count, what + " numbers")) return false;
    out.resize(static_cast<std::size_t>(count));
    for (long long i = 0; i < count; ++i) {
      Token tok;
      if (!take(tok)) return false;
      if (tok.text.empty())
        return fail(0, "truncated: " + what + " expects " + std::to_string(count) + " numbers, found " +
                           std::to_string(i));
      if (!parseNumber(tok.text, out[static_cast<std::size_t>(i)])) {
        const bool word = (tok.text[0] >= 'A' && tok.text[0] <= 'Z');
        if (word)
          return fail(tok.line, "wrong count: " + what + " expects " + std::to_string(count) + " numbers, found " +
                                    std::to_string(i) + " before " + quoted(tok.text));
        return fail(tok.line, "expected a finite number in " + what + ", found " + quoted(tok.text));
      }
    }
    return true;
  }

  // Every number or name needs at least one byte of text: a count that the
  // rest of the text cannot hold is refused before anything is allocated.
  bool fits(long long items, const std::string& what) {
    if (items > static_cast<long long>(lex_.remaining()))
      return fail(last_line_, "truncated: the file is too short for " + std::to_string(items) + " " + what);
    return true;
  }

  Lexer lex_;
  Network& net_;
  ParseError& err_;
  int last_line_ = 1;
};

}  // namespace

bool parseNumber(std::string_view token, double& out) {
  if (token.empty()) return false;
  const char* b = token.data();
  const char* e = b + token.size();
  if (*b == '+') {  // from_chars takes '-' but not '+'
    ++b;
    if (b == e || *b == '-') return false;
  }
  // Only decimal spellings: from_chars would also take "inf" and "nan".
  const unsigned char first = static_cast<unsigned char>(*b == '-' && b + 1 < e ? b[1] : *b);
  if (!(first == '.' || (first >= '0' && first <= '9'))) return false;
  double v = 0.0;
  const auto r = std::from_chars(b, e, v, std::chars_format::general);
  if (r.ec != std::errc() || r.ptr != e || !std::isfinite(v)) return false;
  out = v;
  return true;
}

bool isValidName(std::string_view name) {
  if (name.empty() || name.size() > kMaxNameLength) return false;
  for (char ch : name) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (isSpace(c) || isControl(c) || c == '#') return false;
  }
  return true;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  if (a == b) return true;  // the usual case: both written in upper case
  for (std::size_t i = 0; i < a.size(); ++i)
    if (upper(a[i]) != upper(b[i])) return false;
  return true;
}

bool parseNetwork(std::string_view text, Network& net, ParseError& err) {
  static std::atomic<std::uint64_t> next_id{1};
  net = Network{};
  err = ParseError{};
  Parser p(text, net, err);
  if (!p.run()) return false;
  net.id = next_id.fetch_add(1, std::memory_order_relaxed);
  return true;
}

}  // namespace diveduded
