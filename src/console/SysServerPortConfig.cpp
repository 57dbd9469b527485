#include "console/SysServerPortConfig.h"

#include <tinyxml.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/TextConv.h"
#include "platform/WideFormat.h"
#include "platform/XmlParse.h"

wchar_t g_dsnName[kSettingChars];
wchar_t g_databaseName[kSettingChars];
wchar_t g_dsnDescription[kSettingChars];
wchar_t g_serverAddress[kSettingChars];
wchar_t g_sqlUserName[kSettingChars];
wchar_t g_sqlPassword[kSettingChars];
wchar_t g_updateUrl[kSettingChars];

namespace {

struct Setting {
  const char* attribute;
  wchar_t* value;
  bool inAttributeList;  // goes into the data source's "!"-separated attribute list
};

const Setting kSettings[] = {
    {"DSN", g_dsnName, true},          {"Database", g_databaseName, true},
    {"Description", g_dsnDescription, true}, {"IP", g_serverAddress, true},
    {"SqlName", g_sqlUserName, false}, {"SqlPass", g_sqlPassword, false},
    {"UpdateUrl", g_updateUrl, false},
};

// The updater appends file names to it: an http or https address of a folder.
bool IsUpdateUrl(const std::wstring& url) {
  const bool scheme = _wcsnicmp(url.c_str(), L"http://", 7) == 0 || _wcsnicmp(url.c_str(), L"https://", 8) == 0;
  return url.empty() || (scheme && url.back() == L'/');
}

const long kMaxFileBytes = 1024 * 1024;  // a settings file is a few hundred bytes

bool ReadFile(const char* path, std::string& bytes, bool* missing) {
  errno = 0;
  FILE* file = path ? std::fopen(path, "rb") : nullptr;
  *missing = !file && errno == ENOENT;
  if (!file) return false;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    bytes.append(buffer, n);
    if (bytes.size() > static_cast<size_t>(kMaxFileBytes)) break;
  }
  std::fclose(file);
  return bytes.size() <= static_cast<size_t>(kMaxFileBytes);
}

}  // namespace

int LoadSysServerPortConfig(const char* path, std::wstring* refusal, std::wstring* unread) {
  const std::wstring file = qv::AnsiToWide(path ? path : "");
  std::string bytes;
  bool missing = false;
  if (!ReadFile(path, bytes, &missing)) {
    ParseSysServerPortConfig(std::string(), refusal);  // the settings cleared
    if (unread)
      *unread = qv::FormatW(missing ? L"配置文件%ls不存在，未能读入数据库连接设置。"
                                    : L"配置文件%ls无法读取，未能读入数据库连接设置。", file.c_str());
    return 0;
  }
  return ParseSysServerPortConfig(bytes, refusal, unread, file);
}

int ParseSysServerPortConfig(const std::string& bytes, std::wstring* refusal, std::wstring* unread,
                             const std::wstring& file) {
  for (const Setting& s : kSettings) s.value[0] = L'\0';
  if (refusal) refusal->clear();
  if (unread) unread->clear();
  auto notRead = [&](const std::wstring& why) {
    if (unread) *unread = why;
    return 0;
  };

  TiXmlDocument doc;
  TiXmlEncoding encoding = TIXML_ENCODING_UNKNOWN;
  char32_t unheld = 0;
  if (!qv::ParseXml(doc, bytes, TIXML_DEFAULT_ENCODING, qv::kMaxXmlDepth, &encoding, qv::WideToAnsiExact, &unheld)) {
    if (unheld) {
      const std::wstring problem = qv::FormatW(L"配置文件%ls含有系统代码页无法表示的字符（&#x%X;），数据库连接设置未读入。",
                                               file.c_str(), static_cast<unsigned>(unheld));
      if (refusal) *refusal = problem;
      return notRead(problem);
    }
    return notRead(doc.ErrorRow() > 0
                       ? qv::FormatW(L"配置文件%ls格式不正确（第%d行），未能读入数据库连接设置。", file.c_str(), doc.ErrorRow())
                       : qv::FormatW(L"配置文件%ls格式不正确，未能读入数据库连接设置。", file.c_str()));
  }
  const TiXmlElement* root = doc.RootElement();
  const TiXmlElement* port = root ? root->FirstChildElement("port") : nullptr;
  if (!port) return notRead(qv::FormatW(L"配置文件%ls中没有port元素，未能读入数据库连接设置。", file.c_str()));

  const bool utf8 = encoding == TIXML_ENCODING_UTF8;
  std::wstring values[sizeof kSettings / sizeof kSettings[0]];
  for (const TiXmlAttribute* a = port->FirstAttribute(); a; a = a->Next()) {
    for (size_t i = 0; i < sizeof kSettings / sizeof kSettings[0]; ++i) {
      if (std::strcmp(a->Name(), kSettings[i].attribute) != 0) continue;
      values[i] = utf8 ? qv::Utf8ToWide(a->Value()) : qv::AnsiToWide(a->Value());
      std::wstring problem;
      if (values[i].size() >= static_cast<size_t>(kSettingChars))
        problem = qv::FormatW(L"配置文件SysServerPort.xml中%hs的值过长（最多%d个字符），数据库连接设置未读入。",
                              kSettings[i].attribute, kSettingChars - 1);
      else if (kSettings[i].inAttributeList && values[i].find(L'!') != std::wstring::npos)
        problem = qv::FormatW(L"配置文件SysServerPort.xml中%hs的值不能包含“!”，数据库连接设置未读入。",
                              kSettings[i].attribute);
      else if (kSettings[i].value == g_updateUrl && !IsUpdateUrl(values[i]))
        problem = L"配置文件SysServerPort.xml中UpdateUrl须是以http://或https://开头、以“/”结尾的地址，数据库连接设置未读入。";
      if (!problem.empty()) {
        if (refusal) *refusal = problem;
        return notRead(problem);
      }
    }
  }
  for (size_t i = 0; i < sizeof kSettings / sizeof kSettings[0]; ++i)
    wcscpy(kSettings[i].value, values[i].c_str());
  return 1;
}
