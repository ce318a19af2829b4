#pragma once
// Windows only: the test service program (tests/sysroutines/programs/
// test_service.cpp) registered with the service manager under a given name
// for the life of the object, stopped and deleted afterwards.
//
// Wine's service manager refuses to start a service while another one is
// starting (ERROR_SERVICE_DATABASE_LOCKED), so tests holding such a service
// take turns, across test programs, through a named mutex.

#include <string>

namespace tarnvel::testing {

class RegisteredTestService {
 public:
  /// Registers the service (replacing a leftover of an earlier run); throws
  /// when that fails. Arguments go on the service's command line; Program,
  /// when given, is a copy of the test service under another name, written
  /// on the command line without quotes, as the product's server installer
  /// writes its own.
  RegisteredTestService(const std::string& name, const std::string& arguments = "",
                        const std::string& program = "");
  ~RegisteredTestService();
  RegisteredTestService(const RegisteredTestService&) = delete;
  RegisteredTestService& operator=(const RegisteredTestService&) = delete;

  const std::string& Name() const { return name_; }

 private:
  void* turn_ = nullptr;  // the mutex, held while the object lives
  std::string name_;
};

}  // namespace tarnvel::testing
