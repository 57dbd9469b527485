#pragma once
// The string table: XML resource 102 ("string" root, "s" children with an
// "id" attribute), loaded once at start-up and read by id everywhere.

#include <windows.h>

class UiString {
 public:
  // Loads (or merges) the table from XML resource `id`. FALSE on a missing
  // resource, malformed XML or a root other than "string"; the table then
  // keeps what it held.
  static BOOL Load(UINT id);

  // The text of `id`, or NULL when the table lacks it (a debug report the first time).
  // The pointer stays valid until a later Load replaces that id.
  // Callers that pass the result on to a text function treat NULL as "".
  static LPCWSTR Get(UINT id);
};
