// The one corner of the registry printing reads: a printer's key under
// HKEY_LOCAL_MACHINE and its "Port" value, answered from the spooler's queues.
#include <strings.h>

#include <cstring>
#include <set>

#include "platform/spooler/spooler_impl.h"

namespace ktfolio::win {

struct HKEY__ {
  std::string port;
};

namespace {

constexpr const char* kPrintersKey = "System\\CurrentControlSet\\Control\\Print\\Printers\\";

std::set<HKEY>& Keys() {
  static std::set<HKEY> keys;
  return keys;
}

}  // namespace

LONG RegOpenKeyEx(HKEY key, const char* subKey, DWORD, REGSAM, HKEY* result) {
  if (!result) return ERROR_INVALID_HANDLE;
  *result = nullptr;
  if (key != HKEY_LOCAL_MACHINE || !subKey) return ERROR_FILE_NOT_FOUND;
  const size_t prefix = std::strlen(kPrintersKey);
  if (std::strlen(subKey) <= prefix || strncasecmp(subKey, kPrintersKey, prefix) != 0) return ERROR_FILE_NOT_FOUND;
  spooler::QueuePtr queue = spooler::FindQueue(subKey + prefix);
  if (!queue) return ERROR_FILE_NOT_FOUND;
  auto* opened = new HKEY__{queue->Port()};
  Keys().insert(opened);
  *result = opened;
  return ERROR_SUCCESS;
}

LONG RegQueryValueEx(HKEY key, const char* valueName, DWORD*, DWORD* type, BYTE* data, DWORD* size) {
  if (!Keys().count(key)) return ERROR_INVALID_HANDLE;
  if (!valueName || strcasecmp(valueName, "Port") != 0) return ERROR_FILE_NOT_FOUND;
  if (type) *type = REG_SZ;
  const DWORD bytes = static_cast<DWORD>(key->port.size() + 1);
  if (!size) return data ? ERROR_INVALID_HANDLE : ERROR_SUCCESS;
  const DWORD room = *size;
  *size = bytes;
  if (!data) return ERROR_SUCCESS;
  if (room < bytes) return ERROR_MORE_DATA;
  std::memcpy(data, key->port.c_str(), bytes);
  return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
  if (!Keys().erase(key)) return ERROR_INVALID_HANDLE;
  delete key;
  return ERROR_SUCCESS;
}

}  // namespace ktfolio::win
