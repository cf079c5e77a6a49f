// tschmstamp FILE.chm
// Clears the two build-time stamps chmcmd writes into a compiled help file (the time of day in the
// ITSF header and in #SYSTEM record 10), so that the same sources give the same file. Needs a file
// without binary index: that one repeats the stamp inside the compressed section. Exit status 0 when
// both stamps were cleared, 1 when the file is not laid out as expected, 2 when it cannot be read.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: tschmstamp FILE.chm\n");
        return 2;
    }
    std::string data;
    {
        std::ifstream in(argv[1], std::ios::binary);
        if (!in)
            return 2;
        data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    if (data.size() < 0x18 || data.compare(0, 4, "ITSF") != 0) {
        std::fprintf(stderr, "%s: not a compiled help file\n", argv[1]);
        return 1;
    }
    // #SYSTEM sits uncompressed in section 0 and chmcmd opens it with record 10 (4 bytes), then record 9.
    static const char record10[] = {10, 0, 4, 0};
    static const char record9[] = "\x09\x00\x16\x00HHA Version";
    int found = 0;
    for (size_t at = data.find(record9, 0, sizeof record9 - 1); at != std::string::npos;
         at = data.find(record9, at + 1, sizeof record9 - 1)) {
        if (at >= 8 && data.compare(at - 8, 4, record10, 4) == 0) {
            data.replace(at - 4, 4, 4, '\0');
            ++found;
        }
    }
    if (found != 1) {
        std::fprintf(stderr, "%s: %d #SYSTEM stamps found, expected 1\n", argv[1], found);
        return 1;
    }
    data.replace(0x10, 4, 4, '\0');
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    return out ? 0 : 2;
}
