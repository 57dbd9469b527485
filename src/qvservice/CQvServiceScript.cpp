#include "qvservice/CQvServiceScript.h"

#include <winsock2.h>
#include <windows.h>

#include <cstdlib>
#include <cwctype>
#include <fstream>
#include <sstream>

#include "console/DottedIPv4.h"
#include "platform/TextConv.h"

namespace {

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return std::string();
  size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (;;) {
    size_t bar = line.find('|', start);
    fields.push_back(
        Trim(line.substr(start, bar == std::string::npos ? std::string::npos : bar - start)));
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  return fields;
}

bool ParseNumber(const std::string& text, uint32_t* value) {
  if (text.empty()) return false;
  char* end = nullptr;
  unsigned long v = std::strtoul(text.c_str(), &end, 10);
  if (!end || *end != 0 || v > 0xFFFFFFFFul) return false;
  *value = static_cast<uint32_t>(v);
  return true;
}

bool ParseFlag(const std::string& text, bool* value) {
  if (text == "0" || text == "1") {
    *value = text == "1";
    return true;
  }
  return false;
}

bool ParseAddress(const std::string& text, uint32_t* value) { return ParseDottedIPv4(text, value); }

bool SamePath(const std::wstring& a, const std::wstring& b) {
  // Drive letters and directory names compare as Windows does, without case.
  return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

std::wstring StripTrailingSlash(std::wstring path) {
  while (path.size() > 1 && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
  return path;
}

}  // namespace

CQvServiceScript::CQvServiceScript() : dataPort_(0), commandPort_(0) {}

void CQvServiceScript::SetPorts(uint32_t dataPort, uint32_t commandPort) {
  dataPort_ = dataPort;
  commandPort_ = commandPort;
}

bool CQvServiceScript::LoadFile(const std::wstring& path, std::wstring* error) {
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    if (error) *error = L"cannot open " + path;
    return false;
  }
  std::string text;
  char chunk[4096];
  DWORD got = 0;
  bool ok = true;
  while ((ok = ::ReadFile(file, chunk, sizeof(chunk), &got, nullptr) != 0) && got > 0) {
    text.append(chunk, got);
    if (text.size() > (16u << 20)) {
      ok = false;
      break;
    }
  }
  ::CloseHandle(file);
  if (!ok) {
    if (error) *error = L"cannot read " + path;
    return false;
  }
  if (text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
  return LoadText(text, error);
}

bool CQvServiceScript::LoadText(const std::string& utf8, std::wstring* error) {
  *this = CQvServiceScript();
  std::istringstream in(utf8);
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    std::string t = Trim(line);
    if (t.empty() || t[0] == '#') continue;
    std::wstring why;
    if (!ParseLine(Split(t), &why)) {
      if (error) *error = L"line " + std::to_wstring(number) + L": " + why;
      return false;
    }
  }
  return true;
}

bool CQvServiceScript::ParseLine(const std::vector<std::string>& f, std::wstring* error) {
  const std::string& key = f[0];
  if (key == "settings") {
    if (f.size() != 3 || !ParseNumber(f[1], &dataPort_) || !ParseNumber(f[2], &commandPort_)) {
      *error = L"settings|<data port>|<command port>";
      return false;
    }
    return true;
  }
  if (key == "client") {
    Client c;
    if (f.size() != 3 || !ParseAddress(f[1], &c.address) ||
        (f[2] != "online" && f[2] != "offline")) {
      *error = L"client|<ip>|online|offline";
      return false;
    }
    c.online = f[2] == "online";
    clients_.push_back(c);
    return true;
  }
  if (key == "notify") {
    Notice n;
    n.delayMs = 0;
    if ((f.size() != 3 && f.size() != 4) || (f[1] != "online" && f[1] != "offline") ||
        !ParseAddress(f[2], &n.address) || (f.size() == 4 && !ParseNumber(f[3], &n.delayMs))) {
      *error = L"notify|online|offline|<ip>[|<delay ms>]";
      return false;
    }
    n.online = f[1] == "online";
    notices_.push_back(n);
    return true;
  }
  if (key == "drives") {
    Drives d;
    if (f.size() != 3 || !ParseAddress(f[1], &d.address) || !ParseNumber(f[2], &d.mask)) {
      *error = L"drives|<ip>|<mask>";
      return false;
    }
    drives_.push_back(d);
    return true;
  }
  if (key == "dir" || key == "file") {
    Entry e;
    bool isDir = key == "dir";
    e.fromFileLine = !isDir;
    e.isFile = false;
    e.hasChildren = false;
    bool ok = f.size() == (isDir ? 5u : 6u) && ParseAddress(f[1], &e.address) && !f[3].empty();
    if (ok && isDir) ok = ParseFlag(f[4], &e.hasChildren);
    if (ok && !isDir) ok = ParseFlag(f[4], &e.isFile) && ParseFlag(f[5], &e.hasChildren);
    if (!ok) {
      *error = isDir ? L"dir|<ip>|<path>|<name>|<has subdirs 0/1>"
                     : L"file|<ip>|<path>|<name>|<is file 0/1>|<has children 0/1>";
      return false;
    }
    e.path = StripTrailingSlash(qv::Utf8ToWide(f[2]));
    e.name = qv::Utf8ToWide(f[3]);
    entries_.push_back(e);
    return true;
  }
  if (key == "run") {
    Run r;
    if ((f.size() != 3 && f.size() != 4) || f[1].empty() || !ParseNumber(f[2], &r.result)) {
      *error = L"run|<strategy>|<result>[|<reason>]";
      return false;
    }
    r.strategy = qv::Utf8ToWide(f[1]);
    if (f.size() == 4) r.reason = qv::Utf8ToWide(f[3]);
    runs_.push_back(r);
    return true;
  }
  if (key == "raw") return ParseRaw(f, error);
  *error = L"unknown entry";
  return false;
}

bool CQvServiceScript::ParseRaw(const std::vector<std::string>& f, std::wstring* error) {
  Raw r;
  r.bytes = 0xFFFFFFFFu;
  bool ok = (f.size() == 5 || f.size() == 6) && ParseAddress(f[1], &r.address) &&
            ParseNumber(f[2], &r.messageId) && r.messageId >= 1536 && r.messageId <= 1538 &&
            (f.size() == 5 || ParseNumber(f[5], &r.bytes));
  if (!ok) {
    *error = L"raw|<ip>|<1536, 1537 or 1538>|<path>|<text>[|<bytes>]";
    return false;
  }
  r.path = StripTrailingSlash(qv::Utf8ToWide(f[3]));
  r.text = qv::Utf8ToWide(f[4]);
  raws_.push_back(r);
  return true;
}

const CQvServiceScript::Raw* CQvServiceScript::FindRaw(uint32_t address, uint32_t messageId,
                                                       const std::wstring& path) const {
  for (const Raw& r : raws_)
    if (r.address == address && r.messageId == messageId &&
        (messageId == 1536 || SamePath(r.path, StripTrailingSlash(path))))
      return &r;
  return nullptr;
}

int CQvServiceScript::ClientState(uint32_t address) const {
  for (const Client& c : clients_)
    if (c.address == address) return c.online ? 1 : 0;
  return -1;
}

uint32_t CQvServiceScript::DriveMask(uint32_t address) const {
  for (const Drives& d : drives_)
    if (d.address == address) return d.mask;
  return 0;
}

std::vector<const CQvServiceScript::Entry*> CQvServiceScript::Listing(uint32_t address,
                                                                      const std::wstring& path,
                                                                      bool files) const {
  std::vector<const Entry*> out;
  std::wstring wanted = StripTrailingSlash(path);
  for (int pass = 0; pass < (files ? 2 : 1); ++pass)
    for (const Entry& e : entries_)
      if (e.address == address && e.fromFileLine == (pass == 1) && SamePath(e.path, wanted))
        out.push_back(&e);
  return out;
}

const CQvServiceScript::Run* CQvServiceScript::FindRun(const std::wstring& strategy) const {
  for (const Run& r : runs_)
    if (r.strategy == strategy) return &r;
  return nullptr;
}
