// The texts of server errors: what the operator reads and callers search.
#include "firebird/firebird_error.h"

#include <gtest/gtest.h>

#include "firebird/server_failure.h"

namespace tarnvel::firebird {
namespace {

TEST(ServiceErrorText, JoinedByCrLfWithoutTheFinalPeriod) {
  EXPECT_EQ(ServiceErrorText({"Unable to complete network request to host \"localhost\".",
                              "Failed to establish a connection."}),
            "Unable to complete network request to host \"localhost\".\r\nFailed to establish a connection");
  EXPECT_EQ(ServiceErrorText({"v1.2."}), "v1.2");
  EXPECT_EQ(ServiceErrorText({"no period"}), "no period");
  EXPECT_EQ(ServiceErrorText({}), "");
}

TEST(AttachErrorText, CodeThenTrimmedMessagesWithoutRepeats) {
  EXPECT_EQ(
      AttachErrorText(335544472, {"Your user name and password are not defined."}),
      "ISC ERROR CODE:335544472\r\n\r\nISC ERROR MESSAGE:\r\nYour user name and password are not defined.");
  EXPECT_EQ(AttachErrorText(335544344, {" I/O error ", "I/O error", "open", "I/O error", "open", "open"}),
            "ISC ERROR CODE:335544344\r\n\r\nISC ERROR MESSAGE:\r\nI/O error\r\nopen\r\nI/O error\r\nopen");
}

TEST(StatusVector, FirstCodeAndErrorFlag) {
  const ISC_STATUS failed[] = {isc_arg_gds, 335544721, isc_arg_string, 0,
                               isc_arg_gds, 335544722, isc_arg_end};
  const ISC_STATUS success[] = {isc_arg_gds, 0, isc_arg_end};
  EXPECT_TRUE(HasError(failed));
  EXPECT_EQ(FirstErrorCode(failed), 335544721);
  EXPECT_FALSE(HasError(success));
  EXPECT_EQ(FirstErrorCode(success), 0);
}

// The status vectors below are those the Firebird 3 server of the tests
// returned (string arguments left out: only the codes matter here).
TEST(StatusVector, EveryErrorCodeInOrderAndTheKindOfFailure) {
  const char* const text = "text";
  const auto string = reinterpret_cast<ISC_STATUS>(text);
  const struct {
    const char* what;
    std::vector<ISC_STATUS> status;
    std::vector<ISC_STATUS> codes;
    ServerFailure kind;
  } cases[] = {
      {"wrong password", {isc_arg_gds, isc_login, isc_arg_end}, {isc_login}, ServerFailure::LoginRefused},
      {"nobody listens",
       {isc_arg_gds, isc_network_error, isc_arg_string, string, isc_arg_gds, isc_net_connect_err,
        isc_arg_end},
       {isc_network_error, isc_net_connect_err},
       ServerFailure::Unreachable},
      {"no database file",
       {isc_arg_gds, isc_io_error, isc_arg_string, string, isc_arg_string, string, isc_arg_gds,
        isc_io_open_err, isc_arg_interpreted, string, isc_arg_end},
       {isc_io_error, isc_io_open_err},
       ServerFailure::DatabaseFile},
      {"full shutdown",
       {isc_arg_gds, isc_shutdown, isc_arg_string, string, isc_arg_end},
       {isc_shutdown},
       ServerFailure::DatabaseShutDown},
      // An I/O error whose cause is another engine holding the file: in use.
      {"opened by another engine",
       {isc_arg_gds, isc_io_error, isc_arg_string, string, isc_arg_string, string, isc_arg_gds,
        isc_already_opened, isc_arg_end},
       {isc_io_error, isc_already_opened},
       ServerFailure::DatabaseInUse},
      {"lock time-out",
       {isc_arg_gds, isc_lock_timeout, isc_arg_gds, isc_obj_in_use, isc_arg_string, string, isc_arg_end},
       {isc_lock_timeout, isc_obj_in_use},
       ServerFailure::DatabaseInUse},
      // A counted string takes two items; a warning is no error.
      {"already in that mode",
       {isc_arg_gds, isc_bad_shutdown_mode, isc_arg_cstring, 4, string, isc_arg_warning, isc_login,
        isc_arg_end},
       {isc_bad_shutdown_mode},
       ServerFailure::Other},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ErrorCodes(c.status.data()), c.codes) << c.what;
    EXPECT_EQ(ClassifyServerFailure(c.codes), c.kind) << c.what;
  }
  // A vector without an end mark is not read past its twenty items.
  std::vector<ISC_STATUS> endless;
  for (int i = 0; i < ISC_STATUS_LENGTH; i += 2) endless.insert(endless.end(), {isc_arg_gds, isc_login});
  endless.resize(ISC_STATUS_LENGTH + 4, isc_arg_gds);
  EXPECT_EQ(ErrorCodes(endless.data()), std::vector<ISC_STATUS>(ISC_STATUS_LENGTH / 2, isc_login));
}

}  // namespace
}  // namespace tarnvel::firebird
