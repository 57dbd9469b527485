#pragma once
// Cell formats and flag bits of the grid (CListImplEx). A cell holding format 0 or flags
// 0 follows its column.
#include <windows.h>

enum : UINT {
  ITEM_FORMAT_NONE = 0,             // plain text, never edited
  ITEM_FORMAT_EDIT = 1,             // text edited in place
  ITEM_FORMAT_DATETIME = 2,         // "YYYYMMDDhhmmss", shown in the user's formats
  ITEM_FORMAT_COMBO = 3,            // one of a list of choices
  ITEM_FORMAT_CHECKBOX = 4,         // check box, 0 or 1
  ITEM_FORMAT_CHECKBOX_3STATE = 5,  // check box, 0, 1 or -1
  ITEM_FORMAT_HYPERLINK = 6,        // clickable text
  ITEM_FORMAT_PROGRESS = 7,         // bar from the text as a percentage
  ITEM_FORMAT_GROUP = 8,            // group row: mark and text across the row
  ITEM_FORMAT_CUSTOM = 9,           // the rest of the row is left to its owner
};

enum : UINT {
  ITEM_FLAGS_LEFT = 0x1,
  ITEM_FLAGS_RIGHT = 0x2,
  ITEM_FLAGS_CENTRE = 0x4,
  ITEM_FLAGS_READ_ONLY = 0x8,
  ITEM_FLAGS_EDIT_UPPER = 0x10,
  ITEM_FLAGS_EDIT_NUMBER = 0x20,
  ITEM_FLAGS_EDIT_FLOAT = 0x40,
  ITEM_FLAGS_EDIT_NEGATIVE = 0x80,
  ITEM_FLAGS_EDIT_OPERATOR = 0x100,
  ITEM_FLAGS_COMBO_EDIT = 0x200,
  ITEM_FLAGS_DATE_ONLY = 0x400,
  ITEM_FLAGS_TIME_ONLY = 0x800,
  ITEM_FLAGS_DATETIME_NONE = 0x1000,
  ITEM_FLAGS_PROGRESS_SOLID = 0x2000,
  ITEM_FLAGS_HIDDEN = 0x4000,  // on a row's first cell: the row's group is collapsed
};
