// http_download_bench: downloads one address into a file with HTTP_DownloadFile and prints the
// bytes and the seconds the call took, for bench/http_download.sh.
#include <windows.h>

#include <cstdio>
#include <string>

#include "net/win/InetHTTP.h"
#include "payload/win/Files.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: http_download_bench URL DESTINATION\n");
    return 2;
  }
  LARGE_INTEGER frequency{}, start{}, end{};
  QueryPerformanceFrequency(&frequency);
  std::string memory, error;
  QueryPerformanceCounter(&start);
  const bool ok = HTTP_DownloadFile(nullptr, argv[1], argv[2], memory, nullptr, error);
  QueryPerformanceCounter(&end);
  if (!ok) {
    std::fprintf(stderr, "download failed: %s\n", error.c_str());
    return 1;
  }
  const double seconds =
      static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
  std::printf("%lld %.3f\n", static_cast<long long>(FileSizeByName(argv[2])), seconds);
  return 0;
}
