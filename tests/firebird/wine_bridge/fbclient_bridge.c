/*
 * Test-only fbclient.dll for the Windows build under Wine (x86_64): a winelib
 * DLL whose exports, called with the Windows calling convention, forward to
 * the Linux client library. It lets the Windows test programs reach the real
 * Firebird server; it never ships and never enters a release build.
 *
 * The Windows program names databases by Wine drive paths (Z:\...), which the
 * Linux server cannot open; on a real Windows machine client and server see
 * the same path. The bridge therefore turns a drive path in an attach name
 * and in a service request's database name into the Unix path.
 */
#include <windows.h>

/* winegcc defines these; with them ibase.h would declare the Linux functions
 * with the Microsoft calling convention, which is silently wrong. */
#undef _WIN32
#undef WIN32
#undef __WIN32__
#include <ibase.h>
#include <string.h>

/* Both sides must agree on what crosses the bridge: the Windows program's
 * ibase.h (x86_64) has an 8-byte ISC_STATUS and 4-byte handles. */
_Static_assert(sizeof(ISC_STATUS) == 8, "ISC_STATUS must be 8 bytes on both sides");
_Static_assert(sizeof(isc_db_handle) == 4, "database handles must be 4 bytes on both sides");
_Static_assert(sizeof(isc_svc_handle) == 4, "service handles must be 4 bytes on both sides");
_Static_assert(sizeof(isc_resv_handle) == 4, "reserved handles must be 4 bytes on both sides");
_Static_assert(sizeof(ISC_LONG) == 4, "ISC_LONG must be 4 bytes on both sides");
_Static_assert(sizeof(short) == 2, "short must be 2 bytes on both sides");

enum { kNameMax = 4096 };

/* Start of a drive path ("X:\") in Name: at its start or right after the
 * "host/port:" part; -1 when there is none. */
static int drive_path_start(const char* name, int length) {
  for (int i = 0; i + 2 < length; ++i) {
    const char c = name[i];
    const int letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    if (letter && name[i + 1] == ':' && name[i + 2] == '\\' && (i == 0 || name[i - 1] == ':')) return i;
  }
  return -1;
}

/* Writes Name with its drive path as a Unix path into Out; returns the new
 * length, or the old one (Name copied unchanged) when nothing is translated. */
static int translate_name(const char* name, int length, char* out) {
  const int start = drive_path_start(name, length);
  if (length <= 0 || length >= kNameMax) return -1;
  memcpy(out, name, (size_t)length);
  if (start < 0) return length;
  WCHAR wide[kNameMax];
  /* The program hands the client its paths in the ANSI code page, as the
   * real Windows client reads them. */
  const int wideLength = MultiByteToWideChar(CP_ACP, 0, name + start, length - start, wide, kNameMax - 1);
  if (wideLength <= 0) return length;
  wide[wideLength] = 0;
  char* unixPath = wine_get_unix_file_name(wide);
  if (unixPath == NULL) return length;
  const int unixLength = (int)strlen(unixPath);
  int result = length;
  if (start + unixLength < kNameMax) {
    memcpy(out + start, unixPath, (size_t)unixLength);
    result = start + unixLength;
  }
  HeapFree(GetProcessHeap(), 0, unixPath);
  return result;
}

ISC_STATUS WINAPI bridge_isc_attach_database(ISC_STATUS* status, short nameLength, const ISC_SCHAR* name,
                                             isc_db_handle* handle, short dpbLength, const ISC_SCHAR* dpb) {
  const int length = nameLength != 0 ? nameLength : (int)strlen(name);
  char translated[kNameMax];
  const int newLength = translate_name(name, length, translated);
  if (newLength < 0) return isc_attach_database(status, nameLength, name, handle, dpbLength, dpb);
  return isc_attach_database(status, (short)newLength, translated, handle, dpbLength, dpb);
}

ISC_STATUS WINAPI bridge_isc_detach_database(ISC_STATUS* status, isc_db_handle* handle) {
  return isc_detach_database(status, handle);
}

ISC_STATUS WINAPI bridge_isc_database_info(ISC_STATUS* status, isc_db_handle* handle, short itemsLength,
                                           const ISC_SCHAR* items, short bufferLength, ISC_SCHAR* buffer) {
  return isc_database_info(status, handle, itemsLength, items, bufferLength, buffer);
}

ISC_STATUS WINAPI bridge_isc_service_attach(ISC_STATUS* status, unsigned short nameLength, const ISC_SCHAR* name,
                                            isc_svc_handle* handle, unsigned short spbLength,
                                            const ISC_SCHAR* spb) {
  return isc_service_attach(status, nameLength, name, handle, spbLength, spb);
}

/* A properties request starts with its action and the database name (a
 * 2-byte little-endian length and the text); the rest is passed on as it is. */
ISC_STATUS WINAPI bridge_isc_service_start(ISC_STATUS* status, isc_svc_handle* handle, isc_resv_handle* reserved,
                                           unsigned short requestLength, const ISC_SCHAR* request) {
  if (requestLength < 4 || request[1] != isc_spb_dbname)
    return isc_service_start(status, handle, reserved, requestLength, request);
  const int nameLength = (unsigned char)request[2] | ((unsigned char)request[3] << 8);
  if (4 + nameLength > requestLength) return isc_service_start(status, handle, reserved, requestLength, request);
  char name[kNameMax];
  const int newLength = translate_name(request + 4, nameLength, name);
  const int rest = requestLength - 4 - nameLength;
  if (newLength < 0 || 4 + newLength + rest > kNameMax)
    return isc_service_start(status, handle, reserved, requestLength, request);
  char rebuilt[kNameMax];
  rebuilt[0] = request[0];
  rebuilt[1] = request[1];
  rebuilt[2] = (char)(newLength & 0xFF);
  rebuilt[3] = (char)(newLength >> 8);
  memcpy(rebuilt + 4, name, (size_t)newLength);
  memcpy(rebuilt + 4 + newLength, request + 4 + nameLength, (size_t)rest);
  return isc_service_start(status, handle, reserved, (unsigned short)(4 + newLength + rest), rebuilt);
}

ISC_STATUS WINAPI bridge_isc_service_query(ISC_STATUS* status, isc_svc_handle* handle, isc_resv_handle* reserved,
                                           unsigned short sendLength, const ISC_SCHAR* send,
                                           unsigned short requestLength, const ISC_SCHAR* request,
                                           unsigned short bufferLength, ISC_SCHAR* buffer) {
  return isc_service_query(status, handle, reserved, sendLength, send, requestLength, request, bufferLength,
                           buffer);
}

ISC_STATUS WINAPI bridge_isc_service_detach(ISC_STATUS* status, isc_svc_handle* handle) {
  return isc_service_detach(status, handle);
}

ISC_LONG WINAPI bridge_isc_sqlcode(const ISC_STATUS* status) { return isc_sqlcode(status); }

ISC_LONG WINAPI bridge_fb_interpret(ISC_SCHAR* buffer, unsigned int bufferLength, const ISC_STATUS** status) {
  return fb_interpret(buffer, bufferLength, status);
}
