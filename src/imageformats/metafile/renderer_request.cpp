// What the renderer process does with its command line and standard input (see
// renderer_protocol.h). It trusts nothing it reads: the file is inspected again here, the process
// shuts itself in before it does so, and the viewer bounds its time and memory from outside.

#include "renderer_request.h"

#include "renderer.h"
#include "renderer_protocol.h"
#include "sandbox.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string>

namespace pikuta::metafile {

namespace {

double parseNumber(const char* text) {
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (end == text || *end != '\0' || !(value >= 0 && value <= 1e6)) {
        throw std::runtime_error(std::string("bad argument: ") + text);
    }
    return value;
}

} // namespace

Request parseArguments(int argc, const char* const* argv) {
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

std::vector<unsigned char> readInput(std::FILE* in) {
    std::vector<unsigned char> data;
    unsigned char buffer[1 << 16];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) {
        data.insert(data.end(), buffer, buffer + n);
        if (data.size() > maxFileBytes) throw std::runtime_error("the file is too large");
    }
    return data;
}

namespace {

void write(std::FILE* out, const void* data, std::size_t bytes) {
    if (std::fwrite(data, 1, bytes, out) != bytes) {
        throw std::runtime_error("the picture could not be handed over");
    }
}

void writeSize(std::FILE* out, PixelSize size) {
    const std::uint32_t header[] = {static_cast<std::uint32_t>(size.width),
                                    static_cast<std::uint32_t>(size.height)};
    static_assert(sizeof header == protocol::headerBytes);
    write(out, header, sizeof header);
}

PixelSize naturalSize(const Inspection& inspection, std::span<const unsigned char> data,
                      double dpi) {
    return inspection.naturalSize ? *inspection.naturalSize : measureWmf(data, dpi);
}

} // namespace

void answer(const Request& request, std::span<const unsigned char> data, std::FILE* out) {
    const Inspection inspection = inspect(data, request.dpi);
    if (!inspection.error.empty()) throw std::runtime_error(inspection.error);
    if (!request.draw) return writeSize(out, naturalSize(inspection, data, request.dpi));
    const bool sizeGiven = request.size.width > 0 && request.size.height > 0;
    const PixelSize target = sizeGiven ? request.size : naturalSize(inspection, data, request.dpi);
    if (!fitsLimits(target)) throw std::runtime_error("the picture is too large");
    const Picture picture =
        inspection.kind == Kind::Emf ? renderEmf(data, target) : renderWmf(data, target);
    if (!(picture.size == target)) throw std::runtime_error("the picture came out in another size");
    writeSize(out, picture.size);
    write(out, picture.pixels.data(), picture.pixels.size() * sizeof(std::uint32_t));
}

namespace {

bool sandboxWanted() {
    const char* setting = std::getenv(protocol::sandboxVariable);
    return !setting || std::strcmp(setting, "off") != 0;
}

} // namespace

int rendererMain(int argc, const char* const* argv, void (*afterConfining)()) {
    try {
        prepareProcess();
        const Request request = parseArguments(argc, argv);
        const std::vector<unsigned char> data = readInput(stdin);
        const std::vector<std::string> missing =
            sandboxWanted() ? confine()
                            : std::vector<std::string>{std::string("no walls: ") +
                                                       protocol::sandboxVariable + " is off"};
        for (const std::string& wall : missing)
            std::fprintf(stderr, "%s%s\n", protocol::noticePrefix, wall.c_str());
        if (afterConfining) afterConfining();
        answer(request, data, stdout);
        if (std::fflush(stdout) != 0)
            throw std::runtime_error("the picture could not be handed over");
        return EXIT_SUCCESS;
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "the picture needs more memory than a drawing may take\n");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
    }
    return EXIT_FAILURE;
}

} // namespace pikuta::metafile
