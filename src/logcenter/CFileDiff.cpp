#include "logcenter/CFileDiff.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "logcenter/CFilePartition.h"
#include "logcenter/SequenceDiff.h"
#include "platform/FileReplacement.h"

namespace {

// Gives equal compared texts one number. The lines' own hash chooses the bucket; two
// lines are the same only when their texts are, so a hash collision never joins them.
class LineNumbers {
 public:
  explicit LineNumbers(size_t lines) {
    // Past 2^22 buckets (16 MB) chains grow instead: so many lines must repeat a lot.
    while (m_bits < 22 && (size_t{1} << m_bits) < 2 * lines) ++m_bits;
    m_buckets.assign(size_t{1} << m_bits, -1);
  }
  // `text` must outlive the object.
  int Number(uint32_t hash, std::wstring_view text) {
    int& head = m_buckets[(hash * 2654435761u) >> (32 - m_bits)];
    for (int e = head; e >= 0; e = m_entries[static_cast<size_t>(e)].next)
      if (m_entries[static_cast<size_t>(e)].hash == hash &&
          m_entries[static_cast<size_t>(e)].text == text)
        return e;
    m_entries.push_back(Entry{hash, text, head});
    return head = static_cast<int>(m_entries.size()) - 1;
  }
  int Count() const { return static_cast<int>(m_entries.size()); }

 private:
  struct Entry {
    uint32_t hash;
    std::wstring_view text;
    int next;
  };
  int m_bits = 1;
  std::vector<int> m_buckets;
  std::vector<Entry> m_entries;
};

// The numbers of one side's lines as compared; `normalised` keeps the compared texts of
// a side with options alive for `numbers`.
std::vector<int> NumberLines(const CFilePartition& side, LineNumbers& numbers,
                             std::vector<std::wstring>& normalised) {
  const int count = side.GetLineCount();
  if (!side.GetOptions().IsEmpty())
    for (int i = 0; i < count; ++i) normalised.push_back(side.GetLineText(i));
  std::vector<int> out(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i)
    out[static_cast<size_t>(i)] = numbers.Number(
        side.GetLineHash(i),
        normalised.empty() ? side.GetStoredText(i) : normalised[static_cast<size_t>(i)]);
  return out;
}

const wchar_t* StateClass(int state) {
  switch (state) {
    case CFileLine::kChanged:
      return L" class='C'";
    case CFileLine::kAdded:
      return L" class='A'";
    case CFileLine::kDeleted:
      return L" class='D'";
  }
  return L"";
}

const wchar_t kTitle[] = L"文件比较";

}  // namespace

int CFileDiff::Compare(const CFilePartition& a, const CFilePartition& b, CFilePartition& outA,
                       CFilePartition& outB) {
  outA.SetName(a.GetName());
  outB.SetName(b.GetName());
  const int nA = a.GetLineCount(), nB = b.GetLineCount();
  LineNumbers numbers(static_cast<size_t>(nA) + static_cast<size_t>(nB));
  std::vector<std::wstring> normalisedA, normalisedB;
  const std::vector<int> numbersA = NumberLines(a, numbers, normalisedA);
  const std::vector<int> numbersB = NumberLines(b, numbers, normalisedB);
  outA.ShareText(a);
  outB.ShareText(b);
  SequenceDiff diff;
  diff.Run(numbersA, numbersB, numbers.Count());
  const std::vector<char>& deleted = diff.ChangedA();
  const std::vector<char>& added = diff.ChangedB();

  int i = 0, j = 0;
  while (i < nA || j < nB) {
    if (i < nA && j < nB && !deleted[static_cast<size_t>(i)] && !added[static_cast<size_t>(j)]) {
      outA.AddSharedLine(a.GetStoredText(i++), CFileLine::kNormal);
      outB.AddSharedLine(b.GetStoredText(j++), CFileLine::kNormal);
      continue;
    }
    int endA = i, endB = j;
    while (endA < nA && deleted[static_cast<size_t>(endA)]) ++endA;
    while (endB < nB && added[static_cast<size_t>(endB)]) ++endB;
    if (endA == i && endB == j) ++(i < nA ? endA : endB);  // a kept line without partner
    for (; i < endA && j < endB; ++i, ++j) {
      outA.AddSharedLine(a.GetStoredText(i), CFileLine::kChanged);
      outB.AddSharedLine(b.GetStoredText(j), CFileLine::kChanged);
    }
    for (; i < endA; ++i) {
      outA.AddSharedLine(a.GetStoredText(i), CFileLine::kDeleted);
      outB.AddBlankLine();
    }
    for (; j < endB; ++j) {
      outA.AddBlankLine();
      outB.AddSharedLine(b.GetStoredText(j), CFileLine::kAdded);
    }
  }
  return 1;
}

std::wstring CFileDiff::WriteHtml(const CFilePartition& outA, const CFilePartition& outB) {
  int addedA, changedA, deletedA, addedB, changedB, deletedB;
  outA.CountStates(addedA, changedA, deletedA);
  outB.CountStates(addedB, changedB, deletedB);
  const int changes = addedA + deletedA + changedA + addedB + deletedB;
  m_summary = changes ? L"<font size=-1><b>" + std::to_wstring(changes) +
                            L" changes between the files.</font><br>"
                      : L"<font size=-1><b>Files are identical.</font><br>";

  size_t estimate = 4096 + m_summary.size() + 6 * (outA.GetName().size() + outB.GetName().size());
  for (int k = 0; k < outA.GetLineCount(); ++k) {
    const size_t text = outA.GetStoredText(k).size() + outB.GetStoredText(k).size();
    estimate += 120 + text + text / 8;
  }
  std::wstring page;
  page.reserve(estimate);
  page +=
      L"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\r\n"
      L"<html xmlns=\"http://www.w3.org/1999/xhtml\" lang=\"zh-CN\" xml:lang=\"zh-CN\">\r\n"
      L"<HTML>\r\n<HEAD>\r\n"
      L"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\r\n"
      L"<TITLE>";
  page += kTitle;
  page +=
      L"</TITLE>\r\n<style type='text/css'>\r\n<!--\r\n.N { background-color:white; }\r\n"
      L".C { background-color:";
  page += m_changedColour + L"; }\r\n.A { background-color:" + m_addedColour +
          L"; }\r\n.D { background-color:" + m_deletedColour +
          L"; }\r\n-->\r\n</style>\r\n</HEAD>\r\n\r\n<BODY BGCOLOR='#FFFFFF'>\r\n\r\n";
  page += m_summary;
  page +=
      L"<table border=0 bgcolor=0 cellpadding=1 cellspacing=1 width=100%><tr><td>\r\n"
      L"<table width=100% bgcolor=white border=0 cellpadding=0 cellspacing=0>\r\n"
      L"<tr bgColor='#EEEEEE' style='color:0'><td width=50%>old version</td>"
      L"<td width=50%>new version   (<b style='background-color:";
  page += m_changedColour + L";width:20'> </b>changed  <b style='background-color:" +
          m_addedColour + L";width:20'> </b>added  <b style='background-color:" + m_deletedColour;
  page +=
      L";width:20'> </b>deleted)</td></tr>\r\n"
      L"<tr bgColor='#EEEEEE'><td colspan=2><form name='fontform'>font size "
      L"<select name='fontoptions' onchange=\"document.getElementById('maintable')"
      L".style.fontSize=this.value\"><option>6pt</option><option>7pt</option>"
      L"<option>8pt</option><option selected>9pt</option></select></form></td></tr>\r\n"
      L"<tr bgColor='#EEEEEE' style='color:0'><td width=50%><code>";
  AppendEscaped(page, outA.GetName());
  page += L"</code></td><td width=50%><code>";
  AppendEscaped(page, outB.GetName());
  page += L"</code></td></tr></table>\r\n</td></tr>\r\n</table>\r\n\r\n<br>\r\n\r\n";
  if (outA.GetLineCount() == 0) return page += L"<br>empty files";

  page +=
      L"<table border=0 bgcolor=0 cellpadding=1 cellspacing=1 width=100%><tr><td>"
      L"<table id='maintable' width=100% bgcolor='";
  page += m_background + L"' cellpadding=0 cellspacing=0 border=0 style='color:" + m_textColour +
          L";font-family: Courier New, Helvetica, sans-serif; font-size: 8pt'>\r\n";
  for (int k = 0; k < outA.GetLineCount(); ++k) AppendRow(page, k, outA, outB);
  page += L"</table></td></tr></table>\r\n";
  page += m_footer;
  page += L"</BODY>\r\n</HTML>\r\n";
  return page;
}

void CFileDiff::AppendRow(std::wstring& page, int row, const CFilePartition& outA,
                          const CFilePartition& outB) const {
  wchar_t digits[16];
  wchar_t* first = digits + 16;
  for (unsigned n = static_cast<unsigned>(row);; n /= 10) {
    *--first = static_cast<wchar_t>(L'0' + n % 10);
    if (n < 10) break;
  }
  const std::wstring_view number(first, static_cast<size_t>(digits + 16 - first));
  page += L"<tr><td width=50%";
  page += StateClass(outA.GetLineState(row));
  page.append(L"><b>").append(number).append(L"</b> ");
  AppendEscaped(page, outA.GetStoredText(row));
  page += L"</td><td width=50%";
  page += StateClass(outB.GetLineState(row));
  page.append(L"><b>").append(number).append(L"</b> ");
  AppendEscaped(page, outB.GetStoredText(row));
  page += L"</td></tr>";
}

std::wstring CFileDiff::EscapeLine(std::wstring_view text) {
  std::wstring out;
  AppendEscaped(out, text);
  return out;
}

void CFileDiff::AppendEscaped(std::wstring& page, std::wstring_view text) {
  if (text.empty()) {
    page += L' ';
    return;
  }
  size_t i = 0;
  for (; i < text.size() && (text[i] == L' ' || text[i] == L'\t'); ++i)
    page += text[i] == L'\t' ? L"    " : L" ";
  size_t run = i;  // start of the characters not yet appended
  for (; i < text.size(); ++i) {
    const wchar_t* entity = text[i] == L'<'   ? L"&lt;"
                            : text[i] == L'>' ? L"&gt;"
                            : text[i] == L'&' ? L"&amp;"
                                              : nullptr;
    if (!entity) continue;
    page.append(text.substr(run, i - run)).append(entity);
    run = i + 1;
  }
  page.append(text.substr(run));
}

int CFileDiff::SaveToFile(const std::wstring& path, const std::string& page) {
  return FileReplacement::WriteWhole(path, page) ? 1 : 0;
}
