#include "text/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace gaumo {
namespace {

class PosixInput final : public InputFile {
 public:
  explicit PosixInput(int fd) : fd_(fd) {}
  ~PosixInput() override { ::close(fd_); }
  long read(char* buf, std::size_t n, int& err) override {
    for (;;) {
      const ssize_t r = ::read(fd_, buf, n);
      if (r >= 0) return static_cast<long>(r);
      if (errno == EINTR) continue;
      err = errno;
      return -1;
    }
  }

 private:
  int fd_;
};

class PosixOutput final : public OutputFile {
 public:
  explicit PosixOutput(int fd) : fd_(fd) {}
  ~PosixOutput() override {
    if (fd_ >= 0) ::close(fd_);
  }
  int write(const char* buf, std::size_t n) override {
    while (n > 0) {
      const ssize_t r = ::write(fd_, buf, n);
      if (r < 0) {
        if (errno == EINTR) continue;
        return errno;
      }
      buf += r;
      n -= static_cast<std::size_t>(r);
    }
    return 0;
  }
  int close() override {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0 ? 0 : errno;
  }

 private:
  int fd_;
};

class PosixFileSystem final : public FileSystem {
 public:
  explicit PosixFileSystem(std::string base) : base_(std::move(base)) {}

  bool exists(const std::string& path) override {
    struct stat st;
    const std::string p = full(path);
    // A name with a NUL byte cannot name a file.
    if (p.find('\0') != std::string::npos) return false;
    return ::stat(p.c_str(), &st) == 0;
  }

  std::unique_ptr<InputFile> open_read(const std::string& path,
                                       int& err) override {
    const std::string p = full(path);
    if (p.find('\0') != std::string::npos) {
      err = ENOENT;
      return nullptr;
    }
    const int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
      err = errno;
      return nullptr;
    }
    // Linux opens a folder for reading; only its reads fail. Refuse it here.
    struct stat st;
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
      ::close(fd);
      err = kIsADirectory;
      return nullptr;
    }
    return std::make_unique<PosixInput>(fd);
  }

  std::unique_ptr<OutputFile> open_write(const std::string& path,
                                         int& err) override {
    const std::string p = full(path);
    if (p.find('\0') != std::string::npos) {
      err = ENOENT;
      return nullptr;
    }
    const int fd =
        ::open(p.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
      err = errno == EISDIR ? kIsADirectory : errno;
      return nullptr;
    }
    return std::make_unique<PosixOutput>(fd);
  }

 private:
  std::string full(const std::string& path) const {
    if (base_.empty() || (!path.empty() && path[0] == '/')) return path;
    return base_ + "/" + path;
  }
  std::string base_;
};

}  // namespace

std::unique_ptr<FileSystem> make_posix_file_system(std::string base) {
  return std::make_unique<PosixFileSystem>(std::move(base));
}

}  // namespace gaumo
