#pragma once
// The byte buffers sent to the Firebird client library: the database
// parameter buffer of an attach, the service manager's attach buffer and the
// two database property requests. Every value is checked against the length
// field it must fit before anything is sent.

#include <string>

#include "firebird/split_database_name.h"

namespace tarnvel::firebird {

/// isc_dpb_version1, then user name (trimmed of blanks), password (as it
/// stands), role (only when not empty) and "WIN1251" as tag, length byte,
/// value; an empty value is left out. Throws std::invalid_argument("Invalid
/// DPB: Contents over 255 characters") for a value longer than 255 bytes.
std::string DatabaseParameterBuffer(const std::string& userName, const std::string& password,
                                    const std::string& role);

/// The service manager's attach buffer: user name and password, each as tag,
/// one length byte, value. Throws std::invalid_argument for a value longer
/// than 255 bytes; the text names the item, never its value.
std::string ServiceAttachBuffer(const std::string& userName, const std::string& password);

/// The request that shuts the database at Path down by force after one
/// second; the database item is left out when Path is empty. Throws
/// std::invalid_argument when Path is longer than its two length bytes hold.
std::string ShutdownRequest(const std::string& path);

/// The request that brings the database at Path back online.
std::string OnlineRequest(const std::string& path);

/// The request for the header page statistics of the database at Path (what
/// "gstat -h" prints): read by the server from the file, so it also answers
/// for a database that is shut down.
std::string HeaderStatisticsRequest(const std::string& path);

/// The service manager to attach to: server + ":service_mgr", or
/// "service_mgr" alone for a local name. Named-pipe and SPX names are
/// addressed over TCP/IP with their server part.
std::string ServiceManagerName(const TDatabaseNameParts& parts);

/// The one request of the attached-users query: isc_info_user_names.
std::string UserNamesRequest();

}  // namespace tarnvel::firebird
