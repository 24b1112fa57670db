#include "system/platform.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>

#include "run/file_system.h"
#include "system/memory_limit.h"

namespace gaumo::platform {

#ifdef _WIN32

namespace {

// The Windows runtime takes byte counts as unsigned int and returns int.
constexpr std::size_t kMaxChunk = INT_MAX;

bool stat_path(const char* path, struct _stat64& st) {
  return ::_stat64(path, &st) == 0;
}

bool is_folder(const char* path) {
  struct _stat64 st;
  return stat_path(path, st) && (st.st_mode & _S_IFMT) == _S_IFDIR;
}

bool is_folder(int fd) {
  struct _stat64 st;
  return ::_fstat64(fd, &st) == 0 && (st.st_mode & _S_IFMT) == _S_IFDIR;
}

int open_flags(bool write) {
  return (write ? _O_WRONLY | _O_CREAT | _O_TRUNC : _O_RDONLY) | _O_BINARY |
         _O_NOINHERIT;
}

int raw_open(const char* path, bool write) {
  return ::_open(path, open_flags(write), _S_IREAD | _S_IWRITE);
}

int raw_close(int fd) { return ::_close(fd); }

}  // namespace

bool path_exists(const char* path) {
  struct _stat64 st;
  return stat_path(path, st);
}

bool list_folder(const char* path, std::vector<std::string>& names) {
  // The narrow (ANSI) names _findfirst gives are the ones _open takes.
  const std::string pattern = std::string(path) + "\\*";
  struct __finddata64_t entry;
  const intptr_t h = ::_findfirst64(pattern.c_str(), &entry);
  if (h == -1)
    return false;
  do {
    const std::string_view name = entry.name;
    if (name != "." && name != "..")
      names.emplace_back(name);
  } while (::_findnext64(h, &entry) == 0);
  ::_findclose(h);
  return true;
}

long read_some(int fd, char* buf, std::size_t n, int& err) {
  const int r = ::_read(fd, buf, static_cast<unsigned>(std::min(n, kMaxChunk)));
  if (r >= 0)
    return r;
  err = errno;
  return -1;
}

int write_all(int fd, const char* buf, std::size_t n) {
  while (n > 0) {
    const int r =
        ::_write(fd, buf, static_cast<unsigned>(std::min(n, kMaxChunk)));
    if (r < 0)
      return errno;
    buf += r;
    n -= static_cast<std::size_t>(r);
  }
  return 0;
}

namespace {
std::optional<MEMORYSTATUSEX> memory_status() {
  MEMORYSTATUSEX ms{};
  ms.dwLength = sizeof ms;
  if (!::GlobalMemoryStatusEx(&ms))
    return std::nullopt;
  return ms;
}
}  // namespace

std::optional<std::uint64_t> physical_memory() {
  const auto ms = memory_status();
  return ms ? std::optional<std::uint64_t>(ms->ullTotalPhys) : std::nullopt;
}

std::optional<std::uint64_t> available_memory() {
  const auto ms = memory_status();
  return ms ? std::optional<std::uint64_t>(ms->ullAvailPhys) : std::nullopt;
}

void* allocate_pages(std::size_t bytes) {
  return ::VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT,
                        PAGE_READWRITE);
}

void release_pages(void* p, std::size_t /*bytes*/) {
  ::VirtualFree(p, 0, MEM_RELEASE);
}

bool local_time(std::time_t t, std::tm& out) {
  return ::localtime_s(&out, &t) == 0;
}

void use_binary_console() {
  // Text mode would turn each LF into CR LF on the way out, and stop input
  // at a Ctrl-Z byte.
  ::_setmode(::_fileno(stdin), _O_BINARY);
  ::_setmode(::_fileno(stdout), _O_BINARY);
}

#else  // POSIX

namespace {

bool is_folder(const char* path) {
  struct stat st;
  return ::stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

bool is_folder(int fd) {
  struct stat st;
  return ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode);
}

int raw_open(const char* path, bool write) {
  const int flags =
      (write ? O_WRONLY | O_CREAT | O_TRUNC : O_RDONLY) | O_CLOEXEC;
  for (;;) {
    const int fd = ::open(path, flags, 0644);
    if (fd >= 0 || errno != EINTR)
      return fd;
  }
}

int raw_close(int fd) { return ::close(fd); }

}  // namespace

bool path_exists(const char* path) {
  struct stat st;
  return ::stat(path, &st) == 0;
}

bool list_folder(const char* path, std::vector<std::string>& names) {
  DIR* dir = ::opendir(path);
  if (dir == nullptr)
    return false;
  while (const struct dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name != "." && name != "..")
      names.emplace_back(name);
  }
  ::closedir(dir);
  return true;
}

long read_some(int fd, char* buf, std::size_t n, int& err) {
  for (;;) {
    const ssize_t r = ::read(fd, buf, n);
    if (r >= 0)
      return static_cast<long>(r);
    if (errno == EINTR)
      continue;
    err = errno;
    return -1;
  }
}

int write_all(int fd, const char* buf, std::size_t n) {
  while (n > 0) {
    const ssize_t r = ::write(fd, buf, n);
    if (r < 0) {
      if (errno == EINTR)
        continue;
      return errno;
    }
    buf += r;
    n -= static_cast<std::size_t>(r);
  }
  return 0;
}

std::optional<std::uint64_t> physical_memory() {
  const long pages = ::sysconf(_SC_PHYS_PAGES);
  const long page_size = ::sysconf(_SC_PAGESIZE);
  if (pages <= 0 || page_size <= 0)
    return std::nullopt;
  return checked_bytes(static_cast<std::uint64_t>(pages),
                       static_cast<std::uint64_t>(page_size));
}

std::optional<std::uint64_t> available_memory() {
  // The kernel's estimate of what can be had without swapping.
  std::FILE* f = std::fopen("/proc/meminfo", "r");
  if (f == nullptr)
    return std::nullopt;
  char line[256];
  std::optional<std::uint64_t> out;
  while (std::fgets(line, sizeof line, f) != nullptr) {
    unsigned long long kib = 0;
    if (std::sscanf(line, "MemAvailable: %llu kB", &kib) == 1) {
      out = checked_bytes(kib, 1024);
      break;
    }
  }
  std::fclose(f);
  return out;
}

void* allocate_pages(std::size_t bytes) {
  void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                   MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED)
    return nullptr;
#ifdef MADV_HUGEPAGE
  // A national run's table is some 150 MB: large pages spare the tens of
  // thousands of page faults that would otherwise cost more than the fill.
  ::madvise(p, bytes, MADV_HUGEPAGE);
#endif
  return p;
}

void release_pages(void* p, std::size_t bytes) { ::munmap(p, bytes); }

bool local_time(std::time_t t, std::tm& out) {
  return ::localtime_r(&t, &out) != nullptr;
}

void use_binary_console() {}

#endif

int open_for_read(const char* path, int& err) {
  const int fd = raw_open(path, false);
  if (fd < 0) {
    const int e = errno;  // before the folder test can change it
    // Windows refuses a folder with "permission denied"; Linux opens it and
    // only its reads fail. Either way the caller hears "is a directory".
    err = is_folder(path) ? kIsADirectory : e;
    return -1;
  }
  if (is_folder(fd)) {
    raw_close(fd);
    err = kIsADirectory;
    return -1;
  }
  return fd;
}

int open_for_write(const char* path, int& err) {
  const int fd = raw_open(path, true);
  if (fd < 0) {
    const int e = errno;
    err = is_folder(path) ? kIsADirectory : e;
    return -1;
  }
  return fd;
}

int close_file(int fd) { return raw_close(fd) == 0 ? 0 : errno; }

}  // namespace gaumo::platform
