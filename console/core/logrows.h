// The Log View's rows: what each column says about one log record, and the
// order the records are shown in. The page and `lkdev log rows` both use
// these rules, so the tool prints exactly what the page shows.
//
// Nothing in a record stops the view: what cannot be read says "n/a", an
// action code without a node of the flags tree shows as stored, and the
// records are the names the file holds (after a deletion the numbering has
// gaps), in numeric order.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

class TLkStreams;

inline constexpr const char* kStatusLogRefreshed = " Log data refreshed.";
inline constexpr const char* kStatusLogNotFound = " Log file not found.";
inline constexpr const char* kStatusLogNotDeleted = " Unable to delete file.";

// What Delete did to the log file, and the status it leaves: the refresh
// that follows says what the list shows, except that a log still there
// after the administrator chose to delete it is told last.
enum class TLogDeletion { ldNotAsked, ldDeclined, ldDeleted, ldFailed };
const char* LogDeleteStatusText(TLogDeletion deletion, bool refreshed);

enum class TLogPathView { lpFileName, lpFullPath };

// "Username", "Executed", "Started", "Total", "Action".
inline constexpr int kLogColumnCount = 5;
using TLogRow = std::array<std::string, kLogColumnCount>;

inline constexpr const char* kLogNotAvailable = "n/a";
inline constexpr const char* kLogNoAction = "-";

// The record's lines as the container keeps a text: CR LF, a lone CR or a
// lone LF ends a line; a last line break adds no empty line.
std::vector<std::string_view> LogRecordLines(std::string_view bytes);

// One row from a record's bytes. The flags tree has `flagNodeCount` nodes
// (kFlagNodeCount, one less where "Lock Workstation" is gone).
//   Username  line 1, Executed  line 2 whole or its file name,
//   Started   line 3 as stored,
//   Total     end (line 4) minus start as H:MM:SS; "n/a" without an end
//             or when either time cannot be read,
//   Action    the node text of the code on line 5, a code without a node
//             as stored, "n/a" for no number, "-" for a run of 3 or 4
//             lines (no action);
// a line the record does not have reads "n/a".
TLogRow LogRowFor(std::string_view recordBytes, TLogPathView view, int flagNodeCount);

// Positions in `names` in the order the rows are shown: the decimal names
// by their value, then any other names in their given order.
std::vector<int> LogRecordOrder(const std::vector<std::string>& names);

// Loads the log file `path` into `log`, as LoadFromFile does, except that a
// file of no bytes is an empty log (the installation makes one so that users
// may write it, and the gate appends to it as to a new log): `log` is then
// emptied. Raises ECorruptFile or a stream error as the container does, and
// ECorruptFile, unread, for a file longer than kLogSizeLimit.
void LoadLogFile(TLkStreams& log, const std::string& path);
