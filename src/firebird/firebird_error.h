#pragma once
// Failures reported by the Firebird server or its client library.

#include <ibase.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace tarnvel::firebird {

class ClientLibrary;

/// A failure with the server's codes. Its text is what the operator sees and
/// what callers search (for "Target shutdown mode is invalid for database").
class EFirebirdError : public std::runtime_error {
 public:
  /// IscCodes: every Firebird error code of the status vector, in order;
  /// when not given, IscCode alone.
  EFirebirdError(const std::string& text, long sqlCode, ISC_STATUS iscCode,
                 std::vector<ISC_STATUS> iscCodes = {})
      : std::runtime_error(text),
        sqlCode_(sqlCode),
        iscCode_(iscCode),
        iscCodes_(iscCodes.empty() ? std::vector<ISC_STATUS>{iscCode} : std::move(iscCodes)) {}

  long SqlCode() const { return sqlCode_; }
  /// The first Firebird error code of the status vector.
  ISC_STATUS IscCode() const { return iscCode_; }
  /// Every Firebird error code of the status vector, in order: the first
  /// often says only "I/O error", a later one what went wrong.
  const std::vector<ISC_STATUS>& IscCodes() const { return iscCodes_; }

 private:
  long sqlCode_;
  ISC_STATUS iscCode_;
  std::vector<ISC_STATUS> iscCodes_;
};

/// True when the status vector reports an error.
bool HasError(const ISC_STATUS* status);

/// The first Firebird error code of the status vector (0 when there is none).
ISC_STATUS FirstErrorCode(const ISC_STATUS* status);

/// Every Firebird error code of the status vector (the isc_arg_gds items,
/// not the warnings), in order; the walk ends at isc_arg_end and never
/// reads past the ISC_STATUS_LENGTH items of a status array.
std::vector<ISC_STATUS> ErrorCodes(const ISC_STATUS* status);

/// The text of a failed services or information call: the messages joined by
/// CR LF, a final "." removed.
std::string ServiceErrorText(const std::vector<std::string>& messages);

/// The text of a failed attach: "ISC ERROR CODE:" and the code, an empty
/// line, "ISC ERROR MESSAGE:", then the messages trimmed, one per line, a
/// message equal to the line before it left out; lines joined by CR LF.
std::string AttachErrorText(ISC_STATUS code, const std::vector<std::string>& messages);

/// The error of a failed services or information call.
EFirebirdError ServiceError(const ClientLibrary& library, const ISC_STATUS* status);

/// The error of a failed attach.
EFirebirdError AttachError(const ClientLibrary& library, const ISC_STATUS* status);

}  // namespace tarnvel::firebird
