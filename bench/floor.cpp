// The floor of a calculated job: what the design makes every calculated step
// do with the material data file, and nothing else. `floor FILE COUNT` opens,
// reads to its end and closes FILE COUNT times, with the system calls the
// driver makes for it (open, read until a read returns nothing, close), and
// prints the seconds it took.
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: floor FILE COUNT\n");
    return 2;
  }
  const char* file = argv[1];
  const long count = std::strtol(argv[2], nullptr, 10);
  char buffer[8191];
  long bytes = 0;
  const auto start = std::chrono::steady_clock::now();
  for (long i = 0; i < count; ++i) {
    const int fd = ::open(file, O_RDONLY);
    if (fd < 0) {
      std::perror(file);
      return 1;
    }
    ssize_t got = 0;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0) bytes += got;
    ::close(fd);
  }
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  if (bytes == 0) {
    std::fprintf(stderr, "%s: nothing read\n", file);
    return 1;
  }
  std::printf("%.6f\n", elapsed.count());
  return 0;
}
