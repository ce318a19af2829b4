#include "firebird/parameter_buffers.h"

#include <ibase.h>

#include <cstdint>
#include <stdexcept>

#include "firebird/trim.h"

namespace tarnvel::firebird {
namespace {

constexpr std::size_t kMaxByteLength = 255;
constexpr std::size_t kMaxWordLength = 65535;

void AppendByte(std::string& buffer, unsigned value) {
  buffer.push_back(static_cast<char>(value & 0xFF));
}

void AppendWord(std::string& buffer, std::size_t value) {
  AppendByte(buffer, static_cast<unsigned>(value));
  AppendByte(buffer, static_cast<unsigned>(value >> 8));
}

void AppendLong(std::string& buffer, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) AppendByte(buffer, value >> shift);
}

void AppendDpbClump(std::string& buffer, unsigned tag, const std::string& value) {
  if (value.empty()) return;
  if (value.size() > kMaxByteLength) throw std::invalid_argument("Invalid DPB: Contents over 255 characters");
  AppendByte(buffer, tag);
  AppendByte(buffer, static_cast<unsigned>(value.size()));
  buffer += value;
}

// An attach item, sent even when its value is empty. The error names the
// item only: the value may be a password.
void AppendSpbItem(std::string& buffer, unsigned tag, const char* name, const std::string& value) {
  if (value.size() > kMaxByteLength) {
    throw std::invalid_argument(std::string("Invalid SPB: Contents of ") + name + " over 255 characters");
  }
  AppendByte(buffer, tag);
  AppendByte(buffer, static_cast<unsigned>(value.size()));
  buffer += value;
}

// An action followed by the database item; the item is left out for an empty path.
std::string DatabaseActionRequest(unsigned action, const std::string& path) {
  std::string buffer;
  AppendByte(buffer, action);
  if (!path.empty()) {
    if (path.size() > kMaxWordLength) {
      throw std::invalid_argument("Invalid SPB: the database path is over 65535 characters");
    }
    AppendByte(buffer, isc_spb_dbname);
    AppendWord(buffer, path.size());
    buffer += path;
  }
  return buffer;
}

std::string PropertiesRequest(const std::string& path) {
  return DatabaseActionRequest(isc_action_svc_properties, path);
}

}  // namespace

std::string DatabaseParameterBuffer(const std::string& userName, const std::string& password,
                                    const std::string& role) {
  std::string buffer;
  AppendByte(buffer, isc_dpb_version1);
  AppendDpbClump(buffer, isc_dpb_user_name, Trim(userName));
  AppendDpbClump(buffer, isc_dpb_password, password);
  AppendDpbClump(buffer, isc_dpb_sql_role_name, role);
  AppendDpbClump(buffer, isc_dpb_lc_ctype, "WIN1251");
  return buffer;
}

std::string ServiceAttachBuffer(const std::string& userName, const std::string& password) {
  std::string buffer;
  AppendByte(buffer, isc_spb_version);
  AppendByte(buffer, isc_spb_current_version);
  AppendSpbItem(buffer, isc_spb_user_name, "user_name", userName);
  AppendSpbItem(buffer, isc_spb_password, "password", password);
  return buffer;
}

std::string ShutdownRequest(const std::string& path) {
  std::string buffer = PropertiesRequest(path);
  AppendByte(buffer, isc_spb_prp_shutdown_db);
  AppendLong(buffer, 1);  // seconds the server waits before it disconnects the others
  return buffer;
}

std::string OnlineRequest(const std::string& path) {
  std::string buffer = PropertiesRequest(path);
  AppendByte(buffer, isc_spb_options);
  AppendLong(buffer, isc_spb_prp_db_online);
  return buffer;
}

std::string HeaderStatisticsRequest(const std::string& path) {
  std::string buffer = DatabaseActionRequest(isc_action_svc_db_stats, path);
  AppendByte(buffer, isc_spb_options);
  AppendLong(buffer, isc_spb_sts_hdr_pages);
  return buffer;
}

std::string ServiceManagerName(const TDatabaseNameParts& parts) {
  if (parts.Protocol == TProtocol::Local) return "service_mgr";
  return parts.Server + ":service_mgr";
}

std::string UserNamesRequest() {
  return std::string(1, static_cast<char>(isc_info_user_names));
}

}  // namespace tarnvel::firebird
