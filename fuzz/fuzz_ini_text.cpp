// The settings text parser: any bytes parse, and any value it yields (a folder path, say) is
// written so that it reads back unchanged.
#include "platform/linux/ini_text.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const auto& [path, value] : platform::parse_ini_text(text)) {
        const platform::IniValues one{{QStringLiteral("Startup/f_path"), value}};
        if (platform::parse_ini_text(platform::format_ini_text(one)) != one) __builtin_trap();
    }
    return 0;
}
