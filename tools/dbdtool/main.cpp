// dbdtool: builds, lists and extracts definition archives for the maintainers.
//   dbdtool build OUT.dbd [--store] [--raw-table] [--path PREFIX] FILE...
//   dbdtool list ARCHIVE
//   dbdtool extract ARCHIVE NAME
// The reading commands go through TZLBArchive, so they fail exactly as the program would.
#include <cstdio>
#include <exception>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "ArchiveWriter.h"
#include "common/Exception.h"
#include "spyware/archive/ZLIBArchive.h"

namespace {

int Usage()
{
    std::fputs("usage: dbdtool build OUT.dbd [--store] [--raw-table] [--path PREFIX] FILE...\n"
               "       dbdtool list ARCHIVE\n"
               "       dbdtool extract ARCHIVE NAME\n",
               stderr);
    return 2;
}

std::string ReadWholeFile(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + name);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad())
        throw std::runtime_error("cannot read " + name);
    return bytes.str();
}

std::string BaseName(const std::string& path)
{
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int Build(const std::vector<std::string>& args)
{
    bool stored = false;
    bool rawTable = false;
    std::string prefix;
    std::string output;
    std::vector<std::string> inputs;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--store")
            stored = true;
        else if (args[i] == "--raw-table")
            rawTable = true;
        else if (args[i] == "--path" && i + 1 < args.size())
            prefix = args[++i];
        else if (args[i].rfind("--", 0) == 0)
            return Usage();
        else if (output.empty())
            output = args[i];
        else
            inputs.push_back(args[i]);
    }
    if (output.empty() || inputs.empty())
        return Usage();

    std::vector<TArchiveInput> files;
    for (const std::string& input : inputs)
        files.push_back(TArchiveInput{prefix, BaseName(input), ReadWholeFile(input), stored});
    const std::string archive = WriteArchive(files, !rawTable);
    std::ofstream out(output, std::ios::binary | std::ios::trunc);
    out.write(archive.data(), static_cast<std::streamsize>(archive.size()));
    out.close();
    if (!out)
        throw std::runtime_error("cannot write " + output);
    return 0;
}

int List(const std::string& name)
{
    TZLBArchive archive;
    archive.OpenArchive(name);
    const int count = archive.FileCount();
    for (int i = 0; i < count; ++i) {
        TArchiveFileEntry entry;
        archive.GetFileEntry(i, entry);
        std::printf("%d\t%s\t%d\t%s\t%08X\n", i, EntryFullName(entry).c_str(), static_cast<int>(entry.Size),
                    entry.Stored ? "stored" : "compressed", static_cast<unsigned>(entry.CRC));
    }
    return 0;
}

int Extract(const std::string& name, const std::string& member)
{
    TZLBArchive archive;
    archive.OpenArchive(name);
    TMemoryStream content;
    archive.ExtractStreamByName(content, member);
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    if (content.Size() && std::fwrite(content.Memory(), 1, content.Size(), stdout) != content.Size())
        throw std::runtime_error("cannot write to standard output");
    return std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.size() >= 3 && args[0] == "build")
            return Build(std::vector<std::string>(args.begin() + 1, args.end()));
        if (args.size() == 2 && args[0] == "list")
            return List(args[1]);
        if (args.size() == 3 && args[0] == "extract")
            return Extract(args[1], args[2]);
        return Usage();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "dbdtool: %s\n", error.what());
        return 1;
    }
}
