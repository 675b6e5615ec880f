// Replays corpus files through a fuzz entry without libFuzzer, so the corpus
// runs as an ordinary test in any build. Arguments: files or folders.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

int rejouer_fichier(const std::filesystem::path& p) {
    std::ifstream f(p, std::ios::binary);
    if (!f) {
        std::fprintf(stderr, "illisible : %s\n", p.c_str());
        return 1;
    }
    const std::vector<char> octets((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(octets.data()), octets.size());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    int echecs = 0;
    int nb = 0;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path p(argv[i]);
        if (std::filesystem::is_directory(p)) {
            for (const auto& e : std::filesystem::directory_iterator(p))
                if (e.is_regular_file()) {
                    echecs += rejouer_fichier(e.path());
                    ++nb;
                }
        } else {
            echecs += rejouer_fichier(p);
            ++nb;
        }
    }
    std::printf("%d fichiers rejoués\n", nb);
    return echecs == 0 && nb > 0 ? 0 : 1;
}
