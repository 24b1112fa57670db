#include "e2e_support.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace gaumo_test {
namespace fs = std::filesystem;

namespace {

void write_bytes(const fs::path& p, std::string_view content) {
  std::ofstream f(p, std::ios::binary | std::ios::trunc);
  f.write(content.data(), static_cast<std::streamsize>(content.size()));
  if (!f)
    throw std::runtime_error("cannot write " + p.string());
}

std::string shell_quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) {
    if (c == '\'') {
      q += "'\\''";
    } else {
      q += c;
    }
  }
  return q + "'";
}

}  // namespace

Sandbox::Sandbox() {
  std::string tmpl = (fs::temp_directory_path() / "gaumo-e2e-XXXXXX").string();
  std::vector<char> buf(tmpl.begin(), tmpl.end());
  buf.push_back('\0');
  if (::mkdtemp(buf.data()) == nullptr)
    throw std::runtime_error("mkdtemp");
  root_ = buf.data();
  fs::create_directory(work());
}

Sandbox::~Sandbox() {
  std::error_code ec;
  fs::remove_all(root_, ec);
}

void Sandbox::write(const std::string& name, std::string_view content) const {
  write_bytes(work() / name, content);
}

void Sandbox::write_parent(const std::string& name,
                           std::string_view content) const {
  write_bytes(root_ / name, content);
}

std::string read_file(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  if (!f)
    return "<missing>";
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

std::string Sandbox::read(const std::string& name) const {
  return read_file(work() / name);
}
std::string Sandbox::read_parent(const std::string& name) const {
  return read_file(root_ / name);
}
bool Sandbox::exists(const std::string& name) const {
  return fs::exists(fs::symlink_status(work() / name));
}
bool Sandbox::exists_parent(const std::string& name) const {
  return fs::exists(fs::symlink_status(root_ / name));
}

RunResult Sandbox::run(std::string_view input, const std::string& args) const {
  write_bytes(root_ / ".stdin", input);
  const std::string cmd = "cd " + shell_quote(work().string()) + " && " +
                          shell_quote(GAUMO_BINARY) +
                          (args.empty() ? "" : " ") + args + " < " +
                          shell_quote((root_ / ".stdin").string()) + " > " +
                          shell_quote((root_ / ".stdout").string()) + " 2> " +
                          shell_quote((root_ / ".stderr").string());
  const int rc = std::system(cmd.c_str());
  RunResult r;
  r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  r.out = read_file(root_ / ".stdout");
  r.err = read_file(root_ / ".stderr");
  fs::remove(root_ / ".stdin");
  fs::remove(root_ / ".stdout");
  fs::remove(root_ / ".stderr");
  return r;
}

std::vector<std::string> split_lines(const std::string& s) {
  std::vector<std::string> lines;
  std::string cur;
  for (char c : s) {
    if (c == '\n') {
      lines.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty())
    lines.push_back(cur);
  return lines;
}

std::string mask_banner(const std::string& out) {
  static const std::string kStars = " " + std::string(56, '*');
  static const std::string kFrame = " *" + std::string(54, ' ') + "*";
  std::vector<std::string> lines = split_lines(out);
  const bool trailing = !out.empty() && out.back() != '\n';
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
    if (lines[i] == kStars && lines[i + 1] == kFrame && i + 18 < lines.size()) {
      for (std::size_t k : {2u, 3u, 4u, 5u, 6u, 7u, 8u, 16u})
        lines[i + k] = "<banner>";
      i += 18;
    }
  }
  std::string s;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    s += lines[i];
    if (i + 1 < lines.size() || !trailing)
      s += '\n';
  }
  return s;
}

std::string mask_creation_date(const std::string& tb0) {
  static const std::regex re(
      ":CreationDate       [0-9]{4}-[0-9]{2}-[0-9]{2}  [0-9]{2}:[0-9]{2}");
  return std::regex_replace(tb0, re, ":CreationDate       YYYY-MM-DD  hh:mm");
}

fs::path test_data() { return GAUMO_TEST_DATA; }

namespace {
std::string banner() {
  const std::string stars = " " + std::string(56, '*') + "\n";
  const std::string frame = " *" + std::string(54, ' ') + "*\n";
  std::string s = stars + frame;
  for (int k = 0; k < 7; ++k)
    s += "<banner>\n";
  s += frame;
  s += " *     Write yyymmdd_str.tb0 files from raw data        *\n";
  s += " *     Write yyymmdd_div.tb0 files from raw data        *\n";
  s += frame;
  s += " \n";
  s += " *          Version  6       May 03, 2016               *\n";
  s += frame;
  s += "<banner>\n";
  s += frame + stars;
  return s;
}
}  // namespace

std::string dialogue_transcript() {
  return banner() +
         "\n"
         " Natural flows means that diversion(s) \n"
         " is(are) set to 0.0 cms\n"
         " Would you like to run with natural flows y/n?\n"
         "\n"
         "\n"
         " What year would you like to start with yyyy?\n"
         "\n"
         "\n"
         " enter the last year\n"
         "\n"
         " To create diversion files:\n"
         " No diversion   0\n"
         " Winnipeg river 1\n"
         " Lake Winnipeg  2\n"
         " Assiniboine R. 3\n"
         " Saskatchewan R. 4\n"
         " Nelson R.      5  (future)\n"
         " Churchil R.    6  (future)\n"
         " Pick 0, 1, 2, 3 or 4:\n"
         " Run in the \\direz\\wsc_data folder\n"
         "\n";
}

std::string closing_transcript() {
  const std::string stars = " " + std::string(56, '*') + "\n";
  return banner() + "\n\n" + stars +
         " * See file Gaumo_info.txt for information about this run *\n" +
         stars;
}

}  // namespace gaumo_test
