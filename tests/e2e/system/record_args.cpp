// Stands in for a program of the suite: writes the arguments it was started with, argument 0
// included, one a line, into a file named after itself in the folder MERO_RECORD names.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  const char* folder = std::getenv("MERO_RECORD");
  if (!folder) return 1;
  char self[4096];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return 1;
  self[n] = '\0';
  std::string name(self);
  name = name.substr(name.find_last_of('/') + 1);
  // Written aside and renamed, so a reader never sees half a record.
  const std::string path = std::string(folder) + "/" + name + ".args";
  const std::string temp = path + ".tmp";
  std::FILE* out = std::fopen(temp.c_str(), "w");
  if (!out) return 1;
  for (int i = 0; i < argc; ++i) std::fprintf(out, "%s\n", argv[i]);
  std::fclose(out);
  return std::rename(temp.c_str(), path.c_str()) == 0 ? 0 : 1;
}
