#pragma once
// Everything that differs between Windows and the POSIX systems, in one
// place: the rest of the program is written once for both. Files are opened
// in binary mode everywhere, so every output file has the same bytes on
// every system (LF line ends).

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gaumo::platform {

/// How a name in the current folder reaches the parent folder.
#ifdef _WIN32
inline constexpr std::string_view kParentPrefix = "..\\";
#else
inline constexpr std::string_view kParentPrefix = "../";
#endif

/// Whether something of that name exists (a folder counts).
bool path_exists(const char* path);

/// Opens an existing file for reading, or creates or truncates one for
/// writing. Returns a descriptor, or -1 with `err` set to the system error
/// number; a folder in place of the file gives 21 ("is a directory") on
/// every system.
int open_for_read(const char* path, int& err);
int open_for_write(const char* path, int& err);
/// Reads up to n bytes; the count (0 at the end), or -1 with `err`.
long read_some(int fd, char* buf, std::size_t n, int& err);
/// Writes all n bytes; 0 or the error number.
int write_all(int fd, const char* buf, std::size_t n);
/// 0 or the error number.
int close_file(int fd);

/// Adds the names of the entries of a folder ("." and ".." left out) to
/// `names`; false when the folder cannot be listed.
bool list_folder(const char* path, std::vector<std::string>& names);

/// The machine's physical memory, and the memory that can be had now
/// without swapping; nothing where the system does not say.
std::optional<std::uint64_t> physical_memory();
std::optional<std::uint64_t> available_memory();

/// A block of `bytes` straight from the system (page-aligned, never
/// shared), or null; give it back with release_pages and the same size.
void* allocate_pages(std::size_t bytes);
void release_pages(void* p, std::size_t bytes);

/// The broken-down local time of `t`; false when it cannot be had.
bool local_time(std::time_t t, std::tm& out);

/// Puts standard input and output in binary mode, so the console bytes are
/// the same on every system and answers are read exactly as typed.
void use_binary_console();

}  // namespace gaumo::platform
