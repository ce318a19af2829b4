#pragma once
// Cases that must meet a process in which nothing is loaded yet. The service
// layer keeps the first client library it loads for the life of the process,
// so what such a case sees would otherwise depend on which tests ran before
// it. Each runs in a new run of this test program.

#include <functional>
#include <string>

namespace tarnvel::firebird::testing {

/// Registers Body as the test FreshProcess.<Name>, but only in a run started
/// by RunInFreshProcess: in every other run the case does not exist.
bool RegisterFreshProcessCase(const char* name, std::function<void()> body);

/// Runs FreshProcess.<Name> in a new process of this test program. The
/// calling test fails, with the child's report, unless the case ran and passed.
void RunInFreshProcess(const std::string& name);

/// Sets (Value not null) or removes the environment variable Name of this
/// process, which children started afterwards inherit.
void SetEnvironmentForChildren(const char* name, const char* value);

}  // namespace tarnvel::firebird::testing
