#include "util/zipped_file.h"

#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "util/message.h"

namespace {

// Constructed on first use, so that static initialisers elsewhere may configure it.
std::string& configured_dir() {
  static std::string dir;
  return dir;
}

std::atomic<bool> missing_dir_reported{false};

// Reads the whole descriptor into a new malloc buffer of exactly size bytes; null on a short read.
unsigned char* read_whole_file(int fd, size_t size) {
  auto* bytes = static_cast<unsigned char*>(std::malloc(size));
  if (!bytes) return nullptr;
  size_t got = 0;
  while (got < size) {
    ssize_t const n = ::read(fd, bytes + got, size - got);
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  if (got < size) {
    std::free(bytes);
    return nullptr;
  }
  return bytes;
}

// One-shot inflation of a zlib stream; true only when the stream ends inside the output buffer.
bool inflate_all(unsigned char* in, size_t in_len, unsigned char* out, size_t out_cap, size_t& out_len) {
  z_stream zs{};
  if (inflateInit(&zs) != Z_OK) return false;
  zs.next_in = in;
  zs.avail_in = static_cast<uInt>(in_len);
  zs.next_out = out;
  zs.avail_out = static_cast<uInt>(out_cap);
  int const rc = inflate(&zs, Z_FINISH);
  out_len = zs.total_out;
  inflateEnd(&zs);
  return rc == Z_STREAM_END;
}

}  // namespace

void set_group_maps_dir(char const* dir) { configured_dir() = dir ? dir : ""; }

std::string group_maps_dir() { return configured_dir(); }

std::string get_full_filename(char const* name, char const* suffix) {
  std::string dir = configured_dir();
  if (dir.empty()) {
    if (char const* env = std::getenv("SUDOKU_GROUP_MAPS_DIR")) dir = env;
  }
  if (dir.empty()) {
    if (!missing_dir_reported.exchange(true))
      engine_message(
                   "Filenames: no group-maps directory configured \xE2\x80\x94 set $SUDOKU_GROUP_MAPS_DIR or call "
                   "set_group_maps_dir().\n");
    return std::string();
  }
  if (dir.back() != '/') dir += '/';
  return dir + name + "." + suffix;
}

unsigned char const* get_zipped_file_contents(std::string path, size_t& length, int capacity) {
  if (capacity <= 0) return nullptr;
  auto* out = static_cast<unsigned char*>(std::calloc(static_cast<size_t>(capacity), 1));
  if (!out) return nullptr;
  int const fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) {
    std::free(out);
    return nullptr;
  }
  unsigned char* in = nullptr;
  bool ok = false;
  size_t inflated = 0;
  off_t const size = ::lseek(fd, 0, SEEK_END);
  if (size > kCompressedFileGuard) {
    std::printf("%s is %ld bytes, over the %d byte compressed-file guard\n", path.c_str(), static_cast<long>(size),
                static_cast<int>(kCompressedFileGuard));
  } else if (size > 0 && ::lseek(fd, 0, SEEK_SET) == 0) {
    in = read_whole_file(fd, static_cast<size_t>(size));
    if (in) ok = inflate_all(in, static_cast<size_t>(size), out, static_cast<size_t>(capacity), inflated);
  }
  std::free(in);
  ::close(fd);
  if (!ok) {
    std::free(out);
    return nullptr;
  }
  length = inflated;
  return out;
}
