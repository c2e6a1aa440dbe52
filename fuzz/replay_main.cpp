// Replays saved inputs through a fuzz target without libFuzzer: every file named, and every file of every
// directory named (in name order), goes once through LLVMFuzzerTestOneInput. The native test build links it
// with each fuzz target that has saved regression inputs, and ctest runs it under the build's sanitizers: a
// fault aborts the process, a target that returns from every input passes.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  std::vector<fs::path> inputs;
  for (int i = 1; i < argc; ++i) {
    const fs::path p(argv[i]);
    if (fs::is_directory(p)) {
      std::vector<fs::path> files;
      for (const auto& e : fs::directory_iterator(p))
        if (e.is_regular_file()) files.push_back(e.path());
      std::sort(files.begin(), files.end());
      inputs.insert(inputs.end(), files.begin(), files.end());
    } else {
      inputs.push_back(p);
    }
  }
  if (inputs.empty()) {
    std::fprintf(stderr, "no input to replay\n");
    return 1;
  }
  for (const fs::path& p : inputs) {
    std::ifstream in(p, std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "cannot read %s\n", p.string().c_str());
      return 1;
    }
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::printf("%s (%zu bytes)\n", p.filename().string().c_str(), bytes.size());
    std::fflush(stdout);
    static const uint8_t none = 0;
    LLVMFuzzerTestOneInput(bytes.empty() ? &none : bytes.data(), bytes.size());
  }
  std::printf("%zu inputs replayed\n", inputs.size());
  return 0;
}
