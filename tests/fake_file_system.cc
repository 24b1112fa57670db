#include "fake_file_system.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sstream>

namespace gaumo_test {
namespace {

class FakeInput final : public gaumo::InputFile {
 public:
  FakeInput(std::string data, Fault fault)
      : data_(std::move(data)), fault_(fault) {}
  long read(char* buf, std::size_t n, int& err) override {
    std::size_t end = data_.size();
    if (fault_.read_fails_at >= 0) {
      end = std::min(end, static_cast<std::size_t>(fault_.read_fails_at));
      if (pos_ >= end) {
        err = fault_.read_errno;
        return -1;
      }
    }
    const std::size_t k = std::min(n, end - pos_);
    std::memcpy(buf, data_.data() + pos_, k);
    pos_ += k;
    return static_cast<long>(k);
  }

 private:
  std::string data_;
  Fault fault_;
  std::size_t pos_ = 0;
};

class FakeOutput final : public gaumo::OutputFile {
 public:
  FakeOutput(std::string& data, Fault fault) : data_(data), fault_(fault) {}
  int write(const char* buf, std::size_t n) override {
    if (fault_.write_errno != 0)
      return fault_.write_errno;
    data_.append(buf, n);
    return 0;
  }
  int close() override { return fault_.close_errno; }

 private:
  std::string& data_;
  Fault fault_;
};

}  // namespace

void FakeFileSystem::add_file(const std::string& path, std::string content) {
  nodes_[path] = Node{false, std::move(content)};
}

void FakeFileSystem::add_folder(const std::string& path) {
  nodes_[path] = Node{true, {}};
}

void FakeFileSystem::inject(const std::string& path, const Fault& fault) {
  faults_[path] = fault;
}

bool FakeFileSystem::has_file(const std::string& path) const {
  const auto it = nodes_.find(path);
  return it != nodes_.end() && !it->second.folder;
}

std::string FakeFileSystem::content(const std::string& path) const {
  return has_file(path) ? nodes_.at(path).data : "<missing>";
}

bool FakeFileSystem::exists(const std::string& path) {
  return nodes_.count(path) != 0;
}

std::vector<std::string> FakeFileSystem::list_folder() {
  std::vector<std::string> names;
  for (const auto& [path, node] : nodes_) {
    if (path.find('/') == std::string::npos)
      names.push_back(path);
  }
  return names;
}

int FakeFileSystem::open_fault(const std::string& path) {
  const auto it = faults_.find(path);
  const int opened_before = opens_[path]++;
  if (it == faults_.end() || it->second.open_errno == 0)
    return 0;
  return opened_before >= it->second.opens_before_failure
             ? it->second.open_errno
             : 0;
}

std::unique_ptr<gaumo::InputFile> FakeFileSystem::open_read(
    const std::string& path, int& err) {
  const auto it = nodes_.find(path);
  if (it == nodes_.end()) {
    err = ENOENT;
    return nullptr;
  }
  if (const int e = open_fault(path); e != 0) {
    err = e;
    return nullptr;
  }
  if (it->second.folder) {
    err = gaumo::kIsADirectory;
    return nullptr;
  }
  return std::make_unique<FakeInput>(it->second.data, faults_[path]);
}

std::unique_ptr<gaumo::OutputFile> FakeFileSystem::open_write(
    const std::string& path, int& err) {
  if (const int e = open_fault(path); e != 0) {
    err = e;
    return nullptr;
  }
  Node& node = nodes_[path];
  if (node.folder) {
    err = gaumo::kIsADirectory;
    return nullptr;
  }
  node.data.clear();
  return std::make_unique<FakeOutput>(node.data, faults_[path]);
}

InProcessResult run_in_process(FakeFileSystem& fs, const std::string& input) {
  std::istringstream in(input);
  std::ostringstream out;
  gaumo::RunEnv env{in, out, fs, [] {
                      return gaumo::LocalTime{2021, 7, 9, 8, 5};
                    }};
  InProcessResult r;
  r.status = gaumo::run_gaumo(env);
  r.out = out.str();
  return r;
}

}  // namespace gaumo_test
