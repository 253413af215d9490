#pragma once
// The fast path of the table readers: a table file in exactly the layout the
// writers write (every field in double quotes, fields separated by commas,
// records ended by a line end, clean code page 950) is split and decoded
// straight into cells, on several threads:
//   - the file is mapped, not copied;
//   - it is cut at record boundaries (a line end outside quotes: values never
//     hold a double quote, so counting quotes tells inside from outside) and
//     the pieces are parsed at the same time;
//   - repeated values of a column (categories, states, dates, "0", prices)
//     are decoded once and shared.
// Anything else (a field without quotes, blanks around a field, a record
// with too few or too many fields, a record cut by the end of the file,
// bytes that do not decode) makes the file "irregular": the caller then reads
// it with QuotedFieldReader, which has the full rules and the messages.
#include <QString>
#include <cstdint>
#include <future>
#include <memory>
#include <vector>

#include "store/Table.h"

// What a table file's rows become: a table of cellCount cells (field f goes
// to column f), with the fixed (column, text) cells set in every row.
struct TableShape {
  int cellCount = -1;  // -1: keep the parsed pieces, make no table
  std::vector<std::pair<int, QString>> fixed;
};

struct ParsedTableFile {
  // The file was opened and read in the writers' layout from start to end.
  bool regular = false;
  int fields = 0;
  // With a shape: the whole table, made on the worker threads (the pieces
  // are then empty).
  std::unique_ptr<Table> table;
  // Rows in file order, piece after piece. In a piece, ids holds `fields`
  // references a row (0 = the empty text): a piece number and the number of
  // a text of that piece (a text met first by another piece lies there).
  // A piece's texts lie in chunks of kChunk: text k is
  // chunks[k / kChunk][k % kChunk].
  struct Piece {
    static constexpr uint32_t kChunk = 256;
    std::vector<uint32_t> ids;
    std::vector<std::unique_ptr<TextChunk>> chunks;
    uint32_t count = 0;  // texts, the empty one included
    Piece();
    uint32_t add(QString text);
    const QString& text(uint32_t id) const { return (*chunks[id / kChunk])[id % kChunk]; }
  };
  std::vector<Piece> pieces;

  size_t rowCount() const;
  // Field f of row r (0-based), for tests and small files.
  QString field(size_t row, int f) const;
};

// Parses a whole table file now (on the calling thread and helpers).
ParsedTableFile parseTableFile(const QString& path, int fields);

// Starts parsing on the shared worker threads; the future gives the result.
std::shared_future<std::shared_ptr<ParsedTableFile>> parseTableFileAsync(const QString& path, int fields,
                                                                          TableShape shape = {});

// Parses bytes already in memory (tests, small files).
ParsedTableFile parseTableBytes(const char* bytes, size_t size, int fields);

// Moving parsed rows into tables (friend of Table).
class TableLoad {
 public:
  // Appends every parsed row: field f becomes column f; then each
  // (column, text) of `fixed` is set in every new row.
  static void appendRows(Table& table, ParsedTableFile&& parsed,
                         const std::vector<std::pair<int, QString>>& fixed = {});
  // Fills one column by row position from a one-field file: row k gets the
  // k-th record passed through `transform` (records beyond the last row are
  // not used; rows beyond the last record keep their cell). False when a
  // record used is one `accepts` (when given) refuses; it is filled all the same.
  static bool fillColumn(Table& table, int column, ParsedTableFile&& parsed, QString (*transform)(const QString&),
                         bool (*accepts)(const QString&) = nullptr);
};
