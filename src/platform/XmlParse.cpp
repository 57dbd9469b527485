#include "platform/XmlParse.h"

#include <algorithm>
#include <cctype>
#include <string>

#if defined(__i386__) || defined(__x86_64__)
#include <emmintrin.h>
#define QV_XML_SSE2 1
#endif

namespace qv {

namespace {

const size_t npos = std::string_view::npos;

// As the parser tells them (TiXmlBase::IsWhiteSpace, IsAlpha, IsAlphaNum).
bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) || c == '\n' || c == '\r'; }
bool IsNameChar(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return u >= 127 || std::isalnum(u) || c == '_' || c == '-' || c == '.' || c == ':';
}

bool IsNameStart(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return u >= 127 || std::isalpha(u) || c == '_';
}

bool StartsWithNoCase(std::string_view s, size_t at, std::string_view word) {
  if (s.size() - at < word.size()) return false;
  for (size_t i = 0; i < word.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(s[at + i])) != word[i]) return false;
  return true;
}

// In UTF-8 the parser's white space takes in byte-order marks and U+FFFE, U+FFFF; where
// it took one, *utf8Took is set.
size_t SkipSpace(std::string_view s, size_t i, bool utf8, bool* utf8Took = nullptr) {
  while (i < s.size()) {
    if (utf8 && s.size() - i >= 3 && s[i] == '\xEF' &&
        ((s[i + 1] == '\xBB' && s[i + 2] == '\xBF') || (s[i + 1] == '\xBF' && (s[i + 2] == '\xBE' || s[i + 2] == '\xBF')))) {
      i += 3;
      if (utf8Took) *utf8Took = true;
    } else if (IsSpace(s[i])) {
      ++i;
    } else {
      break;
    }
  }
  return i;
}

bool AtEnd(std::string_view s, size_t i) { return i >= s.size() || s[i] == '\0'; }

// Where the parser ends a declaration ("<?xml" at i): quoted values of its version,
// encoding and standalone may hold '>'. npos where the parser gives up, which ends its
// whole parse (TiXmlDeclaration::Parse). onValue(begin, end) gets each of those quoted
// values, the only place in a declaration where the parser reads references.
template <class OnValue>
size_t DeclarationEnd(std::string_view s, size_t i, bool utf8, bool* utf8Took, OnValue&& onValue) {
  size_t p = i + 5;
  while (!AtEnd(s, p)) {
    if (s[p] == '>') return p;
    p = SkipSpace(s, p, utf8, utf8Took);
    if (AtEnd(s, p)) return npos;
    if (StartsWithNoCase(s, p, "version") || StartsWithNoCase(s, p, "encoding") ||
        StartsWithNoCase(s, p, "standalone")) {
      while (!AtEnd(s, p) && IsNameChar(s[p])) ++p;
      p = SkipSpace(s, p, utf8, utf8Took);
      if (AtEnd(s, p) || s[p] != '=') return npos;
      p = SkipSpace(s, p + 1, utf8, utf8Took);
      if (AtEnd(s, p)) return npos;
      if (s[p] == '"' || s[p] == '\'') {
        const char quote = s[p];
        const size_t begin = ++p;
        while (!AtEnd(s, p) && s[p] != quote) ++p;
        if (AtEnd(s, p) || AtEnd(s, p + 1)) return npos;
        onValue(begin, p);
        ++p;
      } else {
        for (; !AtEnd(s, p) && !IsSpace(s[p]) && s[p] != '/' && s[p] != '>'; ++p)
          if (s[p] == '"' || s[p] == '\'') return npos;
      }
    } else {
      while (!AtEnd(s, p) && s[p] != '>' && !IsSpace(s[p])) ++p;
    }
  }
  return npos;
}

size_t DeclarationEnd(std::string_view s, size_t i, bool utf8) {
  return DeclarationEnd(s, i, utf8, nullptr, [](size_t, size_t) {});
}

// The length of the well-formed UTF-8 character that starts at i with a byte from 0x80
// up: encoded in the shortest form, no surrogate, nothing past U+10FFFF. 0: none there.
size_t Utf8Length(std::string_view s, size_t i) {
  const unsigned char c = static_cast<unsigned char>(s[i]);
  size_t extra;
  unsigned char low = 0x80, high = 0xBF;  // the second byte's range
  if (c >= 0xC2 && c <= 0xDF) {
    extra = 1;
  } else if (c >= 0xE0 && c <= 0xEF) {
    extra = 2;
    if (c == 0xE0) low = 0xA0;
    if (c == 0xED) high = 0x9F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    extra = 3;
    if (c == 0xF0) low = 0x90;
    if (c == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (s.size() - i <= extra) return 0;
  for (size_t k = 1; k <= extra; ++k) {
    const unsigned char b = static_cast<unsigned char>(s[i + k]);
    if (k == 1 ? (b < low || b > high) : (b < 0x80 || b > 0xBF)) return 0;
  }
  return extra + 1;
}

// The encoding that a leading declaration names, read by the parser itself: null
// without one. Only comments, other declarations and white space may come before it.
bool LeadingDeclaration(std::string_view s, std::string* encoding) {
  size_t i = 0;
  for (;;) {
    i = SkipSpace(s, i, false);
    if (s.compare(i, 4, "<!--") == 0) {
      i = s.find("-->", i + 4);
      if (i == npos) return false;
      i += 3;
    } else if (StartsWithNoCase(s, i, "<?xml")) {
      const size_t end = DeclarationEnd(s, i, false);
      if (end == npos) return false;
      const std::string declaration(s.substr(i, end + 1 - i));
      TiXmlDeclaration read;
      read.Parse(declaration.c_str(), nullptr, TIXML_ENCODING_UNKNOWN);
      *encoding = read.Encoding();
      return true;
    } else if (s.compare(i, 2, "<?") == 0 || s.compare(i, 2, "<!") == 0) {
      i = s.find('>', i);
      if (i == npos) return false;
      ++i;
    } else {
      return false;
    }
  }
}

// The parser's own detection, settled before it runs so that no declaration can switch
// it to UTF-8 behind the count's back, as far as the start of the text tells it. True:
// a declaration naming no encoding leaves it to the whole text, UTF-8 when that is
// well-formed UTF-8 (files in the ANSI code page often carry a bare declaration).
bool SettleEncodingByForm(std::string_view text, TiXmlEncoding* encoding) {
  if (*encoding != TIXML_ENCODING_UNKNOWN) return false;
  std::string named;
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    *encoding = TIXML_ENCODING_UTF8;
  } else if (!LeadingDeclaration(text, &named)) {
    *encoding = TIXML_ENCODING_LEGACY;
  } else if (named.empty()) {
    return true;
  } else {
    const bool utf8 = StartsWithNoCase(named, 0, "utf-8") || StartsWithNoCase(named, 0, "utf8");
    *encoding = utf8 ? TIXML_ENCODING_UTF8 : TIXML_ENCODING_LEGACY;
  }
  return false;
}

// Where the walk over the bytes stops: '<' (markup for the count), '#' (it may open a
// character reference), and bytes from 0x80 up while the text is still well-formed UTF-8.
struct ByteStops {
  bool at[2][256] = {};  // [UTF-8 so far][byte]
  constexpr ByteStops() {
    for (int utf8 = 0; utf8 < 2; ++utf8) {
      at[utf8][static_cast<unsigned char>('<')] = true;
      at[utf8][static_cast<unsigned char>('#')] = true;
      for (int c = 0x80; c < 0x100 && utf8; ++c) at[utf8][c] = true;
    }
  }
};
constexpr ByteStops kByteStops;

// The value of a decimal or hexadecimal digit; -1 for any other character.
int DigitValue(char c, bool hex) {
  if (c >= '0' && c <= '9') return c - '0';
  if (hex && c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (hex && c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The end of the character reference whose "&#" ends at `hash`, one past its ';', and
// *named its character; npos when it is malformed: "&#" and decimal digits, or "&#x"
// and hexadecimal ones, then ';', naming a character (not 0, no surrogate, nothing past
// U+10FFFF). The parser reads any other "&#" to the next ';' whatever lies between, so
// it is refused.
size_t ReferenceEnd(std::string_view s, size_t hash, char32_t* named) {
  const bool hex = hash + 1 < s.size() && s[hash + 1] == 'x';
  const unsigned base = hex ? 16 : 10;
  size_t i = hash + (hex ? 2 : 1);
  const size_t first = i;
  while (i < s.size() && s[i] == '0') ++i;  // as many leading zeros as it likes
  unsigned long value = 0;
  for (int digit; i < s.size() && (digit = DigitValue(s[i], hex)) >= 0; ++i) {
    value = value * base + static_cast<unsigned>(digit);
    if (value > 0x10FFFF) return npos;  // before it could wrap
  }
  if (i == first || i >= s.size() || s[i] != ';') return npos;
  if (value == 0 || (value >= 0xD800 && value <= 0xDFFF)) return npos;
  *named = static_cast<char32_t>(value);
  return i + 1;
}

#ifdef QV_XML_SSE2
// Sixteen bytes at a time up to the first one the walk stops at, or up to the last
// sixteen before `end`; the byte loop goes on from there. Texts of many megabytes with
// little markup (one long reference) cost about what the parser's own search costs.
__attribute__((target("sse2"))) size_t SkipSixteens(const char* s, size_t i, size_t end, bool utf8) {
  const __m128i less = _mm_set1_epi8('<'), hash = _mm_set1_epi8('#');
  for (; end - i >= 16; i += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    __m128i hit = _mm_or_si128(_mm_cmpeq_epi8(v, less), _mm_cmpeq_epi8(v, hash));
    if (utf8) hit = _mm_or_si128(hit, v);  // the top bit of each byte
    if (const unsigned bits = static_cast<unsigned>(_mm_movemask_epi8(hit))) return i + __builtin_ctz(bits);
  }
  return i;
}

bool HasSse2() {
  static const bool has = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("sse2") != 0;
  }();
  return has;
}
#endif

// What the parser makes of "&#" in a stretch of the text.
enum class References {
  kNone,     // nothing: comments, sections, end tags, other declarations
  kChecked,  // kept as it stands, but checked as before (a tag outside its quoted values)
  kRead,     // a reference: text and quoted values
};

// The character's bytes in the code page, as the parser is to read them in place of its
// reference: one character from a byte of 0x80 up, with no byte it would take for
// markup or space.
bool ReadsAsOneCharacter(std::string_view bytes) {
  if (bytes.empty() || static_cast<unsigned char>(bytes[0]) < 0x80) return false;
  for (char c : bytes)
    if (static_cast<unsigned char>(c) <= ' ' || c == '<' || c == '>' || c == '&' || c == '"' || c == '\'')
      return false;
  return true;
}

// The one walk over the text before the parse. The markup, as the parser reads it in
// UTF-8 or byte by byte, for the nesting and the attributes; every byte on the way, for
// the UTF-8 form and the character references. The parser takes "&#" to the first ';'
// (or the end) whatever lies between, markup too, and makes a character of what it
// finds, a NUL or nothing of what names none: a malformed reference ends the walk, and
// the text is refused whatever its encoding.
class TextWalk {
 public:
  TextWalk(std::string_view s, bool utf8) : m_s(s), m_utf8(utf8) {}

  // The text is the code page's: each reference from U+0080 up is put into it (none
  // without toCodePage), and *out, when given, gets the text with those bytes in place
  // of the references, empty where there were none.
  void ToCodePage(const XmlCodePageEncoder* toCodePage, std::string* out) {
    m_codePage = true;
    m_toCodePage = toCodePage;
    m_out = out;
  }

  void Run() {
    WalkMarkup();
    CheckBytes(m_s.size(), References::kChecked);
    if (m_out && m_copied && !badReference) m_out->append(m_s.substr(m_copied));
  }
  // The markup alone, read in UTF-8 or byte by byte.
  void WalkMarkupAlone(bool utf8) {
    m_utf8 = utf8;
    m_withBytes = false;
    depth = mostAttributes = 0;
    WalkMarkup();
  }

  bool badReference = false;
  char32_t unheld = 0;        // the reference that ended the walk names what the code page lacks
  size_t highReferences = 0;  // references from U+0080 up
  bool wellFormedUtf8 = true;
  size_t depth = 0;           // the deepest nesting
  size_t mostAttributes = 0;  // at most this many in one element
  bool utf8Took = false;      // read in UTF-8, a declaration took a character as space

 private:
  // Every '=' outside quotes in an element's tag counts as an attribute: the parser
  // takes none without one.
  void WalkMarkup() {
    const std::string_view s = m_s;
    size_t open = 0;
    auto skipTo = [&s](size_t from, const char* end) {
      size_t at = s.find(end, from);
      return at == npos ? s.size() : at;
    };
    for (size_t i = NextMarkup(0); i < s.size(); i = NextMarkup(i + 1)) {
      std::string_view rest = s.substr(i);
      if (rest.compare(0, 4, "<!--") == 0) {
        i = skipTo(i + 4, "-->");
      } else if (rest.compare(0, 9, "<![CDATA[") == 0) {
        i = skipTo(i + 9, "]]>");
      } else if (StartsWithNoCase(s, i, "<?xml")) {
        i = DeclarationEnd(s, i, m_utf8, &utf8Took, [this](size_t begin, size_t end) {
          CheckBytes(begin, References::kNone);
          CheckBytes(end, References::kRead);
        });
        if (i == npos) break;  // the parser stops there
      } else if (rest.size() > 1 && (rest[1] == '?' || rest[1] == '!')) {
        i = skipTo(i + 2, ">");
      } else if (rest.size() > 1 && rest[1] == '/') {
        if (open) --open;
        i = skipTo(i + 2, ">");
      } else if (rest.size() < 2 || !IsNameStart(rest[1])) {
        i = skipTo(i + 1, ">");  // no element to the parser: up to the first '>', quotes or not
      } else {
        char quote = 0;
        size_t j = i + 1, attributes = 0;
        for (; j < s.size(); ++j) {
          if (quote) {
            if (s[j] == quote) {
              quote = 0;
              CheckBytes(j, References::kRead);
            }
          } else if (s[j] == '"' || s[j] == '\'') {
            quote = s[j];
            CheckBytes(j + 1, References::kChecked);
          } else if (s[j] == '=') {
            ++attributes;
          } else if (s[j] == '>') {
            break;
          }
        }
        CheckBytes(j, quote ? References::kRead : References::kChecked);
        if (attributes > mostAttributes) mostAttributes = attributes;
        // An empty element is as deep as the parser goes; a tag cut off by the end is
        // still an element it starts.
        const bool empty = j < s.size() && s[j - 1] == '/';
        if (open + 1 > depth) depth = open + 1;
        if (!empty) ++open;
        i = j;
        continue;
      }
      CheckBytes(std::min(i, s.size()), References::kNone);
    }
  }

  // The first '<' from `from` on, the bytes checked up to it; the end of the text when
  // there is none, or when a reference runs over markup.
  size_t NextMarkup(size_t from) {
    const size_t n = m_s.size();
    from = std::min(from, n);  // the walk goes on from one past where it stopped
    if (!m_withBytes) return std::min(m_s.find('<', from), n);
    CheckBytes(from, References::kNone);  // the end of the markup before
    m_references = References::kRead;
    for (size_t i = std::max(from, m_checked); i < n && !badReference;) {
      i = ToStop(i, n);
      if (i == n) break;
      const size_t next = StepOverStop(i);
      if (m_s[i] == '<' && !badReference) {
        m_checked = next;
        return i;
      }
      i = next;
    }
    m_checked = n;
    return n;
  }

  // The bytes from where the last check ended to `to` (a character across it whole),
  // references there taken as given.
  void CheckBytes(size_t to, References references) {
    if (!m_withBytes) return;
    m_references = references;
    size_t i = m_checked;
    while (i < to && !badReference) {
      i = ToStop(i, to);
      if (i < to) i = StepOverStop(i);
    }
    m_checked = std::max(i, m_checked);
  }

  // The first byte from i on, before `end`, that the walk stops at; else `end`.
  size_t ToStop(size_t i, size_t end) const {
#ifdef QV_XML_SSE2
    if (HasSse2()) i = SkipSixteens(m_s.data(), i, end, wellFormedUtf8);
#endif
    const bool* stop = kByteStops.at[wellFormedUtf8];
    while (i < end && !stop[static_cast<unsigned char>(m_s[i])]) ++i;
    return i;
  }

  // The byte at i, one the walk stops at; where the walk goes on.
  size_t StepOverStop(size_t i) {
    const unsigned char c = static_cast<unsigned char>(m_s[i]);
    if (c >= 0x80) {
      if (wellFormedUtf8) {
        if (const size_t length = Utf8Length(m_s, i)) return i + length;
        wellFormedUtf8 = false;
      }
    } else if (c == '#' && i > 0 && m_s[i - 1] == '&' && m_references != References::kNone) {
      char32_t named = 0;
      const size_t end = ReferenceEnd(m_s, i, &named);
      if (end == npos) {
        badReference = true;
      } else if (named < 0x80 || m_references != References::kRead) {
        return end;
      } else {
        ++highReferences;
        if (!m_codePage || PutInCodePage(i - 1, end, named)) return end;
        badReference = true;
        unheld = named;
      }
    }
    return i + 1;
  }

  // The reference from `amp` to `end` as its character's bytes in the code page; false
  // when the code page has none for it.
  bool PutInCodePage(size_t amp, size_t end, char32_t named) {
    if (!m_toCodePage || !*m_toCodePage) return false;
    Held& held = m_held[named % kHeld];  // a text repeats its characters: one conversion each
    if (held.named != named) {
      wchar_t units[2] = {static_cast<wchar_t>(named), 0};
      size_t count = 1;
      if (named >= 0x10000) {
        units[0] = static_cast<wchar_t>(0xD800 + ((named - 0x10000) >> 10));
        units[1] = static_cast<wchar_t>(0xDC00 + ((named - 0x10000) & 0x3FF));
        count = 2;
      }
      if (!(*m_toCodePage)(std::wstring_view(units, count), held.bytes) || !ReadsAsOneCharacter(held.bytes)) {
        held.named = 0;
        return false;
      }
      held.named = named;
    }
    if (m_out) {
      if (!m_copied) m_out->reserve(m_s.size() + 4);  // never longer, and the parse's zeros
      m_out->append(m_s.substr(m_copied, amp - m_copied)).append(held.bytes);
      m_copied = end;
    }
    return true;
  }

  std::string_view m_s;
  bool m_utf8;
  bool m_withBytes = true;
  size_t m_checked = 0;  // the bytes before it are checked
  References m_references = References::kRead;
  bool m_codePage = false;
  const XmlCodePageEncoder* m_toCodePage = nullptr;
  std::string* m_out = nullptr;
  size_t m_copied = 0;  // the text before it is in *m_out
  struct Held {
    char32_t named = 0;
    std::string bytes;
  };
  enum : size_t { kHeld = 64 };
  Held m_held[kHeld];  // characters put into the code page, by their number
};

// The checks; where the text is the code page's, *rewritten gets it with references put
// into the code page (empty: the text as it is).
bool Check(std::string_view text, TiXmlEncoding* encoding, size_t maxDepth, const XmlCodePageEncoder* toCodePage,
           std::string* rewritten, char32_t* unheld) {
  const bool byForm = SettleEncodingByForm(text, encoding);
  const bool codePage = !byForm && *encoding != TIXML_ENCODING_UTF8;
  TextWalk walk(text, !codePage);
  if (codePage) walk.ToCodePage(toCodePage, rewritten);
  walk.Run();
  if (!walk.badReference && byForm) {
    *encoding = walk.wellFormedUtf8 ? TIXML_ENCODING_UTF8 : TIXML_ENCODING_LEGACY;
    // Not UTF-8 after all: read again byte by byte, as the parser will.
    if (!walk.wellFormedUtf8 && (walk.utf8Took || walk.highReferences)) {
      walk = TextWalk(text, false);
      walk.ToCodePage(toCodePage, rewritten);
      walk.Run();
    }
  }
  if (walk.badReference) {
    if (unheld) *unheld = walk.unheld;
    if (rewritten) rewritten->clear();
    return false;
  }
  if (*encoding == TIXML_ENCODING_UTF8 && !walk.wellFormedUtf8) return false;
  return walk.depth <= maxDepth && walk.mostAttributes <= kMaxXmlAttributes;
}

}  // namespace

bool CheckXml(std::string_view text, TiXmlEncoding* encoding, size_t maxDepth) {
  return Check(text, encoding, maxDepth, nullptr, nullptr, nullptr);
}

bool ParseXml(TiXmlDocument& doc, std::string_view text, TiXmlEncoding encoding, size_t maxDepth,
              TiXmlEncoding* settled, const XmlCodePageEncoder& toCodePage, char32_t* unheld) {
  if (unheld) *unheld = 0;
  std::string read;  // the text with references put into the code page, or none
  if (!Check(text, &encoding, maxDepth, &toCodePage, &read, unheld)) return false;
  if (settled) *settled = encoding;
  if (read.empty()) {
    read.reserve(text.size() + 4);
    read.append(text);
  }
  read.append(4, '\0');  // zeros behind the text, as before any parse
  doc.Parse(read.c_str(), nullptr, encoding);
  return !doc.Error();
}

size_t XmlNestingDepth(std::string_view s, bool utf8) {
  TextWalk walk(s, utf8);
  walk.WalkMarkupAlone(utf8);
  return walk.depth;
}

bool IsWellFormedUtf8(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    if (static_cast<unsigned char>(s[i]) < 0x80) {
      ++i;
    } else if (const size_t length = Utf8Length(s, i)) {
      i += length;
    } else {
      return false;
    }
  }
  return true;
}

size_t XmlTreeDepth(const TiXmlNode& top) {
  size_t depth = 1, deepest = 0;  // depth: of `node` when it is an element
  const TiXmlNode* node = top.FirstChild();
  while (node) {
    if (node->ToElement() && depth > deepest) deepest = depth;
    if (node->FirstChild()) {
      node = node->FirstChild();
      ++depth;
      continue;
    }
    while (node != &top && !node->NextSibling()) {
      node = node->Parent();
      --depth;
    }
    if (node == &top) break;
    node = node->NextSibling();
  }
  return deepest;
}

void AppendXmlEscaped(std::string& out, std::string_view bytes) {
  static const char kHex[] = "0123456789ABCDEF";
  for (char c : bytes) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          out += "&#x";
          if (c >= 0x10) out += kHex[c >> 4];
          (out += kHex[c & 0xF]) += ';';
        } else {
          out += c;
        }
    }
  }
}

}  // namespace qv
