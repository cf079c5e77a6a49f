#include "peimage.h"

namespace tstest {

namespace {
constexpr std::uint32_t kSubdirectory = 0x80000000u;
constexpr std::size_t kMaxEntries = 4096; // far above any real directory; stops loops on junk
} // namespace

PeImage::PeImage(std::vector<std::uint8_t> bytes) : m_bytes(std::move(bytes))
{
    std::uint16_t mz = 0;
    std::uint32_t peOffset = 0, signature = 0;
    if (!Read16(0, mz) || mz != 0x5a4d || !Read32(0x3c, peOffset) || !Read32(peOffset, signature) ||
        signature != 0x00004550)
        return;
    const std::size_t fileHeader = std::size_t(peOffset) + 4;
    std::uint16_t sectionCount = 0, optionalSize = 0;
    if (!Read16(fileHeader, m_machine) || !Read16(fileHeader + 2, sectionCount) ||
        !Read16(fileHeader + 16, optionalSize) || !Read16(fileHeader + 18, m_characteristics))
        return;
    const std::size_t optional = fileHeader + 20;
    if (!Read16(optional, m_magic) || !Read16(optional + 68, m_subsystem))
        return;
    std::size_t directories = 0;
    std::uint32_t directoryCount = 0;
    if (m_magic == 0x10b)
        directories = optional + 96;
    else if (m_magic == 0x20b)
        directories = optional + 112;
    else
        return;
    if (!Read32(directories - 4, directoryCount))
        return;
    if (directoryCount > 2 && std::size_t(directories - optional) + 3 * 8 <= optionalSize) {
        if (!Read32(directories + 2 * 8, m_resourceRva) || !Read32(directories + 2 * 8 + 4, m_resourceSize))
            return;
    }
    const std::size_t table = optional + optionalSize;
    for (std::size_t i = 0; i < sectionCount; ++i) {
        const std::size_t at = table + i * 40;
        Section s{};
        if (!Read32(at + 8, s.virtualSize) || !Read32(at + 12, s.virtualAddress) ||
            !Read32(at + 16, s.rawSize) || !Read32(at + 20, s.rawOffset))
            return;
        m_sections.push_back(s);
    }
    m_valid = true;
}

bool PeImage::Read16(std::size_t offset, std::uint16_t &value) const
{
    if (offset > m_bytes.size() || m_bytes.size() - offset < 2)
        return false;
    value = std::uint16_t(m_bytes[offset] | m_bytes[offset + 1] << 8);
    return true;
}

bool PeImage::Read32(std::size_t offset, std::uint32_t &value) const
{
    if (offset > m_bytes.size() || m_bytes.size() - offset < 4)
        return false;
    value = std::uint32_t(m_bytes[offset]) | std::uint32_t(m_bytes[offset + 1]) << 8 |
            std::uint32_t(m_bytes[offset + 2]) << 16 | std::uint32_t(m_bytes[offset + 3]) << 24;
    return true;
}

bool PeImage::RvaToOffset(std::uint32_t rva, std::uint32_t length, std::size_t &offset) const
{
    for (const Section &s : m_sections) {
        if (rva < s.virtualAddress)
            continue;
        const std::uint64_t inSection = std::uint64_t(rva) - s.virtualAddress;
        if (inSection + length > s.rawSize)
            continue;
        const std::uint64_t at = std::uint64_t(s.rawOffset) + inSection;
        if (at + length > m_bytes.size())
            return false;
        offset = std::size_t(at);
        return true;
    }
    return false;
}

bool PeImage::DirectoryEntries(std::uint32_t dirOffset,
                               std::vector<std::pair<std::uint32_t, std::uint32_t>> &entries) const
{
    entries.clear();
    std::size_t dir = 0;
    if (dirOffset > m_resourceSize || !RvaToOffset(m_resourceRva + dirOffset, 16, dir))
        return false;
    std::uint16_t named = 0, ids = 0;
    if (!Read16(dir + 12, named) || !Read16(dir + 14, ids))
        return false;
    const std::size_t count = std::size_t(named) + ids;
    if (count > kMaxEntries)
        return false;
    for (std::size_t i = 0; i < count; ++i) {
        std::uint32_t name = 0, target = 0;
        if (!Read32(dir + 16 + i * 8, name) || !Read32(dir + 20 + i * 8, target))
            return false;
        entries.emplace_back(name, target);
    }
    return true;
}

bool PeImage::FindEntry(std::uint32_t dirOffset, std::uint32_t id, std::uint32_t &target) const
{
    std::vector<std::pair<std::uint32_t, std::uint32_t>> entries;
    if (!DirectoryEntries(dirOffset, entries))
        return false;
    for (const auto &entry : entries) {
        if (entry.first == id) { // named entries have the high bit set and never match an id
            target = entry.second;
            return true;
        }
    }
    return false;
}

std::vector<std::uint32_t> PeImage::ResourceLanguages(std::uint32_t type, std::uint32_t id) const
{
    std::vector<std::uint32_t> languages;
    std::uint32_t typeDir = 0, nameDir = 0;
    if (!m_valid || !m_resourceRva || !FindEntry(0, type, typeDir) || !(typeDir & kSubdirectory) ||
        !FindEntry(typeDir & ~kSubdirectory, id, nameDir) || !(nameDir & kSubdirectory))
        return languages;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> entries;
    if (DirectoryEntries(nameDir & ~kSubdirectory, entries))
        for (const auto &entry : entries)
            languages.push_back(entry.first);
    return languages;
}

bool PeImage::ReadResource(std::uint32_t type, std::uint32_t id, std::uint32_t language,
                           std::string &data) const
{
    std::uint32_t typeDir = 0, nameDir = 0, leaf = 0;
    if (!m_valid || !m_resourceRva || !FindEntry(0, type, typeDir) || !(typeDir & kSubdirectory) ||
        !FindEntry(typeDir & ~kSubdirectory, id, nameDir) || !(nameDir & kSubdirectory) ||
        !FindEntry(nameDir & ~kSubdirectory, language, leaf) || (leaf & kSubdirectory))
        return false;
    std::size_t entry = 0, at = 0;
    std::uint32_t rva = 0, size = 0;
    if (leaf > m_resourceSize || !RvaToOffset(m_resourceRva + leaf, 16, entry) || !Read32(entry, rva) ||
        !Read32(entry + 4, size) || !RvaToOffset(rva, size, at))
        return false;
    data.assign(reinterpret_cast<const char *>(m_bytes.data()) + at, size);
    return true;
}

} // namespace tstest
