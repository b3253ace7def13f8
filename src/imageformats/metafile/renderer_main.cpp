// The renderer process (see renderer_protocol.h): one request, answered on standard output.

#include "renderer.h"
#include "renderer_request.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

using namespace pikuta::metafile;

int main(int argc, char** argv) {
    try {
        prepareProcess();
        serve(parseArguments(argc, argv), stdin, stdout);
        if (std::fflush(stdout) != 0)
            throw std::runtime_error("the picture could not be handed over");
        return EXIT_SUCCESS;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return EXIT_FAILURE;
    }
}
