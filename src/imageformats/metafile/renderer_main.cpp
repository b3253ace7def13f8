// The renderer process (see renderer_protocol.h). It trusts nothing it reads: the file is
// inspected again here, and the viewer bounds its time and memory from outside.

#include "renderer.h"
#include "renderer_protocol.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

using namespace pikuta::metafile;

namespace {

struct Request {
    bool draw = false;
    double dpi = 96;
    PixelSize size; // zero: the natural size
};

double parseNumber(const char* text) {
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (end == text || *end != '\0' || !(value >= 0 && value <= 1e6)) {
        throw std::runtime_error(std::string("bad argument: ") + text);
    }
    return value;
}

Request parseArguments(int argc, char** argv) {
    Request request;
    if (argc == 3 && std::strcmp(argv[1], protocol::sizeCommand) == 0) {
        request.dpi = parseNumber(argv[2]);
    } else if (argc == 5 && std::strcmp(argv[1], protocol::drawCommand) == 0) {
        request.draw = true;
        request.dpi = parseNumber(argv[2]);
        request.size = {static_cast<int>(parseNumber(argv[3])),
                        static_cast<int>(parseNumber(argv[4]))};
    } else {
        throw std::runtime_error("usage: pikuta-metafile draw DPI WIDTH HEIGHT | size DPI");
    }
    if (request.dpi <= 0) throw std::runtime_error("the resolution must be positive");
    return request;
}

std::vector<unsigned char> readInput() {
    std::vector<unsigned char> data;
    unsigned char buffer[1 << 16];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) {
        data.insert(data.end(), buffer, buffer + n);
        if (data.size() > maxFileBytes) throw std::runtime_error("the file is too large");
    }
    return data;
}

void write(const void* data, std::size_t bytes) {
    if (std::fwrite(data, 1, bytes, stdout) != bytes) {
        throw std::runtime_error("the picture could not be handed over");
    }
}

void writeSize(PixelSize size) {
    const std::uint32_t header[] = {static_cast<std::uint32_t>(size.width),
                                    static_cast<std::uint32_t>(size.height)};
    static_assert(sizeof header == protocol::headerBytes);
    write(header, sizeof header);
}

PixelSize naturalSize(const Inspection& inspection, std::span<const unsigned char> data,
                      double dpi) {
    return inspection.naturalSize ? *inspection.naturalSize : measureWmf(data, dpi);
}

void run(const Request& request) {
    const auto data = readInput();
    const Inspection inspection = inspect(data, request.dpi);
    if (!inspection.error.empty()) throw std::runtime_error(inspection.error);
    if (!request.draw) return writeSize(naturalSize(inspection, data, request.dpi));
    const bool sizeGiven = request.size.width > 0 && request.size.height > 0;
    const PixelSize target = sizeGiven ? request.size : naturalSize(inspection, data, request.dpi);
    if (!fitsLimits(target)) throw std::runtime_error("the picture is too large");
    const Picture picture =
        inspection.kind == Kind::Emf ? renderEmf(data, target) : renderWmf(data, target);
    if (!(picture.size == target)) throw std::runtime_error("the picture came out in another size");
    writeSize(picture.size);
    write(picture.pixels.data(), picture.pixels.size() * sizeof(std::uint32_t));
}

} // namespace

int main(int argc, char** argv) {
    try {
        prepareProcess();
        run(parseArguments(argc, argv));
        if (std::fflush(stdout) != 0)
            throw std::runtime_error("the picture could not be handed over");
        return EXIT_SUCCESS;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return EXIT_FAILURE;
    }
}
