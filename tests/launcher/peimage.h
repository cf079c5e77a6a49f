// Minimal reader of a Windows PE image for the checks of the cross-built launcher: headers and one
// resource. Every offset read from the file is bounds-checked; a malformed file reads as invalid.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tstest {

class PeImage
{
public:
    explicit PeImage(std::vector<std::uint8_t> bytes);

    /** True when the DOS and PE headers and the section table were read. */
    bool IsValid() const { return m_valid; }
    std::uint16_t Machine() const { return m_machine; }
    /** 0x10b for PE32, 0x20b for PE32+. */
    std::uint16_t OptionalMagic() const { return m_magic; }
    std::uint16_t Subsystem() const { return m_subsystem; }
    std::uint16_t Characteristics() const { return m_characteristics; }

    /** Languages under resource type @p type, id @p id (empty when there is none). */
    std::vector<std::uint32_t> ResourceLanguages(std::uint32_t type, std::uint32_t id) const;
    /** Bytes of one resource; false when absent or out of the file. */
    bool ReadResource(std::uint32_t type, std::uint32_t id, std::uint32_t language, std::string &data) const;

private:
    struct Section
    {
        std::uint32_t virtualAddress, virtualSize, rawOffset, rawSize;
    };
    bool Read16(std::size_t offset, std::uint16_t &value) const;
    bool Read32(std::size_t offset, std::uint32_t &value) const;
    bool RvaToOffset(std::uint32_t rva, std::uint32_t length, std::size_t &offset) const;
    /** Entries of the resource directory at @p dirOffset (relative to the resource section). */
    bool DirectoryEntries(std::uint32_t dirOffset,
                          std::vector<std::pair<std::uint32_t, std::uint32_t>> &entries) const;
    bool FindEntry(std::uint32_t dirOffset, std::uint32_t id, std::uint32_t &target) const;

    std::vector<std::uint8_t> m_bytes;
    std::vector<Section> m_sections;
    bool m_valid = false;
    std::uint16_t m_machine = 0, m_magic = 0, m_subsystem = 0, m_characteristics = 0;
    std::uint32_t m_resourceRva = 0, m_resourceSize = 0;
};

} // namespace tstest
