// A Win32-shaped subset of the registry, backed by an in-process table (tests,
// host) or by a text file named by the environment variable PELMO_REGISTRY:
//   HKEY_LOCAL_MACHINE\SOFTWARE\Calverin\Tressa\38.0\ZKDir=/data/networks
// (a line starting with '#' is a comment; lines are trimmed). The file is re-read
// when its modification time changes. Key paths and value names compare
// case-insensitively. A missing key or value fails; nothing is invented.
#pragma once

struct pelmo_hkey;
using HKEY = pelmo_hkey*;

extern HKEY const HKEY_LOCAL_MACHINE;

constexpr long ERROR_SUCCESS = 0;
constexpr long ERROR_FILE_NOT_FOUND = 2;
constexpr long ERROR_MORE_DATA = 234;
constexpr long ERROR_INVALID_HANDLE = 6;
constexpr long ERROR_OUTOFMEMORY = 14;
constexpr long ERROR_INVALID_PARAMETER = 87;
constexpr unsigned KEY_QUERY_VALUE = 0x0001;
constexpr unsigned REG_SZ = 1;

long RegOpenKeyExA(HKEY root, const char* subkey, unsigned options, unsigned access, HKEY* out);
// On entry *size is the buffer size in bytes; on success it is the stored size
// (terminator included). A value that does not fit fails with ERROR_MORE_DATA
// (*size then holds the size needed, the buffer is untouched). With data null
// the call only reports the size.
long RegQueryValueExA(HKEY key, const char* value_name, unsigned* reserved, unsigned* type,
                      unsigned char* data, unsigned* size);
long RegCloseKey(HKEY key);

// Override table: a value set here takes precedence over the same value in the
// file. root is "HKEY_LOCAL_MACHINE" (null means the same).
void pelmo_registry_set(const char* root, const char* subkey, const char* value_name, const char* text);
void pelmo_registry_clear();
