// Decompresses gzip files into a directory, naming each after its code:
// "hyph-de-1996.lic.txt.gz" becomes "de-1996.txt".
//
// usage: morvane_gunzip OUTPUT_DIR FILE.gz...

#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

namespace fs = std::filesystem;

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: morvane_gunzip OUTPUT_DIR FILE.gz...\n";
    return 2;
  }
  const fs::path output = argv[1];
  fs::create_directories(output);
  for (int i = 2; i < argc; ++i) {
    std::string name = fs::path(argv[i]).filename().string();
    if (name.starts_with("hyph-")) name.erase(0, 5);
    name = name.substr(0, name.find('.')) + ".txt";
    gzFile in = gzopen(argv[i], "rb");
    if (in == nullptr) {
      std::cerr << "morvane_gunzip: cannot open " << argv[i] << "\n";
      return 1;
    }
    std::ofstream out(output / name, std::ios::binary);
    char buffer[1 << 14];
    int got = 0;
    while ((got = gzread(in, buffer, sizeof buffer)) > 0) out.write(buffer, got);
    const bool failed = got < 0 || !out;
    gzclose(in);
    if (failed) {
      std::cerr << "morvane_gunzip: cannot decompress " << argv[i] << "\n";
      return 1;
    }
  }
  return 0;
}
