#pragma once
// How the lines of one file are compared: an ordered list of "name;value" items. With
// "indent" set to "yes" leading blanks and tabs do not count; with "case" set to
// anything but "yes" letter case does not count.
#include <string>
#include <string_view>
#include <vector>

class CDiffOptions {
 public:
  // The text after the first ';' of the first item that begins with `name`; empty when
  // there is none or it has no ';'.
  std::wstring GetValue(const std::wstring& name) const;
  // Replaces the first item that begins with `name`, or appends one.
  void SetValue(const std::wstring& name, const std::wstring& value);
  void Append(const CDiffOptions& other);
  bool IsEmpty() const { return m_items.empty(); }

  // The line as it is compared under these options.
  std::wstring Normalise(std::wstring_view line) const;

 private:
  size_t Find(const std::wstring& name) const;

  std::vector<std::wstring> m_items;
};
