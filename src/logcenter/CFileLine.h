#pragma once
// One line of a compared file, or one row of one side of a comparison result.
#include <string_view>

struct CFileLine {
  enum State { kNormal = 0, kChanged = 1, kAdded = 2, kDeleted = 3 };

  // As read from the file; empty for the blank opposite a line. Points into text that
  // the partition holding the line keeps alive.
  std::wstring_view text;
  int state = kNormal;
};
