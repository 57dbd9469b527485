#pragma once
// One row of StrategyTable (one monitored target of a strategy) as the console writes
// and reads it whole: the 43 column values by position, texts and integers as the
// table's columns are typed. The insert names every column and binds every value,
// parameter index = column position; the select reads them back in the same order.
#include <string>

class SQLServerLink;
class SQLStatement;

class StrategyTableRow {
 public:
  enum : int {
    kColumnCount = 43,
    kStrategyName = 0,
    kStatus = 39,
    kRunStatus = 42,
    kNameUnits = 63,  // a name must fit the link records' 64-unit field
  };
  struct Column {
    const wchar_t* name;
    bool text;
    int width;  // text columns: most characters held, 0 for no limit
  };
  static const Column& ColumnAt(int column);
  // An id of fewer than two characters is no strategy's own: its rows are found by name.
  static bool OwnId(const std::wstring& id) { return id.size() >= 2; }

  const std::wstring& Text(int column) const { return m_text[column]; }
  int Int(int column) const { return m_int[column]; }
  void SetText(int column, const std::wstring& value) { m_text[column] = value; }
  void SetInt(int column, int value) { m_int[column] = value; }

  // The first text column whose value is longer than the column holds, else -1.
  int FirstOverlongColumn() const;

  // Writes the row on the link's connection; 1 on success, else 0 with the
  // link's error text.
  int Insert(SQLServerLink& link) const;
  // Every row of the table in the database's order, on a new statement of the link.
  static SQLStatement* SelectAll(SQLServerLink& link);
  // The rows of one strategy, by name and descriptor (and id, when one is given), in the
  // same order.
  static SQLStatement* SelectStrategy(SQLServerLink& link, const std::wstring& name,
                                      const std::wstring& descriptor, const std::wstring& id = std::wstring());
  // Takes the current row of a SelectAll statement.
  void Read(const SQLStatement& statement);

 private:
  std::wstring m_text[kColumnCount];
  int m_int[kColumnCount] = {};
};
