// The exact bytes sent to the client library, and the values that do not fit.
#include "firebird/parameter_buffers.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace tarnvel::firebird {
namespace {

std::string Bytes(std::initializer_list<int> bytes) {
  std::string text;
  for (int b : bytes) text.push_back(static_cast<char>(b));
  return text;
}

std::string Clump(int tag, const std::string& value) {
  return Bytes({tag, static_cast<int>(value.size())}) + value;
}

TEST(DatabaseParameterBuffer, OrderAndFormOfTheClumps) {
  const std::string charset = Clump(48, "WIN1251");
  const struct {
    const char* user;
    const char* password;
    const char* role;
    std::string expected;
  } cases[] = {
      {"SYSDBA", "kelpdromux", "", Bytes({1}) + Clump(28, "SYSDBA") + Clump(29, "kelpdromux") + charset},
      {"  SYSDBA \t", " pw ", "ADMIN_ROLE",
       Bytes({1}) + Clump(28, "SYSDBA") + Clump(29, " pw ") + Clump(60, "ADMIN_ROLE") + charset},
      {"", "", "", Bytes({1}) + charset},  // empty values are left out
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DatabaseParameterBuffer(c.user, c.password, c.role), c.expected) << c.user << "/" << c.role;
  }
}

TEST(DatabaseParameterBuffer, ValueOver255BytesFails) {
  const std::string fits(255, 'p');
  EXPECT_EQ(DatabaseParameterBuffer("U", fits, "").size(), 1u + 3u + 2u + 255u + 9u);
  const std::string tooLong(256, 'x');
  for (const auto& [user, password, role] : {std::tuple{tooLong, std::string("p"), std::string()},
                                             std::tuple{std::string("U"), tooLong, std::string()},
                                             std::tuple{std::string("U"), std::string("p"), tooLong}}) {
    try {
      DatabaseParameterBuffer(user, password, role);
      ADD_FAILURE() << "no error";
    } catch (const std::invalid_argument& e) {
      EXPECT_STREQ(e.what(), "Invalid DPB: Contents over 255 characters");
    }
  }
}

TEST(ServiceAttachBuffer, FromParameterLines) {
  const std::string expected = Bytes({2, 2}) + Clump(28, "SYSDBA") + Clump(29, " pass=word ");
  EXPECT_EQ(ServiceAttachBuffer({"user_name=SYSDBA", "password= pass=word "}), expected);
  EXPECT_EQ(ServiceAttachBuffer({"ISC_SPB_USER_NAME=SYSDBA", "Password= pass=word "}), expected);
  EXPECT_EQ(ServiceAttachBuffer({"user_name=", "password=x"}), Bytes({2, 2, 28, 0, 29, 1, 'x'}));
}

TEST(ServiceAttachBuffer, RefusesWhatItCannotHold) {
  const std::vector<std::vector<std::string>> refused = {
      {"user_name=SYSDBA", "role=ADMIN"},      // not an attach item
      {"user_name SYSDBA"},                    // no "="
      {"user_name=" + std::string(256, 'u')},  // over one length byte
      {"password=" + std::string(300, 'p')},
  };
  for (const auto& lines : refused) {
    EXPECT_THROW(ServiceAttachBuffer(lines), std::invalid_argument) << lines.front().substr(0, 20);
  }
  EXPECT_EQ(ServiceAttachBuffer({"password=" + std::string(255, 'p')}).size(), 2u + 2u + 255u);
}

TEST(PropertiesRequests, ShutdownAndOnlineBytes) {
  const std::string path = "/srv/db/TarnVel.fdb";
  const std::string dbname = Bytes({106, static_cast<int>(path.size()), 0}) + path;
  EXPECT_EQ(ShutdownRequest(path), Bytes({8}) + dbname + Bytes({7, 1, 0, 0, 0}));
  EXPECT_EQ(OnlineRequest(path), Bytes({8}) + dbname + Bytes({108, 0x00, 0x02, 0, 0}));
  // no database item for an empty path
  EXPECT_EQ(ShutdownRequest(""), Bytes({8, 7, 1, 0, 0, 0}));
  EXPECT_EQ(OnlineRequest(""), Bytes({8, 108, 0, 2, 0, 0}));
  // the path length takes two bytes, low byte first
  const std::string longPath(300, 'd');
  EXPECT_EQ(OnlineRequest(longPath).substr(0, 4), Bytes({8, 106, 300 & 0xFF, 300 >> 8}));
  EXPECT_EQ(OnlineRequest(std::string(65535, 'd')).size(), 1u + 3u + 65535u + 5u);
  EXPECT_THROW(OnlineRequest(std::string(65536, 'd')), std::invalid_argument);
}

TEST(ServiceManagerName, PerProtocol) {
  EXPECT_EQ(ServiceManagerName(SplitDatabaseName("localhost/3051:C:\\Data\\Base.fdb")),
            "localhost/3051:service_mgr");
  EXPECT_EQ(ServiceManagerName(SplitDatabaseName("C:\\Data\\Base.fdb")), "service_mgr");
  EXPECT_EQ(ServiceManagerName(SplitDatabaseName("/srv/Base.fdb")), "service_mgr");
  // named pipe and SPX names are addressed over TCP/IP with their server
  EXPECT_EQ(ServiceManagerName(SplitDatabaseName("\\\\srv\\share\\base.fdb")), "srv:service_mgr");
  EXPECT_EQ(ServiceManagerName(SplitDatabaseName("srv@base.fdb")), "srv:service_mgr");
  EXPECT_EQ(UserNamesRequest(), Bytes({53}));
}

}  // namespace
}  // namespace tarnvel::firebird
