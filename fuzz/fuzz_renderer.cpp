// What the renderer process reads: its arguments and the file on its standard input, handled
// as the process handles them, drawing included.
#include "renderer_request.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

using namespace pikuta::metafile;

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
    static std::FILE* out = std::fopen("/dev/null", "wb");
    if (!in || !out) return 0;
    try {
        Request request = parseArguments(int(argv.size()), argv.data());
        // The viewer asks for the sizes it shows; large drawings only make the run slow.
        if (request.draw) {
            request.size = {std::clamp(request.size.width, 1, 256),
                            std::clamp(request.size.height, 1, 256)};
        }
        serve(request, in, out);
    } catch (const std::runtime_error&) {
    }
    std::fclose(in);
    return 0;
}
