// The texts of server errors: what the operator reads and callers search.
#include "firebird/firebird_error.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tarnvel::firebird
