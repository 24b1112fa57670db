#include "system/disk_file_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "system/platform.h"

namespace gaumo {
namespace {

namespace fs = std::filesystem;

/// A fresh folder under the system's temporary folder, removed afterwards.
class DiskFileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // ctest runs each test as its own process, perhaps at the same time.
    const auto tick =
        std::chrono::steady_clock::now().time_since_epoch().count();
    root_ =
        fs::temp_directory_path() /
        ("gaumo-disk-" +
         std::string(
             ::testing::UnitTest::GetInstance()->current_test_info()->name()) +
         "-" + std::to_string(tick));
    fs::create_directories(root_ / "work");
    disk_ = make_disk_file_system((root_ / "work").string());
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }

  std::string read_back(const std::string& name) {
    auto in = disk_->open_read(name, err_);
    EXPECT_NE(in, nullptr) << name << ": error " << err_;
    std::string got;
    if (in == nullptr)
      return got;
    char buf[7];  // small, so the reads go on past the first
    for (long n; (n = in->read(buf, sizeof buf, err_)) > 0;) {
      got.append(buf, static_cast<std::size_t>(n));
    }
    return got;
  }

  fs::path root_;
  std::unique_ptr<FileSystem> disk_;
  int err_ = 0;
};

TEST_F(DiskFileSystemTest, AFolderInPlaceOfAFileIsADirectoryOnEverySystem) {
  fs::create_directory(root_ / "work" / "flow_stations.tb0");
  EXPECT_TRUE(disk_->exists("flow_stations.tb0"));
  err_ = 0;
  EXPECT_EQ(disk_->open_read("flow_stations.tb0", err_), nullptr);
  EXPECT_EQ(err_, kIsADirectory);
  err_ = 0;
  EXPECT_EQ(disk_->open_write("flow_stations.tb0", err_), nullptr);
  EXPECT_EQ(err_, kIsADirectory);

  // Other failures keep their own number.
  EXPECT_FALSE(disk_->exists("missing.csv"));
  err_ = 0;
  EXPECT_EQ(disk_->open_read("missing.csv", err_), nullptr);
  EXPECT_EQ(err_, ENOENT);
}

TEST_F(DiskFileSystemTest, BytesGoOutAndComeBackUnchanged) {
  // LF, CR LF, a lone CR and a Ctrl-Z byte: a text-mode file on Windows
  // would add CRs on the way out and stop reading at the Ctrl-Z.
  const std::string bytes =
      "a\nb\r\nc\rd\x1a"
      "e\n";
  const std::string name =
      std::string(platform::kParentPrefix) + "19180101_str.tb0";
  auto out = disk_->open_write(name, err_);
  ASSERT_NE(out, nullptr) << "error " << err_;
  EXPECT_EQ(out->write(bytes.data(), bytes.size()), 0);
  EXPECT_EQ(out->close(), 0);

  // The parent-folder prefix reaches the folder above the working one.
  std::ifstream raw(root_ / "19180101_str.tb0", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(raw), {}), bytes);
  EXPECT_EQ(read_back(name), bytes);
}

TEST_F(DiskFileSystemTest, ListsTheWorkingFolderOnly) {
  for (const char* name : {"YT_10AA001_hourly_hydrometric.csv", "b.txt"}) {
    std::ofstream(root_ / "work" / name) << "x";
  }
  fs::create_directories(root_ / "work" / "sub");
  std::ofstream(root_ / "above.csv") << "x";
  std::vector<std::string> names = disk_->list_folder();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{
                       "YT_10AA001_hourly_hydrometric.csv", "b.txt", "sub"}));
  EXPECT_TRUE(
      make_disk_file_system((root_ / "none").string())->list_folder().empty());
}

}  // namespace
}  // namespace gaumo
