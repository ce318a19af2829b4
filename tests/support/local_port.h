#pragma once
// Whether a server answers on a port of this machine's loopback address
// (Linux tests: the real Firebird server before and after it is stopped).

namespace tarnvel::testing {

bool LocalPortAnswers(int port);

}  // namespace tarnvel::testing
