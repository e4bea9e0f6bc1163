#include "kv_files.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

std::string ReadTextFile(const std::string& FileName) {
  struct stat St;
  if (stat(FileName.c_str(), &St) != 0) throw std::runtime_error("File not found: " + FileName);
  if (S_ISDIR(St.st_mode)) throw std::runtime_error("Not a file but a folder: " + FileName);
  int Fd = open(FileName.c_str(), O_RDONLY | O_CLOEXEC);
  if (Fd < 0) throw std::runtime_error("Unable to open " + FileName);
  std::string Text;
  char Buf[65536];
  for (;;) {
    ssize_t Got = read(Fd, Buf, sizeof Buf);
    if (Got < 0 && errno == EINTR) continue;
    if (Got < 0) {
      close(Fd);
      throw std::runtime_error("Unable to read " + FileName);
    }
    if (Got == 0) break;
    Text.append(Buf, size_t(Got));
  }
  close(Fd);
  return Text;
}

bool WriteFileDurably(const std::string& FileName, const std::string& Text) {
  int Fd = open(FileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (Fd < 0) return false;
  size_t Done = 0;
  while (Done < Text.size()) {
    ssize_t Put = write(Fd, Text.data() + Done, Text.size() - Done);
    if (Put < 0 && errno == EINTR) continue;
    if (Put <= 0) {
      close(Fd);
      return false;
    }
    Done += size_t(Put);
  }
  bool Synced = fsync(Fd) == 0;
  return close(Fd) == 0 && Synced;
}

void SyncFolder(const std::string& Folder) {
  int Fd = open(Folder.empty() ? "." : Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (Fd < 0) return;
  fsync(Fd);
  close(Fd);
}

bool FileExists(const std::string& FileName) {
  struct stat St;
  return stat(FileName.c_str(), &St) == 0;
}

bool MakeFolders(const std::string& Folder) {
  if (Folder.empty()) return true;
  std::error_code Ec;
  std::filesystem::create_directories(Folder, Ec);
  return std::filesystem::is_directory(Folder, Ec);
}

bool RenameFile(const std::string& From, const std::string& To) {
  return std::rename(From.c_str(), To.c_str()) == 0;
}

bool RemoveFile(const std::string& FileName) { return std::remove(FileName.c_str()) == 0; }

std::string FolderOf(const std::string& FileName) {
  return std::filesystem::path(FileName).parent_path().string();
}

std::string ProgramRoot() {
  namespace fs = std::filesystem;
  std::error_code Ec;
  fs::path Folder = fs::read_symlink("/proc/self/exe", Ec).parent_path();
  if (Ec) Folder = fs::current_path(Ec);
  if (!fs::exists(Folder / "assets" / "font.bmp", Ec)) Folder = Folder.parent_path();
  std::string Root = Folder.string();
  return Root.empty() || Root.back() != '/' ? Root + "/" : Root;
}

std::string LocalTimestamp() {
  std::time_t Now = std::time(nullptr);
  std::tm Local{};
  localtime_r(&Now, &Local);
  char Buf[32];
  std::strftime(Buf, sizeof Buf, "%Y-%m-%d %H:%M:%S", &Local);
  return Buf;
}
