#pragma once
// One line of a compared file, or one row of one side of a comparison result.
#include <string>

struct CFileLine {
  enum State { kNormal = 0, kChanged = 1, kAdded = 2, kDeleted = 3 };

  std::wstring text;  // as read from the file; empty for the blank opposite a line
  int state = kNormal;
};
