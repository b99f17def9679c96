// The least WinINet download: one URL read in 1 MiB reads into a file, the
// platform's limit for a reader here. The peer of the installer's download:
//   wininet_reader.exe URL TARGET_PATH
// prints "bytes=N seconds=S" (from opening the URL to the last write).

#include <windows.h>
#include <wininet.h>

#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: wininet_reader URL TARGET_PATH\n");
    return 2;
  }
  LARGE_INTEGER start{};
  LARGE_INTEGER end{};
  LARGE_INTEGER frequency{};
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  HINTERNET session = InternetOpenA("reader", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  // Not written to the platform's cache either, as the installer's transfer is
  // not: a reader that also copied 200 MiB into the cache would be measuring
  // the disk.
  constexpr DWORD kFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;
  HINTERNET resource = session ? InternetOpenUrlA(session, argv[1], nullptr, 0, kFlags, 0) : nullptr;
  HANDLE file = CreateFileA(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (resource == nullptr || file == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "wininet_reader: cannot open the URL or the file\n");
    return 1;
  }
  std::vector<char> buffer(1 << 20);
  long long total = 0;
  DWORD got = 0;
  while (InternetReadFile(resource, buffer.data(), static_cast<DWORD>(buffer.size()), &got) && got > 0) {
    DWORD put = 0;
    WriteFile(file, buffer.data(), got, &put, nullptr);
    total += got;
  }
  CloseHandle(file);
  InternetCloseHandle(resource);
  InternetCloseHandle(session);
  QueryPerformanceCounter(&end);
  std::printf("bytes=%lld seconds=%.3f\n", total,
              static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart));
  return 0;
}
