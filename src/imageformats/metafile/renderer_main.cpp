// The renderer process (see renderer_protocol.h): one request, answered on standard output.

#include "renderer_request.h"

int main(int argc, char** argv) {
    return pikuta::metafile::rendererMain(argc, argv);
}
