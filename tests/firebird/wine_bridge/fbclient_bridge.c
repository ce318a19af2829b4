/*
 * Test-only fbclient.dll for the Windows build under Wine (x86_64): a winelib
 * DLL whose exports, called with the Windows calling convention, forward to
 * the Linux client library. It lets the Windows test programs reach the real
 * Firebird server; it never ships and never enters a release build.
 */
#include <windef.h>

/* winegcc defines these; with them ibase.h would declare the Linux functions
 * with the Microsoft calling convention, which is silently wrong. */
#undef _WIN32
#undef WIN32
#undef __WIN32__
#include <ibase.h>

/* Both sides must agree on what crosses the bridge: the Windows program's
 * ibase.h (x86_64) has an 8-byte ISC_STATUS and 4-byte handles. */
_Static_assert(sizeof(ISC_STATUS) == 8, "ISC_STATUS must be 8 bytes on both sides");
_Static_assert(sizeof(isc_db_handle) == 4, "database handles must be 4 bytes on both sides");
_Static_assert(sizeof(isc_svc_handle) == 4, "service handles must be 4 bytes on both sides");
_Static_assert(sizeof(isc_resv_handle) == 4, "reserved handles must be 4 bytes on both sides");
_Static_assert(sizeof(ISC_LONG) == 4, "ISC_LONG must be 4 bytes on both sides");
_Static_assert(sizeof(short) == 2, "short must be 2 bytes on both sides");

ISC_STATUS WINAPI bridge_isc_attach_database(ISC_STATUS* status, short nameLength, const ISC_SCHAR* name,
                                             isc_db_handle* handle, short dpbLength, const ISC_SCHAR* dpb) {
  return isc_attach_database(status, nameLength, name, handle, dpbLength, dpb);
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

ISC_STATUS WINAPI bridge_isc_service_start(ISC_STATUS* status, isc_svc_handle* handle, isc_resv_handle* reserved,
                                           unsigned short requestLength, const ISC_SCHAR* request) {
  return isc_service_start(status, handle, reserved, requestLength, request);
}

ISC_STATUS WINAPI bridge_isc_service_detach(ISC_STATUS* status, isc_svc_handle* handle) {
  return isc_service_detach(status, handle);
}

ISC_LONG WINAPI bridge_isc_sqlcode(const ISC_STATUS* status) { return isc_sqlcode(status); }

ISC_LONG WINAPI bridge_fb_interpret(ISC_SCHAR* buffer, unsigned int bufferLength, const ISC_STATUS** status) {
  return fb_interpret(buffer, bufferLength, status);
}
