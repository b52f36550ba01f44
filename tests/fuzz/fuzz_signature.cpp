#include "UpdateSignature.h"

#include <cstddef>
#include <cstdint>
#include <string>

// The signature and key readers on any text: no crash, no read past the input, and no forged
// text passes as a signature of a program it was not made for.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    minisign::parsePublicKey(text);
    minisign::parseSecretKey(text);
    const auto signature = minisign::parseSignature(text);

    // The demo key's public half; the fuzzer cannot know a valid signature of this program.
    SignedProgramCheck check(QByteArrayLiteral("RWTvVzmX6GT7H2CTkjH44Stv9axhm5LbkkVjhuYZj6qiRgxfr2VpNHbI"),
                             QByteArray::fromStdString(text));
    check.add(QByteArrayLiteral("\x7f"
                                "ELF fuzzed program"));
    const UpdateVerdict verdict = check.verdict();
    if (verdict == UpdateVerdict::Valid)
        __builtin_trap();
    if (!signature && verdict != UpdateVerdict::NoSignature)
        __builtin_trap();
    return 0;
}
