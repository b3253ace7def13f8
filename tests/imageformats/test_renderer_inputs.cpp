// Files that once crashed, stalled or exhausted the renderer process or a library inside it, fed
// to the real renderer the way the viewer feeds it, within the viewer's limits.
#include "child_process.h"
#include "renderer_protocol.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>

using namespace pikuta::metafile;

namespace {

// The renderer's own reason for failing, as against a signal, a limit, a sanitizer's report, or
// a first line of errors that is not its own.
bool isRendererMessage(const std::string& error) {
    return (error.starts_with("the ") || error.starts_with("record ")) &&
           error.find("signal") == std::string::npos &&
           error.find("too long") == std::string::npos && error != "the metafile renderer failed";
}

TEST(RendererInputs, DamagedFilesGetACleanAnswer) {
    constexpr int width = 64, height = 48;
    const struct Row {
        const char* file;
        const char* refusal = nullptr; // part of the message when the renderer's checks refuse it
        bool draws = false;            // the picture must come out
    } rows[] = {
        {.file = "emf_description_past_end.emf"},
        // Letters of more than about 1.9 million units stop librsvg's text layout.
        {.file = "emf_font_8388636.emf"},
        {.file = "emf_font_10066846.emf"},
        {.file = "emf_font_16318492.emf"},
        {.file = "emf_font_16318492_again.emf"},
        {.file = "emf_font_16777188.emf"},
        {.file = "emf_font_16842724.emf"},
        {.file = "emf_font_134217728.emf"},
        {.file = "emf_font_1073741852.emf"},
        {.file = "emf_font_2002874980.emf"},
        {.file = "emf_font_2130706460.emf"},
        {.file = "emf_glyph_index_text.emf"},
        {.file = "emf_text_font_caches.emf"},
        {.file = "wmf_bitmap_colours_past_record.wmf", .refusal = "a bitmap that does not fit"},
        {.file = "wmf_bitmap_height_past_record.wmf", .refusal = "a bitmap that does not fit"},
        {.file = "wmf_bitmap_header_size_unknown.wmf", .refusal = "a bitmap that does not fit"},
        // Its header claims a record of 2 GB: the library would allocate that first.
        {.file = "wmf_largest_record_2_gb.wmf", .draws = true},
    };
    ChildLimits limits;
    limits.maxOutputBytes = protocol::headerBytes + std::size_t(width) * height * 4;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.file);
        std::ifstream file(std::string(PIKUTA_METAFILE_DAMAGED "/") + row.file, std::ios::binary);
        const std::vector<unsigned char> input{std::istreambuf_iterator<char>(file), {}};
        ASSERT_FALSE(input.empty());
        const ChildResult result = runChild({PIKUTA_METAFILE_RENDERER_PATH, protocol::drawCommand,
                                             "96", std::to_string(width), std::to_string(height)},
                                            input, limits);
        EXPECT_TRUE(result.ok ? result.output.size() == limits.maxOutputBytes
                              : isRendererMessage(result.error) && !row.draws)
            << result.error;
        if (row.refusal) {
            EXPECT_NE(result.error.find(row.refusal), std::string::npos) << result.error;
        }
    }
}

} // namespace
