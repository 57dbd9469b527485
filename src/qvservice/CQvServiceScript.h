#pragma once
// What the stand-in service answers, read from a small UTF-8 text file. One
// entry a line, fields separated by '|', blanks around fields ignored, '#'
// starts a comment line:
//
//   settings|<data port>|<command port>        answer to 1525
//   client|<ip>|online|offline                 answer to 1526; an offline
//                                              host's agent answers nothing
//   notify|online|offline|<ip>[|<delay ms>]    1529/1530 sent to every
//                                              console after it connects
//   drives|<ip>|<drive mask>                   answer to 1536
//   dir|<ip>|<path>|<name>|<has subdirs 0/1>   one entry of a 1538 answer
//   file|<ip>|<path>|<name>|<is file 0/1>|<has children 0/1>
//                                              one more entry of a 1537 answer
//   run|<strategy>|<result 2 ok, 3 failed>[|<reason>]
//                                              outcome of running a strategy;
//                                              result 1: it keeps running
//   raw|<ip>|<1536, 1537 or 1538>|<path>|<text>[|<bytes>]
//                                              that answer to the listing of
//                                              the path (any path for 1536) is
//                                              the text as it stands, UTF-8 for
//                                              1537 and UTF-16 else, ending with
//                                              a NUL; with <bytes>, only its
//                                              first bytes, and no NUL
#include <cstdint>
#include <string>
#include <vector>

class CQvServiceScript {
 public:
  struct Client {
    uint32_t address;  // as ParseDottedIPv4 reads it
    bool online;
  };
  struct Notice {
    bool online;
    uint32_t address;
    uint32_t delayMs;
  };
  struct Drives {
    uint32_t address;
    uint32_t mask;
  };
  struct Entry {
    uint32_t address;
    std::wstring path;
    std::wstring name;
    bool isFile;
    bool hasChildren;
    bool fromFileLine;  // a "file" line (1537) rather than a "dir" line (1538)
  };
  struct Run {
    std::wstring strategy;
    uint32_t result;
    std::wstring reason;
  };
  struct Raw {
    uint32_t address;
    uint32_t messageId;
    std::wstring path;
    std::wstring text;
    uint32_t bytes;  // 0xFFFFFFFF: the whole text and its NUL
  };

  CQvServiceScript();

  // Replaces the content with the file's; false (and an error text) when the
  // file cannot be read or a line is malformed.
  bool LoadFile(const std::wstring& path, std::wstring* error);
  bool LoadText(const std::string& utf8, std::wstring* error);

  uint32_t DataPort() const { return dataPort_; }
  uint32_t CommandPort() const { return commandPort_; }
  void SetPorts(uint32_t dataPort, uint32_t commandPort);

  // -1 unknown host, 0 offline, 1 online.
  int ClientState(uint32_t address) const;
  uint32_t DriveMask(uint32_t address) const;
  // The 1538 listing holds the "dir" lines of the path; the 1537 listing
  // (files == true) holds them as directories and then the "file" lines.
  std::vector<const Entry*> Listing(uint32_t address, const std::wstring& path, bool files) const;
  const Run* FindRun(const std::wstring& strategy) const;
  const Raw* FindRaw(uint32_t address, uint32_t messageId, const std::wstring& path) const;
  const std::vector<Notice>& Notices() const { return notices_; }

 private:
  bool ParseLine(const std::vector<std::string>& fields, std::wstring* error);
  bool ParseRaw(const std::vector<std::string>& fields, std::wstring* error);

  uint32_t dataPort_;
  uint32_t commandPort_;
  std::vector<Client> clients_;
  std::vector<Notice> notices_;
  std::vector<Drives> drives_;
  std::vector<Entry> entries_;
  std::vector<Run> runs_;
  std::vector<Raw> raws_;
};
