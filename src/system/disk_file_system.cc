#include "system/disk_file_system.h"

#include <cerrno>

#include "system/platform.h"

namespace gaumo {
namespace {

class DiskInput final : public InputFile {
 public:
  explicit DiskInput(int fd) : fd_(fd) {}
  ~DiskInput() override { platform::close_file(fd_); }
  long read(char* buf, std::size_t n, int& err) override {
    return platform::read_some(fd_, buf, n, err);
  }

 private:
  int fd_;
};

class DiskOutput final : public OutputFile {
 public:
  explicit DiskOutput(int fd) : fd_(fd) {}
  ~DiskOutput() override {
    if (fd_ >= 0)
      platform::close_file(fd_);
  }
  int write(const char* buf, std::size_t n) override {
    return platform::write_all(fd_, buf, n);
  }
  int close() override {
    const int fd = fd_;
    fd_ = -1;
    return platform::close_file(fd);
  }

 private:
  int fd_;
};

class DiskFileSystem final : public FileSystem {
 public:
  explicit DiskFileSystem(std::string base) : base_(std::move(base)) {}

  bool exists(const std::string& path) override {
    const std::string p = full(path);
    // A name with a NUL byte cannot name a file.
    if (p.find('\0') != std::string::npos)
      return false;
    return platform::path_exists(p.c_str());
  }

  std::unique_ptr<InputFile> open_read(const std::string& path,
                                       int& err) override {
    const std::string p = full(path);
    if (p.find('\0') != std::string::npos) {
      err = ENOENT;
      return nullptr;
    }
    const int fd = platform::open_for_read(p.c_str(), err);
    if (fd < 0)
      return nullptr;
    return std::make_unique<DiskInput>(fd);
  }

  std::unique_ptr<OutputFile> open_write(const std::string& path,
                                         int& err) override {
    const std::string p = full(path);
    if (p.find('\0') != std::string::npos) {
      err = ENOENT;
      return nullptr;
    }
    const int fd = platform::open_for_write(p.c_str(), err);
    if (fd < 0)
      return nullptr;
    return std::make_unique<DiskOutput>(fd);
  }

  std::vector<std::string> list_folder() override {
    std::vector<std::string> names;
    const std::string folder = base_.empty() ? "." : base_;
    if (folder.find('\0') == std::string::npos)
      platform::list_folder(folder.c_str(), names);
    return names;
  }

 private:
  std::string full(const std::string& path) const {
    if (base_.empty() || (!path.empty() && path[0] == '/'))
      return path;
    return base_ + "/" + path;
  }
  std::string base_;
};

}  // namespace

std::unique_ptr<FileSystem> make_disk_file_system(std::string base) {
  return std::make_unique<DiskFileSystem>(std::move(base));
}

}  // namespace gaumo
