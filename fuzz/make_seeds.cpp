// Writes the fuzzer's seed corpus: small valid archives in every layout the writer knows.
#include <fstream>
#include <string>
#include <vector>

#include "ArchiveWriter.h"

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    const std::string folder = argv[1];
    const std::string text = "[Main]\r\nName=Sample\r\nKey1=HKEY_CURRENT_USER\\Software\\Sample\r\n";
    const std::vector<TArchiveInput> files = {
        {"", "Main.db", "line0\r\nline1\r\nFirst=2\r\n", false},
        {"", "TrackingCookie.db", "sample\r\ntracker\r\n", true},
        {"Defs\\", "Sample.def", text, false},
        {"", "Empty.def", "", false},
    };
    const std::vector<std::pair<std::string, std::string>> seeds = {
        {"empty-raw", WriteArchive({}, false)},
        {"empty-packed", WriteArchive({}, true)},
        {"one-stored", WriteArchive({files[1]}, false)},
        {"one-packed", WriteArchive({files[0]}, true)},
        {"mixed-raw", WriteArchive(files, false)},
        {"mixed-packed", WriteArchive(files, true)},
        {"mixed-fast", WriteArchive(files, true, 1)},
    };
    for (const auto& [name, bytes] : seeds) {
        std::ofstream out(folder + "/" + name + ".dbd", std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out)
            return 1;
    }
    return 0;
}
