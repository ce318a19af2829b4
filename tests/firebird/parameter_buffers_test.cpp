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

TEST(ServiceAttachBuffer, UserNameThenPasswordAsTheyStand) {
  const struct {
    std::string user;
    std::string password;
    std::string expected;
  } cases[] = {
      {"SYSDBA", " pass=word ", Bytes({2, 2}) + Clump(28, "SYSDBA") + Clump(29, " pass=word ")},
      // what once were line and item separators are plain bytes of a value
      {"user_name=x", "a\nisc_spb_role=R",
       Bytes({2, 2}) + Clump(28, "user_name=x") + Clump(29, "a\nisc_spb_role=R")},
      {"", "x", Bytes({2, 2, 28, 0, 29, 1, 'x'})},
      {"U", std::string(255, 'p'), Bytes({2, 2}) + Clump(28, "U") + Clump(29, std::string(255, 'p'))},
  };
  for (const auto& c : cases) EXPECT_EQ(ServiceAttachBuffer(c.user, c.password), c.expected) << c.user;
}

TEST(ServiceAttachBuffer, RefusesWhatItCannotHoldWithoutShowingTheValue) {
  const std::string secret = "Secret-" + std::string(300, 's');
  const struct {
    std::string user;
    std::string password;
    const char* text;
  } cases[] = {
      {secret, "pw", "Invalid SPB: Contents of user_name over 255 characters"},
      {"SYSDBA", secret, "Invalid SPB: Contents of password over 255 characters"},
      {"SYSDBA", std::string(256, 'p'), "Invalid SPB: Contents of password over 255 characters"},
  };
  for (const auto& c : cases) {
    try {
      ServiceAttachBuffer(c.user, c.password);
      ADD_FAILURE() << c.text << ": no error";
    } catch (const std::invalid_argument& e) {
      EXPECT_STREQ(e.what(), c.text);
    }
  }
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
