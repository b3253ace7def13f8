// What the renderer process reads: its arguments and the file on its standard input, handled
// as the process handles them, drawing included, inside the same walls.
#include "renderer_protocol.h"
#include "renderer_request.h"
#include "sandbox.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

using namespace pikuta::metafile;

namespace {

// The folders of the inputs a list names: "a,b,c", or "@file" whose text is such a list.
void addInputFolders(std::string list, std::vector<std::string>& folders) {
    if (list.starts_with("@")) {
        std::ifstream file(list.substr(1));
        list.assign(std::istreambuf_iterator<char>(file), {});
    }
    std::istringstream names(list);
    for (std::string name; std::getline(names, name, ',');)
        if (!name.empty()) folders.push_back(std::filesystem::absolute(name).parent_path());
}

// The fuzzer keeps what it finds in the folders on its command line (inputs, findings) and, when
// it runs its work in several processes, in temporary folders; those stay writable. The
// processes that do the work read their inputs from wherever the first found them.
Confinement fuzzerConfinement(int argc, char** argv) {
    Confinement confinement;
    const char* temporary = std::getenv("TMPDIR");
    confinement.writableFolders.push_back(temporary ? temporary : "/tmp");
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument.starts_with("-seed_inputs="))
            addInputFolders(argument.substr(argument.find('=') + 1), confinement.readableFolders);
        if (argument.starts_with("-")) argument.erase(0, argument.find('=') + 1);
        if (argument.empty()) continue;
        const std::filesystem::path path = std::filesystem::absolute(argument);
        // A findings prefix ends in part of a file name.
        if (argument.find('/') != std::string::npos)
            confinement.writableFolders.push_back(path.parent_path());
        confinement.writableFolders.push_back(path);
    }
    return confinement;
}

// A fuzzer that hands its work to other processes starts them, and stays outside the walls.
bool startsWorkers(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        for (const std::string_view option : {"-fork=", "-jobs=", "-workers=", "-merge="})
            if (argument.starts_with(option) && argument.substr(option.size()) != "0") return true;
    }
    return false;
}

std::FILE* answers = nullptr;

} // namespace

// The walls go up before the fuzzer starts its own threads, which then stay inside them too (the
// leak checker must reach every thread), and before the first picture. The setting that turns
// them off in the renderer turns them off here, to read a finding's report with the names the
// sanitizer looks up in another process.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    answers = std::fopen("/dev/null", "wb");
    const char* setting = std::getenv(protocol::sandboxVariable);
    if ((setting && std::string_view(setting) == "off") || startsWorkers(*argc, *argv)) return 0;
    for (const std::string& wall : confine(fuzzerConfinement(*argc, *argv)))
        std::fprintf(stderr, "fuzz_renderer: %s\n", wall.c_str());
    return 0;
}

// The first line holds the arguments, separated by spaces; the rest is the file.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto* end =
        static_cast<const std::uint8_t*>(std::memchr(data, '\n', std::min<std::size_t>(size, 64)));
    if (!end) return 0;
    std::vector<std::string> words{"pikuta-metafile"};
    std::string word;
    for (const std::uint8_t* p = data; p <= end; ++p) {
        if (p == end || *p == ' ') {
            words.push_back(word);
            word.clear();
        } else {
            word += char(*p);
        }
    }
    std::vector<const char*> argv;
    for (const std::string& w : words)
        argv.push_back(w.c_str());
    static unsigned char none;
    const std::size_t left = size - std::size_t(end + 1 - data);
    std::FILE* in =
        left ? fmemopen(const_cast<std::uint8_t*>(end + 1), left, "rb") : fmemopen(&none, 0, "rb");
    if (!in || !answers) return 0;
    try {
        Request request = parseArguments(int(argv.size()), argv.data());
        // The viewer asks for the sizes it shows; large drawings only make the run slow.
        if (request.draw) {
            request.size = {std::clamp(request.size.width, 1, 256),
                            std::clamp(request.size.height, 1, 256)};
        }
        answer(request, readInput(in), answers);
    } catch (const std::runtime_error&) {
    }
    std::fclose(in);
    return 0;
}
