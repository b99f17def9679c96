// Started by the shell tests: writes its working folder and its remaining
// arguments, one per line, into the file named by its first argument, which
// appears complete or not at all.
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  char part[MAX_PATH + 8] = {};
  std::snprintf(part, sizeof part, "%s.part", argv[1]);
  std::FILE* out = std::fopen(part, "wb");
  if (out == nullptr) return 1;
  char folder[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, folder);
  std::fprintf(out, "%s\n", folder);
  for (int i = 2; i < argc; ++i) std::fprintf(out, "%s\n", argv[i]);
  std::fclose(out);
  return MoveFileA(part, argv[1]) ? 0 : 1;
}
