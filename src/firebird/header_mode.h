#pragma once
// Whether a database is shut down, as its header page says: the
// "Attributes" line of the header statistics.

#include <string>
#include <string_view>

namespace tarnvel::firebird {

struct HeaderMode {
  /// The database is in one of the shutdown modes (full shutdown, single-
  /// or multi-user maintenance): normal users cannot attach.
  bool shutDown = false;
  /// The attributes as the server printed them, e.g. "force write, full shutdown".
  std::string attributes;
};

/// Reads the mode from the text of the header statistics. Throws
/// std::runtime_error when the text has no "Attributes" line.
HeaderMode ParseHeaderMode(std::string_view headerText);

}  // namespace tarnvel::firebird
