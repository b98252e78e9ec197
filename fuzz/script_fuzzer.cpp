// Runs any bytes as a keymora-script session, both as text in memory and through the stream
// reader the tool uses on files and standard input: the engine must never crash, hang or read
// out of bounds, and must answer with exit status 0 or 2. The first byte may stretch the input
// past the longest line the reader takes, which a length-capped fuzzer would never reach.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

#include "engine/script.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    std::string_view Text(reinterpret_cast<const char*>(Data), Size);
    std::string Stretched;
    if (!Text.empty() && Text.front() == '\x7f') {
        // 0x7f, then a byte B: B is repeated to make one line of 4096..8191 bytes before the rest.
        const char B = Text.size() > 1 ? Text[1] : 'x';
        const std::size_t Length = 4096 + (Text.size() > 2 ? std::uint8_t(Text[2]) * 16u : 0u);
        Stretched.assign(Length, B);
        Stretched += Text.substr(std::min<std::size_t>(Text.size(), 3));
        Text = Stretched;
    }
    std::ostringstream Out;
    keymora::script::TScriptEngine Engine(Out);
    const int Status = Engine.Run(Text);
    if (Status != 0 && Status != 2) std::abort();

    std::istringstream In{std::string(Text)};
    std::ostringstream StreamOut;
    keymora::script::TScriptEngine Streamed(StreamOut);
    if (Streamed.Run(In) != Status) std::abort();
    // Both readers see the same lines: the same session prints the same output.
    if (StreamOut.str() != Out.str()) std::abort();
    return 0;
}
