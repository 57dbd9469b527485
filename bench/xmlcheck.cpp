// The checks before every parse of outside XML (qv::CheckXml) against TinyXML's parse of
// the same text: for each shape that makes one of the checks work hardest, a text of
// 16 MB (or the megabytes given as the argument). Prints the ratio check / parse for
// each; the check must stay within twice the parse (exit status 1 otherwise).
#include <tinyxml.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "platform/TextConv.h"
#include "platform/XmlParse.h"

namespace {

using qvbench::Now;

const int kRounds = 3;
const double kTargetRatio = 2.0;

struct Shape {
  const char* name;
  TiXmlEncoding encoding;
  std::string head, unit, tail;  // the unit repeated up to the size
};

std::string Make(const Shape& shape, size_t bytes) {
  std::string text = shape.head;
  text.reserve(bytes + shape.unit.size() + shape.tail.size());
  while (text.size() + shape.tail.size() < bytes) text += shape.unit;
  return text + shape.tail;
}

std::string Attributes() {
  std::string tag = "<a";
  for (size_t i = 0; i < qv::kMaxXmlAttributes; ++i) tag += " a" + std::to_string(i) + "=\"\"";
  return tag + "/>";
}

std::string Nested() {
  std::string unit;
  for (size_t i = 1; i < qv::kMaxXmlDepth; ++i) unit += "<a>";
  for (size_t i = 1; i < qv::kMaxXmlDepth; ++i) unit += "</a>";
  return unit;
}

}  // namespace

int main(int argc, char** argv) {
  const double megabytes = argc > 1 ? std::atof(argv[1]) : 16.0;
  const size_t bytes = static_cast<size_t>(megabytes * 1024 * 1024);
  const Shape shapes[] = {
      // One well-formed reference as long as the text: leading zeros up to its ';'.
      {"one long reference", TIXML_ENCODING_UTF8, "<r>&#", "0", "65;</r>"},
      {"one long hex reference", TIXML_ENCODING_UTF8, "<r>&#x", "0", "4E2D;</r>"},
      // Nothing but references, each checked whole.
      {"references", TIXML_ENCODING_UTF8, "<r>", "&#20013;&#x4E2D;", "</r>"},
      // As deep as is let through, over and over.
      {"nesting", TIXML_ENCODING_UTF8, "<r>", Nested(), "</r>"},
      // Two-, three- and four-byte characters, every one checked.
      {"multi-byte", TIXML_ENCODING_UTF8, "<r>", "\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80", "</r>"},
      // A bare declaration: the encoding hangs on the whole text's form.
      {"declarations and comments", TIXML_ENCODING_UNKNOWN, "<?xml version=\"1.0\"?><r>",
       "<!-- c --><?xml version='1.0' encoding='UTF-8'?>", "</r>"},
      // As many attributes as are let through, in every element.
      {"attributes", TIXML_ENCODING_UTF8, "<r>", Attributes(), "</r>"},
  };
  bool within = true;
  for (const Shape& shape : shapes) {
    const std::string text = Make(shape, bytes);
    std::vector<double> checks, parses;
    bool passed = false, parsed = false;
    for (int round = 0; round < kRounds; ++round) {
      TiXmlEncoding encoding = shape.encoding;
      double t0 = Now();
      passed = qv::CheckXml(text, &encoding);
      double t1 = Now();
      checks.push_back(t1 - t0);
      // Parsed from the encoding the check settled; the tree is freed outside the time.
      auto doc = std::make_unique<TiXmlDocument>();
      t0 = Now();
      doc->Parse(text.c_str(), nullptr, encoding);
      t1 = Now();
      parses.push_back(t1 - t0);
      parsed = !doc->Error();
    }
    const double check = qvbench::Median(checks), parse = qvbench::Median(parses);
    const double ratio = check / parse;
    std::printf("%-26s %6.1f MB: check %8.1f ms, TinyXML parse %8.1f ms, ratio %5.2f (target %.2f)%s%s\n",
                shape.name, text.size() / 1048576.0, check, parse, ratio, kTargetRatio,
                passed ? "" : ", refused", parsed ? "" : ", parse error");
    if (ratio > kTargetRatio || !passed || !parsed) within = false;
  }
  // Read in the code page: the whole guarded parse, each reference put into the code page
  // by the console's own conversion, against the parse alone (which keeps low bytes).
  {
    const std::string text = Make({"", TIXML_ENCODING_LEGACY, "<r a=\"", "&#x5F20;&#233;&#24352;", "\"/>"}, bytes);
    std::vector<double> guarded, parses;
    bool parsed = false;
    for (int round = 0; round < kRounds; ++round) {
      auto doc = std::make_unique<TiXmlDocument>();
      double t0 = Now();
      parsed = qv::ParseXml(*doc, text, TIXML_ENCODING_LEGACY, qv::kMaxXmlDepth, nullptr, qv::WideToAnsiExact);
      double t1 = Now();
      guarded.push_back(t1 - t0);
      doc = std::make_unique<TiXmlDocument>();
      t0 = Now();
      doc->Parse(text.c_str(), nullptr, TIXML_ENCODING_LEGACY);
      t1 = Now();
      parses.push_back(t1 - t0);
    }
    const double ratio = qvbench::Median(guarded) / qvbench::Median(parses);
    const double target = kTargetRatio + 1;  // the guarded parse includes the parse
    std::printf("%-26s %6.1f MB: guarded parse %8.1f ms, TinyXML parse %8.1f ms, ratio %5.2f (target %.2f)%s\n",
                "code-page references", text.size() / 1048576.0, qvbench::Median(guarded), qvbench::Median(parses),
                ratio, target, parsed ? "" : ", refused");
    if (ratio > target || !parsed) within = false;
  }
  return within ? 0 : 1;
}
