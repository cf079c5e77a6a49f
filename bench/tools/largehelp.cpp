// Writes the project of a large help file for the benchmarks: 100 000 contents entries (1 000
// chapters of 9 sections of 10 topics, nested three deep) and 100 000 index entries (90 000 keywords
// in no order, every ninth with a sub-keyword), over 1 000 pages. Usage: largehelp <folder>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <sys/stat.h>

namespace {

constexpr int kChapters = 1000;
constexpr int kSections = 9;
constexpr int kTopics = 10;
constexpr int kKeywords = 90000;

const char *const kSyllables[] = {"de", "frag", "vol", "ume", "sched", "ule", "boot", "disk",
                                  "map", "file", "clus", "ter", "space", "free", "time", "run",
                                  "log", "net", "work", "ana", "lyse", "re", "port", "job"};

std::string Join(const std::string &folder, const char *name)
{
    return folder + "/" + name;
}

FILE *Create(const std::string &path)
{
    FILE *f = std::fopen(path.c_str(), "w");
    if (!f) {
        std::perror(path.c_str());
        std::exit(1);
    }
    return f;
}

void Item(FILE *f, const std::string &name, const std::string &local)
{
    std::fprintf(f,
                 "<LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"%s\">"
                 "<param name=\"Local\" value=\"%s\"></OBJECT>\n",
                 name.c_str(), local.c_str());
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    mkdir(folder.c_str(), 0755);
    mkdir(Join(folder, "p").c_str(), 0755);

    FILE *hhp = Create(Join(folder, "large.hhp"));
    std::fprintf(hhp, "[OPTIONS]\nCompatibility=1.1 or later\nCompiled file=large.chm\n"
                      "Contents file=toc.hhc\nIndex file=keys.hhk\nDefault topic=p/0.htm\n"
                      "Display compile progress=No\nLanguage=0x409 English (United States)\n"
                      "Title=Large Help\n\n[FILES]\n");
    for (int c = 0; c < kChapters; ++c) {
        std::fprintf(hhp, "p/%d.htm\n", c);
        FILE *page = Create(folder + "/p/" + std::to_string(c) + ".htm");
        std::fprintf(page, "<html><head><title>Chapter %d</title></head><body><h1>Chapter %d</h1>\n",
                     c, c);
        for (int s = 0; s < kSections; ++s)
            std::fprintf(page, "<h2 id=\"s%d\">Section %d.%d</h2><p>Text of the section.</p>\n", s,
                         c, s);
        std::fprintf(page, "</body></html>\n");
        std::fclose(page);
    }
    std::fclose(hhp);

    FILE *toc = Create(Join(folder, "toc.hhc"));
    std::fprintf(toc, "<HTML><HEAD></HEAD><BODY>\n<UL>\n");
    for (int c = 0; c < kChapters; ++c) {
        const std::string page = "p/" + std::to_string(c) + ".htm";
        Item(toc, "Chapter " + std::to_string(c), page);
        std::fprintf(toc, "<UL>\n");
        for (int s = 0; s < kSections; ++s) {
            const std::string section = std::to_string(c) + "." + std::to_string(s);
            Item(toc, "Section " + section, page + "#s" + std::to_string(s));
            std::fprintf(toc, "<UL>\n");
            for (int t = 0; t < kTopics; ++t)
                Item(toc, "Topic " + section + "." + std::to_string(t),
                     page + "#s" + std::to_string(s));
            std::fprintf(toc, "</UL>\n");
        }
        std::fprintf(toc, "</UL>\n");
    }
    std::fprintf(toc, "</UL>\n</BODY></HTML>\n");
    std::fclose(toc);

    // Keywords from syllables, in the order a generator gives them (the viewer sorts).
    FILE *hhk = Create(Join(folder, "keys.hhk"));
    std::fprintf(hhk, "<HTML><HEAD></HEAD><BODY>\n<UL>\n");
    unsigned state = 12345;
    const int syllables = int(sizeof kSyllables / sizeof *kSyllables);
    for (int k = 0; k < kKeywords; ++k) {
        std::string keyword;
        for (int n = 0; n < 3; ++n) {
            state = state * 1103515245u + 12345u;
            keyword += kSyllables[(state >> 16) % syllables];
        }
        keyword += " " + std::to_string(k);
        const std::string page = "p/" + std::to_string(k % kChapters) + ".htm";
        Item(hhk, keyword, page);
        if (k % 9 == 0) {
            std::fprintf(hhk, "<UL>\n");
            Item(hhk, "details of " + keyword, page + "#s1");
            std::fprintf(hhk, "</UL>\n");
        }
    }
    std::fprintf(hhk, "</UL>\n</BODY></HTML>\n");
    std::fclose(hhk);
    return 0;
}
