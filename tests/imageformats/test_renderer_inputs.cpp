// Files that once crashed, stalled or exhausted the renderer process or a library inside it, fed
// to the real renderer the way the viewer feeds it, within the viewer's limits.
#include "child_process.h"
#include "metafile_builders.h"
#include "metafile_format.h"
#include "renderer_protocol.h"

#include <QStandardPaths>

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

using namespace metafile_test;
using namespace pikuta::metafile;
using namespace std::chrono_literals;

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
        // Letters of more than about 1.9 million units stop librsvg's text layout: the smallest
        // size found and one near the largest (the others found by fuzzing stay seeds).
        {.file = "emf_font_8388636.emf"},
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

// A poster: a 3 x 4 m frame, drawn at the largest size there is (100 million pixels), with text
// in many fonts, for each of which the text library starts helper threads.
Bytes poster() {
    std::vector<Bytes> records;
    const auto add = [&](std::uint32_t type, const Bytes& payload) {
        Bytes record = emfRecord(type, std::vector<std::uint32_t>((payload.size() + 3) / 4));
        std::copy(payload.begin(), payload.end(), record.begin() + 8);
        records.push_back(record);
    };
    const std::u16string faces[] = {u"Sans", u"Serif", u"Monospace", u"Arial", u"Courier New",
                                    u"Times New Roman", u"Nimbus Sans", u"URW Gothic"};
    constexpr std::uint32_t font = 82, select = 37, text = 84;
    constexpr std::u16string_view words = u"Poster";
    for (std::uint32_t i = 0; i < 48; ++i) {
        // A LOGFONTW: height, width, two angles, weight, eight bytes of flags, the face.
        Bytes logfont(4 + 92, 0);
        put32(logfont, 0, i + 1);
        put32(logfont, 4, std::uint32_t(-int(20 + i % 7 * 9)));
        put32(logfont, 20, 400 + 100 * (i % 5));
        const std::u16string face = faces[i % std::size(faces)] + (i < 8 ? u"" : u" x");
        for (std::size_t c = 0; c < face.size(); ++c)
            put16(logfont, 32 + 2 * c, face[c]);
        add(font, logfont);
        add(select, Bytes{std::uint8_t(i + 1), 0, 0, 0});
        // Bounds, graphics mode, scales; reference point, length, string offset, options,
        // rectangle, advances offset; the string and its advances.
        Bytes run(68 + 2 * words.size() + 4 * words.size(), 0);
        put32(run, 16, 1);
        put32(run, 28, 10 + i % 10 * 1100);
        put32(run, 32, 300 + i / 10 * 700);
        put32(run, 36, std::uint32_t(words.size()));
        put32(run, 40, 76);
        put32(run, 64, std::uint32_t(76 + 2 * words.size()));
        for (std::size_t c = 0; c < words.size(); ++c) {
            put16(run, 68 + 2 * c, words[c]);
            put32(run, 68 + 2 * words.size() + 4 * c, 24);
        }
        add(text, run);
    }
    return withRecords(emf({0, 0, 11339, 15118}, {0, 0, 300000, 400000}), records, 49);
}

// How much the renderer reserves depends on how its threads overlap; what it needs must not.
TEST(RendererInputs, PosterDrawsHoweverItsThreadsAreTimed) {
    if (underAddressSanitizer) GTEST_SKIP() << "the sanitizer build runs without memory limits";
    const std::string strace = QStandardPaths::findExecutable("strace").toStdString();
    ASSERT_FALSE(strace.empty()) << "make installs strace";
    const Bytes input = poster();
    // Every core busy with other work.
    std::vector<std::jthread> others;
    for (unsigned i = 0; i < std::max(1u, std::thread::hardware_concurrency()); ++i)
        others.emplace_back([](std::stop_token stop) {
            while (!stop.stop_requested()) {
            }
        });
    // Only the memory limits are as the viewer sets them: time runs slow here, and the tracer,
    // not the renderer, is the child whose progress the viewer would watch.
    ChildLimits limits;
    limits.cpuTime = 60s;
    limits.stallTime = limits.wallTime = 120s;
    limits.maxOutputBytes = protocol::headerBytes + std::size_t(maxPixels) * 4;
    // Traced, every system call and thread start of the renderer is slowed, as a debugger does.
    const std::vector<std::string> traced = {strace, "-f", "-o", "/dev/null"};
    for (const auto& prefix : {std::vector<std::string>{}, traced, traced}) {
        std::vector<std::string> argv = prefix;
        argv.insert(argv.end(), {PIKUTA_METAFILE_RENDERER_PATH, protocol::drawCommand, "96", "0",
                                 "0"});
        const ChildResult result = runChild(argv, input, limits);
        EXPECT_TRUE(result.ok) << (prefix.empty() ? "" : "traced: ") << result.error;
        EXPECT_GT(result.output.size(), std::size_t(maxPixels) * 4 * 9 / 10);
    }
}

} // namespace
