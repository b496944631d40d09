// Writes a C++ source file holding every file of a directory as a constant
// byte array, with a table of (name, bytes) in byte order of the names.
//
// usage: morvane_embed DATA_DIR OUTPUT.cpp

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: morvane_embed DATA_DIR OUTPUT.cpp\n";
    return 2;
  }
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(argv[1])) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end(), [](const fs::path& a, const fs::path& b) {
    return a.filename().string() < b.filename().string();  // byte order
  });

  const fs::path output = argv[2];
  fs::create_directories(output.parent_path());
  const fs::path temporary = output.string() + ".tmp";
  std::ofstream out(temporary, std::ios::binary);
  out << "// Generated from the data directory by morvane_embed. Do not edit.\n"
         "#include \"languages/embedded_store.hpp\"\n\n"
         "namespace morvane::detail {\nnamespace {\n";
  for (std::size_t i = 0; i < files.size(); ++i) {
    std::ifstream in(files[i], std::ios::binary);
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in),
                                           std::istreambuf_iterator<char>()};
    if (!in.good() && !in.eof()) {
      std::cerr << "morvane_embed: cannot read " << files[i] << "\n";
      return 1;
    }
    out << "constexpr unsigned char file" << i << "[] = {";
    for (std::size_t b = 0; b < bytes.size(); ++b) {
      out << (b % 24 == 0 ? "\n" : "") << static_cast<unsigned>(bytes[b]) << ',';
    }
    if (bytes.empty()) out << "0";  // no empty arrays in C++; the length below is 0
    out << "};\nconstexpr std::size_t size" << i << " = " << bytes.size() << ";\n";
  }
  out << "}  // namespace\n\nconst EmbeddedFile kEmbeddedFiles[] = {\n";
  for (std::size_t i = 0; i < files.size(); ++i) {
    out << "    {\"" << files[i].filename().string() << "\", {file" << i << ", size" << i
        << "}},\n";
  }
  out << "};\nconst std::size_t kEmbeddedFileCount = " << files.size()
      << ";\n\n}  // namespace morvane::detail\n";
  out.close();
  if (!out) {
    std::cerr << "morvane_embed: cannot write " << temporary << "\n";
    return 1;
  }
  fs::rename(temporary, output);
  return 0;
}
