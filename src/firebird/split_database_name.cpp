#include "firebird/split_database_name.h"

namespace tarnvel::firebird {

TDatabaseNameParts SplitDatabaseName(const std::string& name) {
  if (name.size() > 2 && name[1] == ':' && name.find(':', 2) == std::string::npos) {
    return {"", name, TProtocol::Local};
  }
  if (name.find("\\\\") != std::string::npos) {
    // Cut the text from the third character on at its first backslash.
    const std::string rest = name.size() > 2 ? name.substr(2) : std::string();
    const std::size_t cut = rest.find('\\');
    if (cut == std::string::npos) return {rest, "", TProtocol::NamedPipe};
    return {rest.substr(0, cut), rest.substr(cut + 1), TProtocol::NamedPipe};
  }
  if (const std::size_t at = name.find('@'); at != std::string::npos) {
    return {name.substr(0, at), name.substr(at + 1), TProtocol::SPX};
  }
  if (const std::size_t colon = name.find(':'); colon != std::string::npos) {
    return {name.substr(0, colon), name.substr(colon + 1), TProtocol::TCP};
  }
  return {"", name, TProtocol::Local};
}

std::string ConnectString(const TDatabaseNameParts& parts) {
  switch (parts.Protocol) {
    case TProtocol::TCP:
      return parts.Server + ":" + parts.Path;
    case TProtocol::NamedPipe:
      return "\\\\" + parts.Server + "\\" + parts.Path;
    case TProtocol::SPX:
      return parts.Server + "@" + parts.Path;
    case TProtocol::Local:
      break;
  }
  return parts.Path;
}

}  // namespace tarnvel::firebird
